#pragma once

// Handles one pending user-interface event. The counting run calls it before
// each directory, each subdirectory listing and each file, so the window stays
// painted and a Stop command can reach the frame while the run owns the thread.
class MessagePump
{
public:
    virtual ~MessagePump() = default;
    virtual void HandleOnePendingEvent() = 0;
};
