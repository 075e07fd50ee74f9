#pragma once

#include "engine/MessagePump.h"

// Lets the counting run hand one pending window event to the active wx event
// loop. Returns at once when no loop runs or nothing is waiting, so the run
// never blocks on it.
class WxMessagePump : public MessagePump
{
public:
    void HandleOnePendingEvent() override;
};
