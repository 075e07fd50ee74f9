// Not a test: takes the screenshots of the result views in docs/. Run it under
// Xvfb with
//   linecast_gui_tests --gtest_also_run_disabled_tests --gtest_filter='*ResultViewsScreenshots'
// LINECAST_SHOT_FOLDER names the folder to count (default: wxWidgets' headers),
// LINECAST_SHOT_DIR where the pictures go (default: the working folder).
#include "FrameFixture.h"

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

TEST_F(FrameTest, DISABLED_ResultViewsScreenshots)
{
    wxString strFolder = "/usr/include/wx-3.2", strOut = m_strOldCwd;
    wxGetEnv("LINECAST_SHOT_FOLDER", &strFolder);
    wxGetEnv("LINECAST_SHOT_DIR", &strOut);

    LinecastFrame& frame = Open();
    frame.SetSize(0, 0, 1280, 800);
    frame.Show();
    CountingManager& manager = Access().Manager();
    for (const char* szExt : {".h", ".cpp"})
        manager.m_extensionTable.at(szExt)->m_bSelected = true;
    CountingParam param;
    param.m_arrDirs.Add(strFolder);
    manager.SetCountingParam(param, Access().Analysis());
    manager.m_pCountingObserver = &frame;
    manager.m_pFilterObserver = &frame;
    manager.m_nState = CountingManager::STATE_RUNNING;
    manager.DoCounting();

    // Largest files first.
    LinecastFrameTestAccess::ClickHeading(Access().DetailList(), 4);
    LinecastFrameTestAccess::ClickHeading(Access().DetailList(), 4);
    for (const auto& [nPage, szName] :
         {std::pair{0, "screenshot-detail.png"}, {1, "screenshot-summary.png"}})
    {
        Access().Notebook().SetSelection(nPage);
        // The whole summary grid in view, as a user would drag the sash.
        if (auto* pSplitter = dynamic_cast<wxSplitterWindow*>(
                wxWindow::FindWindowByName("ID_SPLITTERWINDOW_SUMMARY", &frame)))
            pSplitter->SetSashPosition(420);
        Settle(800);
        SaveScreen(strOut + "/" + szName);
    }
}
} // namespace
