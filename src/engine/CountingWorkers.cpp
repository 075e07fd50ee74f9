#include "engine/CountingWorkers.h"

#include <chrono>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

CountingWorkers::CountingWorkers(unsigned nThreads, std::size_t nCapacity, std::uint64_t nPieceSize)
    : m_arrSlots(nCapacity > 0 ? nCapacity : 1), m_nPieceSize(nPieceSize > 0 ? nPieceSize : 1)
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
    m_bAbandon = true;
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
        slot.fnWork = nullptr;
        slot.bDone = false;
        ++m_nHandedIn;
    }
    m_cvWork.notify_one();
    return nTicket;
}

std::size_t CountingWorkers::HandIn(std::function<void(std::vector<char>&)> fnWork)
{
    std::size_t nTicket;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        nTicket = m_nHandedIn;
        Slot& slot = m_arrSlots[nTicket % m_arrSlots.size()];
        slot.strPath.clear();
        slot.pCounter = nullptr;
        slot.pMarkers = nullptr;
        slot.fnWork = std::move(fnWork);
        slot.bDone = false;
        ++m_nHandedIn;
    }
    m_cvWork.notify_one();
    return nTicket;
}

Counter::FileCounts CountingWorkers::TakeOut(std::size_t nTicket)
{
    Counter::FileCounts counts;
    TakeOut(nTicket, std::function<bool()>(), counts);
    return counts;
}

bool CountingWorkers::TakeOut(std::size_t nTicket, const std::function<bool()>& fnGoOn,
                              Counter::FileCounts& counts)
{
    // How long the owner waits for a worker before it asks again.
    constexpr std::chrono::milliseconds WAIT_SLICE(5);
    // A no is kept: the owner's own reading ends on it, and so does this.
    bool bStopped = false;
    const std::function<bool()> fnOwnGoOn = [&]
    {
        if (!bStopped && !fnGoOn())
            bStopped = true;
        return !bStopped;
    };
    const std::function<bool()>* pGoOn = fnGoOn ? &fnOwnGoOn : nullptr;

    Slot& slot = m_arrSlots[nTicket % m_arrSlots.size()];
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_nStarted == nTicket)
    {
        // No worker has got to it yet: count it here rather than wait.
        ++m_nStarted;
        Count(slot, m_arrOwnBuffer, lock, pGoOn);
    }
    while (!slot.bDone && !bStopped)
    {
        if (!m_pieces.empty())
            CountPiece(m_arrOwnBuffer, lock, pGoOn); // help with the pieces of a large file
        else if (!pGoOn)
            m_cvDone.wait(lock);
        else if (!m_cvDone.wait_for(lock, WAIT_SLICE,
                                    [&] { return slot.bDone || !m_pieces.empty(); }))
        {
            lock.unlock();
            fnOwnGoOn();
            lock.lock();
        }
    }
    if (bStopped)
        return false;
    m_nTakenOut = nTicket + 1;
    counts = slot.counts;
    return true;
}

void CountingWorkers::Work()
{
    std::vector<char> arrBuffer;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_cvWork.wait(lock, [this]
                      { return m_bStopping || !m_pieces.empty() || m_nStarted < m_nHandedIn; });
        if (m_bStopping)
            return;
        // Pieces first: the file they belong to holds back every later one.
        if (!m_pieces.empty())
            CountPiece(arrBuffer, lock, &m_fnWorkersGoOn);
        else
        {
            Slot& slot = m_arrSlots[m_nStarted % m_arrSlots.size()];
            ++m_nStarted;
            Count(slot, arrBuffer, lock, &m_fnWorkersGoOn);
        }
    }
}

void CountingWorkers::Count(Slot& slot, std::vector<char>& arrBuffer,
                            std::unique_lock<std::mutex>& lock, const std::function<bool()>* pGoOn)
{
    // The slot is this thread's alone until bDone is set under the lock.
    lock.unlock();
    if (slot.fnWork)
    {
        try
        {
            slot.fnWork(arrBuffer);
        }
        catch (...)
        {
            std::vector<char>().swap(arrBuffer);
        }
        slot.fnWork = nullptr;
        slot.counts = Counter::FileCounts();
        lock.lock();
        slot.bDone = true;
        m_cvDone.notify_all();
        return;
    }
    Counter::FileCounts counts;
    std::uint64_t nSize = 0;
    const int nFd = Counter::OpenToCount(slot.strPath, counts, nSize);
    if (nFd >= 0 && !m_arrThreads.empty() && slot.pCounter->CountsInPieces() &&
        nSize >= 2 * m_nPieceSize)
    {
        auto pLarge = std::make_unique<LargeFile>();
        pLarge->nFd = nFd;
        pLarge->pSlot = &slot;
        pLarge->pMarkers = slot.pMarkers;
        pLarge->nPieces = static_cast<std::size_t>(nSize / m_nPieceSize);
        pLarge->arrPieces.resize(pLarge->nPieces);
        pLarge->nLeft = pLarge->nPieces;
        pLarge->counts = counts;
        ::posix_fadvise(nFd, 0, 0, POSIX_FADV_SEQUENTIAL);
        LargeFile* pFile = pLarge.get();
        slot.pLarge = std::move(pLarge);
        lock.lock();
        for (std::size_t i = 0; i < pFile->nPieces; ++i)
            m_pieces.push_back(PieceJob{pFile, i});
        m_cvWork.notify_all();
        m_cvDone.notify_all();
        return;
    }
    if (nFd >= 0)
    {
        try
        {
            slot.pCounter->CountOpened(nFd, *slot.pMarkers, arrBuffer, counts, pGoOn);
        }
        catch (...)
        {
            // Out of memory for one odd file: it counts as one that could not
            // be read, as it would have on the owner's thread.
            counts.bUnreadable = true;
            std::vector<char>().swap(arrBuffer);
        }
        ::close(nFd);
    }
    slot.counts = counts;
    lock.lock();
    slot.bDone = true;
    m_cvDone.notify_all();
}

void CountingWorkers::CountPiece(std::vector<char>& arrBuffer, std::unique_lock<std::mutex>& lock,
                                 const std::function<bool()>* pGoOn)
{
    const PieceJob job = m_pieces.front();
    m_pieces.pop_front();
    LargeFile& file = *job.pFile;
    lock.unlock();
    Counter::PieceCounts& piece = file.arrPieces[job.nPiece];
    const std::uint64_t nBegin = job.nPiece * m_nPieceSize;
    const std::uint64_t nEnd = job.nPiece + 1 < file.nPieces ? nBegin + m_nPieceSize : UINT64_MAX;
    try
    {
        file.pSlot->pCounter->CountPiece(file.nFd, LineReader::Piece{nBegin, nEnd}, *file.pMarkers,
                                         arrBuffer, piece, pGoOn);
    }
    catch (...)
    {
        piece.bFailed = true;
        std::vector<char>().swap(arrBuffer);
    }
    lock.lock();
    if (--file.nLeft > 0)
        return;

    // The last piece: put them together in order, each starting in the state
    // the one before left.
    Slot& slot = *file.pSlot;
    Counter::FileCounts counts = file.counts;
    counts.bUnreadable = false;
    bool bInBlock = false;
    for (const Counter::PieceCounts& each : file.arrPieces)
    {
        if (each.bFailed)
        {
            counts = file.counts; // as when reading fails part of the way
            break;
        }
        each.AddTo(bInBlock, counts);
    }
    slot.counts = counts;
    slot.pLarge.reset();
    slot.bDone = true;
    m_cvDone.notify_all();
}

CountingWorkers::LargeFile::~LargeFile()
{
    if (nFd >= 0)
        ::close(nFd);
}
