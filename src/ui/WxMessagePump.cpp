#include "ui/WxMessagePump.h"

#include <wx/evtloop.h>

void WxMessagePump::HandleOnePendingEvent()
{
    // Dispatch() waits for an event when none is pending; Pending() first.
    if (wxEventLoopBase* pLoop = wxEventLoopBase::GetActive(); pLoop && pLoop->Pending())
        pLoop->Dispatch();
}
