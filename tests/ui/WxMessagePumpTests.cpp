#include "ui/WxMessagePump.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/stopwatch.h>

namespace
{
TEST(WxMessagePumpTest, ReturnsAtOnceWhenNoLoopRuns)
{
    ASSERT_EQ(wxEventLoopBase::GetActive(), nullptr);
    WxMessagePump pump;
    pump.HandleOnePendingEvent();
}

TEST(WxMessagePumpTest, HandsPendingEventsToTheLoopAndNeverWaits)
{
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    WxMessagePump pump;

    // Nothing waiting: a pump that blocked here would hang the test.
    while (loop.Pending())
        loop.Dispatch();
    const wxStopWatch idle;
    for (int i = 0; i < 100; ++i)
        pump.HandleOnePendingEvent();
    EXPECT_LT(idle.Time(), 1000);

    // A queued call runs once the pump has handed the loop its turn.
    bool bRan = false;
    wxTheApp->CallAfter([&bRan] { bRan = true; });
    const wxStopWatch watch;
    while (!bRan && watch.Time() < 3000)
        pump.HandleOnePendingEvent();
    EXPECT_TRUE(bRan);
}
} // namespace
