#include "TempDir.h"

#include <cstdlib>
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
    // Nothing may read the developer's own rules copy: the configuration
    // folder is a throw-away one unless a test sets its own.
    TempDir configHome;
    setenv("XDG_CONFIG_HOME", configHome.Path().c_str(), 1);
    // A stray wx log message must not pass unnoticed as console noise only;
    // tests that expect silence check it themselves.
    wxLog::SetActiveTarget(new wxLogStderr);
    return RUN_ALL_TESTS();
}
