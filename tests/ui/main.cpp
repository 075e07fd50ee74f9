#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/modalhook.h>

#include <cstdio>
#include <cstdlib>

#include "StandInDesktop.h"
#include "TempDir.h"
#include "config/DataFiles.h"
#include "ui/UpdateCheck.h"

namespace
{
// The window tests' application: the tests create their own windows.
class GuiTestApp : public wxApp
{
public:
    // wxApp::OnInit would parse the command line, which belongs to gtest.
    bool OnInit() override { return true; }
};

// A failed wx assertion is a failed test, not a dialog nobody answers.
void FailOnAssert(const wxString& strFile, int nLine, const wxString& strFunc,
                  const wxString& strCond, const wxString& strMsg)
{
    ADD_FAILURE_AT(strFile.utf8_str(), nLine)
        << "wx assertion failed in " << strFunc.utf8_str() << ": " << strCond.utf8_str()
        << (strMsg.empty() ? "" : " - ") << strMsg.utf8_str();
}

// Last line of defence: a modal dialog that no wxTEST_DIALOG answers would
// wait for a click forever. Fail the test and cancel the dialog instead.
class UnexpectedDialogHook : public wxModalDialogHook
{
protected:
    int Enter(wxDialog* pDialog) override
    {
        ADD_FAILURE() << "unexpected modal dialog \"" << pDialog->GetTitle().utf8_str() << "\"";
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};
} // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as CTest does to discover them) needs no display.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    // Nothing may fall back on the user's own settings: any store a test does
    // not set up itself lands in a throw-away folder and is never created on
    // demand.
    TempDir configHome;
    setenv("XDG_CONFIG_HOME", configHome.Path().c_str(), 1);
    // Nor on the desktop's programs: opening goes to a stand-in.
    TempDir desktop;
    stand_in_desktop::Install(desktop);
    wxConfigBase::DontCreateOnDemand();
    // The test program lives outside the program folder; the data is the
    // build's, wherever a test's working folder is.
    SetDataDir(LINECAST_DIST_DIR);

    wxSetAssertHandler(FailOnAssert);
    if (!wxEntryStart(argc, argv))
    {
        std::fprintf(stderr, "linecast_gui_tests: cannot open a display (run under xvfb-run)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    // Logged errors go to the console, not into message boxes.
    delete wxLog::SetActiveTarget(new wxLogStderr);

    UnexpectedDialogHook unexpectedDialogs;
    unexpectedDialogs.Register();

    const int nResult = RUN_ALL_TESTS();

    unexpectedDialogs.Unregister();
    // No update check a test started may outlive the toolkit.
    StopUpdateChecks(2000);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return nResult;
}
