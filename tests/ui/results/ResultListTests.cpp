#include "FrameFixture.h"

#include "StandInDesktop.h"
#include "dialogs/ExpectSourceTypeDialogs.h"
#include "report/MessagePath.h"

using namespace frame_test;

namespace
{
FileResult& AddFile(CountingManager& manager, const char* szName, std::int64_t nCodeLines)
{
    auto pFile = std::make_unique<FileResult>();
    pFile->m_strFolder = "/src";
    pFile->m_strFile = szName;
    pFile->m_strPath = wxString("/src/") + szName;
    pFile->m_strExt = wxString(szName).AfterLast('.').Prepend(".");
    pFile->m_nCodeLines = nCodeLines;
    pFile->m_dtModified = wxDateTime(1, wxDateTime::Jun, 2024);
    manager.m_arrFileResults.push_back(std::move(pFile));
    return *manager.m_arrFileResults.back();
}

constexpr int REFILL = -1;
constexpr int FILE_COLUMN = 0;
constexpr int CODE_COLUMN = 4;

struct SortStep
{
    int nClick; // a column, or REFILL
    wxArrayString order;
    bool bAscending;
};

TEST_F(FrameTest, DetailListSortsByClickedColumnsAndRefillsAscending)
{
    LinecastFrame& frame = Open();
    CountingManager& manager = Access().Manager();
    ResultListCtrl& list = Access().DetailList();
    // Rows arrive in counting order; A.h and a.c tie on code lines.
    for (auto [szName, nCode] : {std::pair{"b.c", 30}, {"A.h", 10}, {"c.c", 20}, {"a.c", 10}})
    {
        AddFile(manager, szName, nCode);
        frame.OnCountingUpdate();
    }
    list.AppendRecord(nullptr); // a row without a record
    ASSERT_EQ(LinecastFrameTestAccess::ColumnTexts(list),
              Strings({"b.c", "A.h", "c.c", "a.c", ""}));

    const SortStep steps[] = {
        // Before any refill the first click on the remembered column ascends.
        {FILE_COLUMN, Strings({"", "A.h", "a.c", "b.c", "c.c"}), true},
        // Another column ascends; ties keep the order they had.
        {CODE_COLUMN, Strings({"", "A.h", "a.c", "c.c", "b.c"}), true},
        {CODE_COLUMN, Strings({"b.c", "c.c", "A.h", "a.c", ""}), false},
        {FILE_COLUMN, Strings({"", "A.h", "a.c", "b.c", "c.c"}), true},
        {FILE_COLUMN, Strings({"c.c", "b.c", "a.c", "A.h", ""}), false},
        // A refill comes back ascending by the remembered column...
        {REFILL, Strings({"A.h", "a.c", "b.c", "c.c"}), true},
        // ...so the next click on it descends.
        {FILE_COLUMN, Strings({"c.c", "b.c", "a.c", "A.h"}), false},
    };
    for (size_t i = 0; i < std::size(steps); ++i)
    {
        const SortStep& step = steps[i];
        if (step.nClick == REFILL)
            frame.OnAnalysisUpdate();
        else
            LinecastFrameTestAccess::ClickHeading(list, step.nClick);
        EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(list), step.order) << "step " << i;
        EXPECT_EQ(list.IsSortAscending(), step.bAscending) << "step " << i;
        EXPECT_EQ(list.GetSortIndicator(), list.GetSortColumn()) << "step " << i;
        EXPECT_EQ(list.IsAscendingSortIndicator(), step.bAscending) << "step " << i;
    }

    // A selected row stays with its file when the rows move.
    list.SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED); // "b.c"
    LinecastFrameTestAccess::ClickHeading(list, CODE_COLUMN);
    EXPECT_EQ(list.GetSelectedItemCount(), 1);
    EXPECT_EQ(list.GetItemText(list.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)),
              "b.c");
}

// The frame shown at its Detail page, with nFiles rows added as a count adds
// them.
ResultListCtrl& ShowDetailRows(LinecastFrame& frame, LinecastFrameTestAccess& access, int nFiles)
{
    frame.Show();
    access.Notebook().SetSelection(0);
    for (int i = 0; i < nFiles; ++i)
    {
        AddFile(access.Manager(), "a.c", i);
        frame.OnCountingUpdate();
    }
    return access.DetailList();
}

TEST_F(FrameTest, ARunningCountKeepsItsNewestRowsInView)
{
    LinecastFrame& frame = Open();
    ResultListCtrl& list = ShowDetailRows(frame, Access(), 300);
    const wxStopWatch watch;
    while (list.GetTopItem() + list.GetCountPerPage() < 300 && watch.Time() < 3000)
        wxTheApp->Yield(true);
    EXPECT_GT(list.GetCountPerPage(), 0);
    EXPECT_GE(list.GetTopItem() + list.GetCountPerPage(), 300);
}

// The headings stay over their columns however the rows are scrolled
// sideways: a wheel or touchpad step moves the view by several columns' worth
// with no closing event, as a scrollbar's drag has.
TEST_F(FrameTest, HeadingsFollowTheRowsScrolledSideways)
{
    LinecastFrame& frame = Open();
    frame.SetSize(700, 600);
    ResultListCtrl& list = ShowDetailRows(frame, Access(), 30);
    wxWindow* pHeader = list.GetHeaderWindow();
    ASSERT_TRUE(pHeader);
    int nDrawnAt = -1; // the view start the headings were last drawn at
    pHeader->Bind(wxEVT_PAINT,
                  [&](wxPaintEvent& event)
                  {
                      list.GetViewStart(&nDrawnAt, nullptr);
                      event.Skip();
                  });
    const auto drawnAt = [&](int nViewStart, long nWaitMs)
    {
        const wxStopWatch watch;
        while (nDrawnAt != nViewStart && watch.Time() < nWaitMs)
        {
            wxTheApp->Yield(true);
            wxMilliSleep(5);
        }
        return nDrawnAt;
    };
    ASSERT_EQ(drawnAt(0, 5000), 0) << "the window's first drawing";
    for (const int nTo : {3, 6, 9, 6, 3, 0})
    {
        // What GTK makes of a wheel step: the scrollbar's new position.
        wxScrollWinEvent event(wxEVT_SCROLLWIN_THUMBTRACK, nTo, wxHORIZONTAL);
        event.SetEventObject(&list);
        list.HandleWindowEvent(event);
        EXPECT_EQ(drawnAt(nTo, 1000), nTo);
    }
}

TEST_F(FrameTest, NoColumnHeadingOrSummaryCountIsClipped)
{
    LinecastFrame& frame = Open();
    for (ResultListCtrl* pList :
         {&Access().DetailList(), &Access().DirectoryList(), &Access().ExtensionList()})
    {
        int nCount = 0;
        const ResultColumn* pColumns = GetResultColumns(pList->GetKind(), nCount);
        ASSERT_EQ(pList->GetColumnCount(), nCount);
        for (int i = 0; i < nCount; ++i)
        {
            wxListItem column;
            column.SetMask(wxLIST_MASK_TEXT);
            pList->GetColumn(i, column);
            const int nWidth = pList->GetColumnWidth(i);
            EXPECT_GE(nWidth, pColumns[i].nWidth) << column.GetText();
            // Room for the text, the header's margins and the sort arrow.
            EXPECT_GE(nWidth, pList->GetTextExtent(column.GetText()).x + 22) << column.GetText();
        }
    }
    EXPECT_EQ(Access().DirectoryList().GetColumnWidth(0), 320);

    // A folder of 5 GiB: its size shows whole.
    auto pDirectory = std::make_unique<DirectoryResult>();
    pDirectory->m_nSize = 5LL << 30;
    Access().Manager().m_arrDirectoryResults.push_back(std::move(pDirectory));
    frame.OnFilterUpdate();
    ResultListCtrl& directories = Access().DirectoryList();
    EXPECT_EQ(directories.GetItemText(0, 2), "5368709120");
    EXPECT_GE(directories.GetColumnWidth(2), directories.GetTextExtent("5368709120").x + 8);
}

// Opening from the lists reaches the desktop (no file manager answers, so a
// file is shown by opening its folder), and what cannot be opened is said.
TEST_F(FrameTest, PopupEntriesOpenTheFileOrItsFolderOrSayWhyNot)
{
    LinecastFrame& frame = Open();
    TempDir tree;
    const wxString strFolder = wxString::FromUTF8(tree.MakeDir("a folder"));
    FileResult& file = AddFile(Access().Manager(), "my file.c", 1);
    file.m_strFolder = strFolder;
    // A name long enough that the message box must break its path.
    file.m_strPath = wxString::FromUTF8(
        tree.Write("a folder/my file with a name longer than any message line.c", "int a;\n"));
    frame.OnCountingUpdate();
    auto pDirectory = std::make_unique<DirectoryResult>();
    pDirectory->m_strName = strFolder;
    Access().Manager().m_arrDirectoryResults.push_back(std::move(pDirectory));
    frame.OnFilterUpdate();

    using stand_in_desktop::TakeOpened;
    ResultListCtrl& detail = Access().DetailList();
    ResultListCtrl& directories = Access().DirectoryList();
    Access().ChooseOnRow(detail, 0, LinecastFrameTestAccess::OPEN_FILE);
    EXPECT_EQ(TakeOpened(), Strings({file.m_strPath}));
    Access().ChooseOnRow(detail, 0, LinecastFrameTestAccess::OPEN_DIRECTORY);
    EXPECT_EQ(TakeOpened(), Strings({strFolder}));
    Access().ChooseOnRow(directories, 0, LinecastFrameTestAccess::OPEN_DIRECTORY);
    EXPECT_EQ(TakeOpened(), Strings({strFolder}));

    // A folder row has no file, and a row without a record opens nothing.
    directories.AppendRecord(nullptr);
    Access().ChooseOnRow(directories, 0, LinecastFrameTestAccess::OPEN_FILE);
    Access().ChooseOnRow(directories, 1, LinecastFrameTestAccess::OPEN_DIRECTORY);
    Access().ChooseOnRow(detail, 5, LinecastFrameTestAccess::OPEN_FILE);
    EXPECT_TRUE(TakeOpened(300).empty());

    // Nothing on the desktop opens them: the window says so, naming the path.
    stand_in_desktop::NoApplications none;
    const wxString NO_APPLICATION = "No application is registered as handling this file";
    wxTEST_DIALOG(Access().ChooseOnRow(detail, 0, LinecastFrameTestAccess::OPEN_FILE),
                  dialog_test::ExpectMessage("Could not open \"" + PathForMessage(file.m_strPath) +
                                             "\".\n" + NO_APPLICATION));
    wxTEST_DIALOG(
        Access().ChooseOnRow(directories, 0, LinecastFrameTestAccess::OPEN_DIRECTORY),
        dialog_test::ExpectMessage("Could not open \"" + strFolder + "\".\n" + NO_APPLICATION));
}
} // namespace
