#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

// The engine needs wxBase initialised (conversions, dates, files) but never a
// display.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    wxInitializer init;
    if (!init.IsOk())
        return 1;
    // A stray wx log message must not pass unnoticed as console noise only;
    // tests that expect silence check it themselves.
    wxLog::SetActiveTarget(new wxLogStderr);
    return RUN_ALL_TESTS();
}
