#pragma once

#include "engine/MessagePump.h"

#include <wx/stopwatch.h>

// Lets the counting run hand the active wx event loop one pending window
// event. Returns at once when no loop runs or nothing is waiting, so the run
// never blocks on it.
//
// Like any wx yield it also runs what wx defers to idle time, deleting windows
// closed meanwhile included: whoever counts must not let its window be
// destroyed under a running count.
class WxMessagePump : public MessagePump
{
public:
    void HandleOnePendingEvent() override;

private:
    wxStopWatch m_idleClock;
    wxStopWatch m_quietClock; // since the queue was last found empty
    bool m_bQuiet = false;
};
