#pragma once

// Handles one pending user-interface event. The counting run calls it before
// each directory, each subdirectory listing and each file, so the window stays
// painted and a Stop command can reach the frame while the run owns the thread.
class MessagePump
{
public:
    virtual ~MessagePump() = default;
    virtual void HandleOnePendingEvent() = 0;
    // The same while one file is read, or waited for from the threads that
    // count: called before each chunk of it and every few milliseconds of a
    // wait, so that a large file neither freezes the window nor keeps a Stop
    // from it.
    virtual void HandleEventWhileWaiting() { HandleOnePendingEvent(); }
};
