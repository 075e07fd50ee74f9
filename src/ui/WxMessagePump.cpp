#include "ui/WxMessagePump.h"

#include <wx/app.h>
#include <wx/evtloop.h>

namespace
{
// How often, at most, a run gives wx its idle turn.
constexpr long IDLE_INTERVAL_MS = 50;
// How often, at most, an empty queue is asked again. Asking costs a round
// through GLib and a read from the X connection, more than counting a small
// file; a millisecond later is still at once for a click.
constexpr long QUIET_CHECK_INTERVAL_US = 1000;
} // namespace

void WxMessagePump::HandleOnePendingEvent()
{
    wxEventLoopBase* pLoop = wxEventLoopBase::GetActive();
    if (!pLoop)
        return;
    // While events are waiting, one is handled on every call, as before a
    // queue that was found empty is looked at again only after a while.
    if (m_bQuiet && m_quietClock.TimeInMicro() < QUIET_CHECK_INTERVAL_US)
        return;
    // Dispatch() waits for an event when none is pending; Pending() first.
    m_bQuiet = !pLoop->Pending();
    if (!m_bQuiet)
    {
        pLoop->Dispatch();
        return;
    }
    m_quietClock.Start();
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
