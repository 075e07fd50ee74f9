#include "FrameFixture.h"
#include "StandInDesktop.h"
#include "dialogs/ExpectSourceTypeDialogs.h"

using namespace frame_test;

namespace
{
TEST_F(FrameTest, FirstStartShowsEveryPaneAndTheReportPage)
{
    LinecastFrame& frame = Open();

    EXPECT_EQ(frame.GetClientSize(), wxSize(940, 616));
    EXPECT_EQ(FilterPanesShown(), (Visibility{true, true, true}));
    EXPECT_EQ(Access().Notebook().GetPageText(Access().Notebook().GetSelection()), "Report");
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(0), "Ready");
    EXPECT_EQ(frame.GetStatusBar()->GetFieldsCount(), 4);
    EXPECT_EQ(Access().SourceDirectories().GetCount(), 0u);
    EXPECT_EQ(frame.GetLatestVersion(), "unknown");
    EXPECT_TRUE(Access().Manager().RulesLoaded());

    for (const char* szPane : {"PaneName", "Result", "Counting Settings", "Analysis Parameter",
                               "Directory Filter", "Modified Date Filter", "Extension Filter"})
        EXPECT_TRUE(Access().Panes().GetPane(szPane).IsOk()) << szPane;
    // Later parts of the program find their controls by these names.
    for (const char* szName : {"ID_PANEL1",
                               "ID_BITMAPBUTTON1",
                               "ID_BITMAPBUTTON2",
                               "ID_CHECKLISTBOX1",
                               "ID_CHECKBOX1",
                               "ID_COMBOBOX1",
                               "ID_BITMAPBUTTON7",
                               "ID_BITMAPBUTTON_START",
                               "ID_BITMAPBUTTON_STOP",
                               "ID_PANEL2",
                               "ID_BITMAPBUTTON3",
                               "ID_PANEL3",
                               "ID_CHECKLISTBOX_DIR",
                               "ID_CHECKBOX_DIR",
                               "ID_BITMAPBUTTON4",
                               "ID_PANEL4",
                               "ID_CHECKLISTBOX_DATE",
                               "ID_CHECKBOX_DATE",
                               "ID_BITMAPBUTTON5",
                               "ID_PANEL5",
                               "ID_CHECKLISTBOX_EXT",
                               "ID_CHECKBOX_EXT",
                               "ID_BITMAPBUTTON6",
                               "ID_PANEL_DETAIL",
                               "ID_LC_DETAIL",
                               "ID_PANEL6",
                               "ID_SPLITTERWINDOW_SUMMARY",
                               "ID_SPLITTERWINDOW1",
                               "ID_LISTCTRL_DIR",
                               "ID_LISTCTRL_EXT",
                               "ID_PANEL_REPORT",
                               "ID_CUSTOM1",
                               "ID_STATUSBAR1"})
        EXPECT_NE(wxWindow::FindWindowByName(szName, &frame), nullptr) << szName;
}

TEST_F(FrameTest, SavedFoldersComeBackUnchecked)
{
    Open();
    AddDirectory("/src/alpha");
    AddDirectory("/src/beta");
    Access().SourceDirectories().Check(1, false);

    Reopen();

    wxCheckListBox& list = Access().SourceDirectories();
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetString(0), "/src/alpha");
    EXPECT_EQ(list.GetString(1), "/src/beta");
    EXPECT_FALSE(list.IsChecked(0));
    EXPECT_FALSE(list.IsChecked(1));
}

TEST_F(FrameTest, AddingTheSameFolderTwiceGivesTwoCheckedEntries)
{
    Open();
    AddDirectory("/src/same");
    AddDirectory("/src/same");
    // File > "Add directory..." opens the chooser; cancelled, it adds nothing.
    wxTEST_DIALOG(Access().Choose(Access().AddDirectoryEntry()),
                  wxExpectModal<wxDirDialog>(wxID_CANCEL));

    wxCheckListBox& list = Access().SourceDirectories();
    ASSERT_EQ(list.GetCount(), 2u);
    for (unsigned i = 0; i < 2; ++i)
    {
        EXPECT_EQ(list.GetString(i), "/src/same");
        EXPECT_TRUE(list.IsChecked(i));
    }
}

TEST_F(FrameTest, DeleteAsksOnlyWhenAnEntryIsSelected)
{
    Open();
    AddDirectory("/src/one");
    AddDirectory("/src/two");
    wxCheckListBox& list = Access().SourceDirectories();

    list.SetSelection(wxNOT_FOUND);
    Access().ClickDeleteDirectory(); // a question here would fail the test
    EXPECT_EQ(list.GetCount(), 2u);

    list.SetSelection(0);
    wxTEST_DIALOG(Access().ClickDeleteDirectory(), wxExpectModal<wxMessageDialog>(wxNO));
    EXPECT_EQ(list.GetCount(), 2u);

    wxTEST_DIALOG(Access().ClickDeleteDirectory(), wxExpectModal<wxMessageDialog>(wxYES));
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.GetString(0), "/src/two");
}

struct FilterMenuRow
{
    const char* name;
    Visibility before;
    std::function<wxMenuItem*(LinecastFrameTestAccess&)> entry;
    Visibility after;
};

void PrintTo(const FilterMenuRow& row, std::ostream* pOut)
{
    *pOut << row.name;
}

class FilterMenuTest : public FrameTest, public testing::WithParamInterface<FilterMenuRow>
{
};

TEST_P(FilterMenuTest, ChangesThePanesAndKeepsThemInThePreferences)
{
    const FilterMenuRow& row = GetParam();
    m_config.Config().Write("/m_nShowFilterDirectory", row.before[0] ? 1 : 0);
    m_config.Config().Write("/m_nShowFilterExtension", row.before[1] ? 1 : 0);
    m_config.Config().Write("/m_nShowFilterModifiedDate", row.before[2] ? 1 : 0);
    Open();
    ASSERT_EQ(FilterPanesShown(), row.before);

    Access().Choose(row.entry(Access()));
    EXPECT_EQ(FilterPanesShown(), row.after);
    EXPECT_EQ(FilterPreferences(), row.after);

    Reopen();
    EXPECT_EQ(FilterPanesShown(), row.after);
}

const FilterMenuRow FILTER_MENU_ROWS[] = {
    {"AllFiltersWithOneHiddenShowsAll",
     {true, false, true},
     &LinecastFrameTestAccess::AllFilters,
     {true, true, true}},
    {"AllFiltersWithAllHiddenShowsAll",
     {false, false, false},
     &LinecastFrameTestAccess::AllFilters,
     {true, true, true}},
    {"AllFiltersWithAllShownHidesAll",
     {true, true, true},
     &LinecastFrameTestAccess::AllFilters,
     {false, false, false}},
    {"DirectoryFilterHidesItsShownPane",
     {true, true, true},
     &LinecastFrameTestAccess::DirectoryFilterEntry,
     {false, true, true}},
    {"ExtensionFilterShowsItsHiddenPane",
     {false, false, false},
     &LinecastFrameTestAccess::ExtensionFilterEntry,
     {false, true, false}},
    {"DateFilterTogglesOnlyItsPane",
     {true, false, true},
     &LinecastFrameTestAccess::DateFilterEntry,
     {true, false, false}},
};

INSTANTIATE_TEST_SUITE_P(Rows, FilterMenuTest, testing::ValuesIn(FILTER_MENU_ROWS),
                         [](const testing::TestParamInfo<FilterMenuRow>& info)
                         { return std::string(info.param.name); });

TEST_F(FrameTest, FullScreenHidesTheBarsThePreferencesNameAndComesBack)
{
    m_config.Config().Write("/m_nHideMenuBar", 0);
    m_config.Config().Write("/m_nHideStatusBar", 1);
    LinecastFrame& frame = Open();
    frame.Show();

    Access().ClickTool(Access().FullscreenTool());
    EXPECT_TRUE(frame.IsFullScreen());
    EXPECT_TRUE(frame.GetMenuBar()->IsShown());
    EXPECT_FALSE(frame.GetStatusBar()->IsShown());
    EXPECT_TRUE(Access().ToolBar().GetToolSticky(Access().FullscreenTool()));

    Access().Choose(Access().FullscreenEntry());
    EXPECT_FALSE(frame.IsFullScreen());
    EXPECT_TRUE(frame.GetStatusBar()->IsShown());
    EXPECT_FALSE(Access().ToolBar().GetToolSticky(Access().FullscreenTool()));
}

TEST_F(FrameTest, StatusFieldThreeFollowsTheFrameSizeAboveTheMinimum)
{
    LinecastFrame& frame = Open();
    frame.Show();
    // No smaller than the panes need.
    frame.SetSize(400, 300);
    EXPECT_GE(frame.GetClientSize().x, 800);
    EXPECT_GE(frame.GetClientSize().y, 560);
    frame.SetSize(1000, 660);

    const wxStopWatch watch;
    wxString strExpected;
    do
    {
        wxTheApp->Yield(true);
        const wxSize size = frame.GetSize();
        strExpected = wxString::Format("Frame Size: w = %d, h = %d", size.x, size.y);
    } while (frame.GetStatusBar()->GetStatusText(3) != strExpected && watch.Time() < 3000);
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(3), strExpected);
    EXPECT_EQ(frame.GetSize(), wxSize(1000, 660));
}

TEST_F(FrameTest, StatusFieldTwoShowsEveryActiveFilterWhole)
{
    LinecastFrame& frame = Open();
    frame.Show();
    wxStatusBar& bar = *frame.GetStatusBar();
    FilterParam allFilters;
    allFilters.m_bFilterDirectory = allFilters.m_bFilterExtension = allFilters.m_bFilterDate = true;
    wxRect rect;
    ASSERT_TRUE(bar.GetFieldRect(2, rect));
    EXPECT_GT(rect.width, bar.GetTextExtent(FilterStatusText(allFilters)).x);
}

TEST_F(FrameTest, DestroyingTheFrameSavesThePreferencesAndTheRules)
{
    Open();
    AddDirectory("/src/kept");
    // Rules the window changed are written back at the end: take the file
    // away and it must reappear. Unchanged ones are not written at all.
    const wxString strRules = UserRules();
    Access().Manager().m_ruleTable.begin()->second->m_strDesc = "changed";
    ASSERT_TRUE(wxRemoveFile(strRules));

    Close();

    EXPECT_EQ(g_pPreference, nullptr);
    EXPECT_TRUE(wxFileExists(strRules));
    Open();
    ASSERT_TRUE(wxRemoveFile(strRules));
    Close();
    EXPECT_FALSE(wxFileExists(strRules));
    EXPECT_EQ(m_config.Config().ReadLong("/m_nDirectoryNum", -1), 1);
    EXPECT_EQ(m_config.Config().Read("/Directory/0", wxString()), "/src/kept");
    EXPECT_EQ(m_config.Config().ReadLong("/w", -1), 940);
    EXPECT_EQ(m_config.Config().ReadLong("/h", -1), 616);
}

TEST_F(FrameTest, QuitClosesAndDestroysTheFrame)
{
    LinecastFrame& frame = Open();
    AddDirectory("/src/quit");
    Access().Choose(Access().QuitEntry());
    ASSERT_TRUE(wxTheApp->IsScheduledForDestruction(&frame));

    m_pAccess.reset();
    m_pFrame = nullptr; // wx deletes it now
    wxTheApp->ProcessIdle();
    EXPECT_EQ(g_pPreference, nullptr);
    m_config.Reopen();
    EXPECT_EQ(m_config.Config().Read("/Directory/0", wxString()), "/src/quit");
}

TEST_F(FrameTest, UiLanguageStoresTheChoiceForTheNextStart)
{
    Open();
    wxTEST_DIALOG(Access().Choose(Access().LanguageEntry()),
                  wxExpectModal<wxSingleChoiceDialog>(wxExpectModal<wxSingleChoiceDialog>::CANCEL));
    EXPECT_EQ(m_config.Config().Read("/ui_language", wxString("<absent>")), "<absent>");

    wxTEST_DIALOG(Access().Choose(Access().LanguageEntry()),
                  wxExpectModal<wxSingleChoiceDialog>(3), // Japanese
                  wxExpectModal<wxMessageDialog>(wxOK));
    EXPECT_EQ(m_config.Config().Read("/ui_language", wxString()),
              wxLocale::GetLanguageCanonicalName(wxLANGUAGE_JAPANESE));
}

TEST_F(FrameTest, AboutToolAndMenuShowTheAboutBox)
{
    Open();
    wxTEST_DIALOG(Access().ClickTool(Access().AboutTool()), wxExpectModal<AboutDlg>(wxID_OK));
    wxTEST_DIALOG(Access().Choose(Access().AboutEntry()), wxExpectModal<AboutDlg>(wxID_OK));
}

// The download page (toolbar, Help menu, About box) and the report's links
// open in the browser, or a message names the address.
TEST_F(FrameTest, WebPagesOpenOrTheWindowSaysWhyNot)
{
    LinecastFrame& frame = Open();
    const wxString strDownload = AboutDlg::DOWNLOAD_PAGE_URL;
    const wxString strLink = "https://example.org/a";
    AboutDlg about(&frame);
    const std::function<void()> ways[] = {
        [this] { Access().ClickTool(Access().UpdateTool()); },
        [this] { Access().Choose(Access().UpdateEntry()); },
        [&about] { LinecastFrameTestAccess::Click(about.FindWindow("ID_BITMAPBUTTON1")); },
        [this, &strLink] { Access().ReportWindow().OnLinkClicked(wxHtmlLinkInfo(strLink)); },
    };
    for (size_t i = 0; i < std::size(ways); ++i)
    {
        const wxString strUrl = i == 3 ? strLink : strDownload;
        ways[i]();
        EXPECT_EQ(stand_in_desktop::TakeOpened(), Strings({strUrl})) << i;
        stand_in_desktop::NoApplications none;
        wxTEST_DIALOG(ways[i](),
                      dialog_test::ExpectMessage("Could not open \"" + strUrl +
                                                 "\".\nNo web browser is set up on this desktop."));
    }
}

TEST_F(FrameTest, FilterUpdateListsWhatTheRunFoundAllChecked)
{
    LinecastFrame& frame = Open();
    CountingManager& manager = Access().Manager();
    manager.m_arrDirectoryList = Strings({"/src/b", "/src/a"});
    manager.m_arrExtensionList = Strings({".h", ".cpp", ".C"});
    manager.m_arrDateList = Strings({"2024-05-01", "2023-12-31"});

    frame.OnFilterUpdate();

    // Folders keep the run's order; extensions and dates are sorted by
    // character code.
    EXPECT_EQ(Access().DirectoryFilter().GetStrings(), (Strings({"/src/b", "/src/a"})));
    EXPECT_EQ(Access().ExtensionFilter().GetStrings(), Strings({".C", ".cpp", ".h"}));
    EXPECT_EQ(Access().DateFilter().GetStrings(), Strings({"2023-12-31", "2024-05-01"}));
    for (FilterCheckList* pList :
         {&Access().DirectoryFilter(), &Access().ExtensionFilter(), &Access().DateFilter()})
        for (unsigned i = 0; i < pList->GetCount(); ++i)
            EXPECT_TRUE(pList->IsChecked(i)) << pList->GetName() << " " << i;
}

} // namespace
