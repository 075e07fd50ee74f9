#pragma once

#include "engine/Counter.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Counts files on worker threads while the thread that owns the results lists
// folders and shows what has been counted. Files are handed in and their
// counts taken out in the same order, through a bounded ring of slots; each
// worker reads through one buffer of its own. A worker touches nothing but the
// path's bytes, the counter and its markers (taken beforehand as bytes), and
// the slot it fills: no shared text, no log. A large file whose counter can
// count pieces is split, and its pieces go before any new file to whichever
// thread is free, the owner's too while it waits for that file.
class CountingWorkers
{
public:
    // Files from this size on are split into pieces of PIECE_SIZE bytes.
    static constexpr std::uint64_t PIECE_SIZE = 16 * 1024 * 1024;

    // nThreads workers and room for nCapacity files handed in and not yet
    // taken out; files of two pieces or more are counted in pieces.
    CountingWorkers(unsigned nThreads, std::size_t nCapacity,
                    std::uint64_t nPieceSize = PIECE_SIZE);
    // Drops every file not yet started and waits for the workers.
    ~CountingWorkers();

    CountingWorkers(const CountingWorkers&) = delete;
    CountingWorkers& operator=(const CountingWorkers&) = delete;

    // Whether another file may be handed in now.
    bool HasRoom() const { return m_nHandedIn - m_nTakenOut < m_arrSlots.size(); }

    // Hands in a file to count (HasRoom() must be true); returns its ticket.
    // The counter and the markers must stay as they are until its counts are
    // taken out: counters keep no state, so one serves any number of threads.
    std::size_t HandIn(std::string strPath, Counter& counter, const Counter::Markers& markers);

    // Hands in other work on a file, done on the workers as a count is
    // (HasRoom() must be true): fnWork gets the read buffer of the thread
    // that does it, and must keep to its own data as a count does. TakeOut
    // then waits for it (its counts are empty). Work that throws ends there;
    // fnWork notes its own failures.
    std::size_t HandIn(std::function<void(std::vector<char>&)> fnWork);

    // The counts of the oldest file not yet taken out, whose ticket is
    // nTicket. Counts it on this thread when no worker has started it yet,
    // rather than wait.
    Counter::FileCounts TakeOut(std::size_t nTicket);
    // The same for a thread that must not wait blindly: fnGoOn is asked, on
    // this thread and without the lock, every few milliseconds while it
    // waits and before each chunk it reads itself. Once it says no, this
    // returns false at once, the file's counts unknown; nothing is to be
    // taken out after that.
    bool TakeOut(std::size_t nTicket, const std::function<bool()>& fnGoOn,
                 Counter::FileCounts& counts);

private:
    struct Slot;
    // A file counted in pieces.
    struct LargeFile
    {
        ~LargeFile();

        int nFd = -1;
        Slot* pSlot = nullptr;
        const Counter::Markers* pMarkers = nullptr;
        std::size_t nPieces = 0;
        std::vector<Counter::PieceCounts> arrPieces;
        std::size_t nLeft = 0;      // pieces not yet counted
        Counter::FileCounts counts; // its date, from when it was opened
    };
    struct PieceJob
    {
        LargeFile* pFile;
        std::size_t nPiece;
    };
    struct Slot
    {
        std::string strPath;
        Counter* pCounter = nullptr;
        const Counter::Markers* pMarkers = nullptr;
        Counter::FileCounts counts;
        std::function<void(std::vector<char>&)> fnWork; // instead of a count
        std::unique_ptr<LargeFile> pLarge;
        bool bDone = false;
    };

    void Work();
    // Counts the file of a slot; called and returning with the lock held,
    // which it lets go of while it reads, asking pGoOn before each chunk. A
    // large file leaves its slot to be done by the thread that counts its
    // last piece.
    void Count(Slot& slot, std::vector<char>& arrBuffer, std::unique_lock<std::mutex>& lock,
               const std::function<bool()>* pGoOn);
    // Counts the next piece waiting, the same way.
    void CountPiece(std::vector<char>& arrBuffer, std::unique_lock<std::mutex>& lock,
                    const std::function<bool()>* pGoOn);

    std::vector<Slot> m_arrSlots; // ticket t in slot t % size
    std::size_t m_nHandedIn = 0;  // tickets below are handed in
    std::size_t m_nStarted = 0;   // tickets below are taken by a worker (or the owner)
    std::size_t m_nTakenOut = 0;  // tickets below are taken out
    bool m_bStopping = false;
    // Set with m_bStopping: a file or piece a worker is reading ends at its
    // next chunk, so that a stopped run does not wait for a large file
    // nobody will see.
    std::atomic<bool> m_bAbandon{false};
    const std::function<bool()> m_fnWorkersGoOn = [this]
    { return !m_bAbandon.load(std::memory_order_relaxed); };
    std::uint64_t m_nPieceSize;
    std::deque<PieceJob> m_pieces; // waiting to be counted

    std::mutex m_mutex;
    std::condition_variable m_cvWork; // a file was handed in, or the workers are to stop
    std::condition_variable m_cvDone; // a file was counted
    std::vector<char> m_arrOwnBuffer; // for the files the owner counts itself
    std::vector<std::thread> m_arrThreads;
};
