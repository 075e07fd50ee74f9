#include "ui/WxMessagePump.h"

#include <wx/app.h>
#include <wx/evtloop.h>

namespace
{
// How often, at most, a run gives wx its idle turn.
constexpr long IDLE_INTERVAL_MS = 50;
} // namespace

void WxMessagePump::HandleOnePendingEvent()
{
    wxEventLoopBase* pLoop = wxEventLoopBase::GetActive();
    if (!pLoop)
        return;
    // Dispatch() waits for an event when none is pending; Pending() first.
    if (pLoop->Pending())
    {
        pLoop->Dispatch();
        return;
    }
    // Nothing from the window system. What wx keeps for idle time (queued
    // events, and the relayout and repaint of the generic list controls
    // GTK uses) would otherwise wait for the end of the run; give it a turn
    // now and then, not on every file.
    if (m_idleClock.Time() < IDLE_INTERVAL_MS)
        return;
    m_idleClock.Start();
    if (wxTheApp)
        wxTheApp->ProcessPendingEvents();
    pLoop->ProcessIdle();
}
