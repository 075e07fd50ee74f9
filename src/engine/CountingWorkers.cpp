#include "engine/CountingWorkers.h"

#include <utility>

CountingWorkers::CountingWorkers(unsigned nThreads, std::size_t nCapacity)
    : m_arrSlots(nCapacity > 0 ? nCapacity : 1)
{
    m_arrThreads.reserve(nThreads);
    for (unsigned i = 0; i < nThreads; ++i)
        m_arrThreads.emplace_back([this] { Work(); });
}

CountingWorkers::~CountingWorkers()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopping = true;
    }
    m_cvWork.notify_all();
    for (std::thread& thread : m_arrThreads)
        thread.join();
}

std::size_t CountingWorkers::HandIn(std::string strPath, Counter& counter,
                                    const Counter::Markers& markers)
{
    std::size_t nTicket;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        nTicket = m_nHandedIn;
        Slot& slot = m_arrSlots[nTicket % m_arrSlots.size()];
        slot.strPath = std::move(strPath);
        slot.pCounter = &counter;
        slot.pMarkers = &markers;
        slot.bDone = false;
        ++m_nHandedIn;
    }
    m_cvWork.notify_one();
    return nTicket;
}

Counter::FileCounts CountingWorkers::TakeOut(std::size_t nTicket)
{
    Slot& slot = m_arrSlots[nTicket % m_arrSlots.size()];
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_nStarted == nTicket)
    {
        // No worker has got to it yet: count it here rather than wait.
        ++m_nStarted;
        lock.unlock();
        Count(slot, m_arrOwnBuffer);
        lock.lock();
        slot.bDone = true;
    }
    m_cvDone.wait(lock, [&slot] { return slot.bDone; });
    m_nTakenOut = nTicket + 1;
    return slot.counts;
}

void CountingWorkers::Work()
{
    std::vector<char> arrBuffer;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_cvWork.wait(lock, [this] { return m_bStopping || m_nStarted < m_nHandedIn; });
        if (m_bStopping)
            return;
        Slot& slot = m_arrSlots[m_nStarted % m_arrSlots.size()];
        ++m_nStarted;
        lock.unlock();
        Count(slot, arrBuffer);
        lock.lock();
        slot.bDone = true;
        m_cvDone.notify_one();
    }
}

void CountingWorkers::Count(Slot& slot, std::vector<char>& arrBuffer)
{
    Counter::FileCounts counts;
    try
    {
        slot.pCounter->CountPath(slot.strPath, *slot.pMarkers, arrBuffer, counts);
    }
    catch (...)
    {
        // Out of memory for one odd file: it counts as one that could not be
        // read, as it would have on the owner's thread.
        counts = Counter::FileCounts();
        std::vector<char>().swap(arrBuffer);
    }
    // The slot is this thread's alone until bDone is set under the lock.
    slot.counts = counts;
}
