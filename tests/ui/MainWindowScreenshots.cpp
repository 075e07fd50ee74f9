// Not a test: takes the screenshots of the main window in docs/ after a count
// of a real tree. Run it under Xvfb with a 1280x800 screen:
//   linecast_gui_tests --gtest_also_run_disabled_tests --gtest_filter='*MainWindowScreenshots'
// LINECAST_SHOT_FOLDER names the folder to count (default: wxWidgets' headers),
// LINECAST_SHOT_TYPES the source types as the box takes them (default
// ".cpp;.h;"),
// LINECAST_SHOT_DIR where the pictures go (default: the working folder),
// LINECAST_SHOT_SIZE the window's client size as WxH (default: the screen),
// LINECAST_SHOT_LANGUAGE the interface language (ja, zh_CN; the pictures'
// names then end in "-ja" and so on, and the start page is taken too),
// LINECAST_SHOT_COMPARE an older version to compare the folder with, as
// "Compare with..." takes it (a folder, or git:REV): the Changes page is
// taken too.
#include "FrameFixture.h"
#include "ui/settings/UiLanguage.h"

#include <wx/evtloop.h>
#include <wx/splitter.h>
#include <wx/utils.h>

using namespace frame_test;

namespace
{
void Settle(int nMs)
{
    const wxStopWatch watch;
    while (watch.Time() < nMs)
    {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
}

// ImageMagick's import reads what the X server shows, after every paint.
void SaveScreen(const wxString& strPath)
{
    const wchar_t* const argv[] = {L"import", L"-window", L"root", strPath.wc_str(), nullptr};
    EXPECT_EQ(wxExecute(argv, wxEXEC_SYNC), 0) << strPath;
}

TEST_F(FrameTest, DISABLED_MainWindowScreenshots)
{
    wxString strFolder = "/usr/include/wx-3.2", strTypes = ".cpp;.h;", strOut = m_strOldCwd;
    wxString strSize;
    wxGetEnv("LINECAST_SHOT_FOLDER", &strFolder);
    wxGetEnv("LINECAST_SHOT_TYPES", &strTypes);
    wxGetEnv("LINECAST_SHOT_DIR", &strOut);
    wxGetEnv("LINECAST_SHOT_SIZE", &strSize);
    wxString strLanguage, strSuffix;
    wxLocale locale;
    if (wxGetEnv("LINECAST_SHOT_LANGUAGE", &strLanguage) && !strLanguage.empty())
    {
        m_config.Config().Write("/ui_language", strLanguage);
        InitUiLocale(locale);
        strSuffix = "-" + strLanguage;
    }

    LinecastFrame& frame = Open();
    long nWidth = 0, nHeight = 0;
    if (strSize.BeforeFirst('x').ToLong(&nWidth) && strSize.AfterFirst('x').ToLong(&nHeight))
    {
        frame.Move(0, 0);
        frame.SetClientSize(nWidth, nHeight);
    }
    else
    {
        frame.SetSize(wxGetClientDisplayRect());
    }
    frame.Show();
    Settle(500);
    if (!strSuffix.empty())
    {
        Access().Notebook().SetSelection(2);
        Settle(800);
        SaveScreen(strOut + "/screenshot-start" + strSuffix + ".png");
    }

    // As a user does it: the folder chosen, the types picked, Start.
    Access().CountingSettings().AddDirectory(strFolder);
    Access().CountingSettings().ShowSourceTypes(strTypes);
    Access().PickSourceType(0);
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        Access().ClickStart();
    }
    // Largest files first.
    LinecastFrameTestAccess::ClickHeading(Access().DetailList(), 4);
    LinecastFrameTestAccess::ClickHeading(Access().DetailList(), 4);

    for (const auto& [nPage, szName] :
         {std::pair{0, "screenshot-main"}, {1, "screenshot-summary"}, {2, "screenshot-report"}})
    {
        Access().Notebook().SetSelection(nPage);
        // The whole summary grid in view, as a user would drag the sash.
        if (auto* pSplitter = dynamic_cast<wxSplitterWindow*>(
                wxWindow::FindWindowByName("ID_SPLITTERWINDOW_SUMMARY", &frame)))
            pSplitter->SetSashPosition(frame.GetClientSize().y / 2);
        Settle(800);
        SaveScreen(strOut + "/" + szName + strSuffix + ".png");
    }

    wxString strCompare;
    if (!wxGetEnv("LINECAST_SHOT_COMPARE", &strCompare) || strCompare.empty())
        return;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        Access().CompareWith(strCompare);
    }
    // Most lines added first.
    ChangeListCtrl& files = *Access().Changes().GetFileList();
    for (int i = 0; i < 2; ++i)
    {
        wxListEvent event(wxEVT_LIST_COL_CLICK, files.GetId());
        event.SetEventObject(&files);
        event.m_col = 3;
        files.ProcessWindowEvent(event);
    }
    Settle(800);
    SaveScreen(strOut + "/screenshot-changes" + strSuffix + ".png");
}
} // namespace
