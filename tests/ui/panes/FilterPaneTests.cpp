#include "FrameFixture.h"

#include "engine/FilterParam.h"
#include "ui/CachedCheckBoxRenderer.h"
#include "ui/panes/FolderTree.h"

#include <cstdlib>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/listctrl.h>

using namespace frame_test;

namespace
{
struct StatusRow
{
    const char* name;
    bool bDirectory, bExtension, bDate;
    const char* szText;
};

void PrintTo(const StatusRow& row, std::ostream* pOut)
{
    *pOut << row.name;
}

class FilterStatusTest : public testing::TestWithParam<StatusRow>
{
};

TEST_P(FilterStatusTest, NamesTheActiveFilters)
{
    FilterParam param;
    param.m_bFilterDirectory = GetParam().bDirectory;
    param.m_bFilterExtension = GetParam().bExtension;
    param.m_bFilterDate = GetParam().bDate;
    EXPECT_EQ(FilterStatusText(param), GetParam().szText);
}

const StatusRow STATUS_ROWS[] = {
    {"NoFilter", false, false, false, "Filtering result by: None"},
    {"Directory", true, false, false, "Filtering result by: Directory"},
    {"ExtensionAndDate", false, true, true, "Filtering result by: Extension | Modified Date"},
    {"All", true, true, true, "Filtering result by: Directory | Extension | Modified Date"},
};

INSTANTIATE_TEST_SUITE_P(Rows, FilterStatusTest, testing::ValuesIn(STATUS_ROWS),
                         [](const testing::TestParamInfo<StatusRow>& info)
                         { return std::string(info.param.name); });

void ClickSelectAll(FilterPane& pane)
{
    wxCheckBox* pBox = pane.GetSelectAll();
    pBox->SetValue(!pBox->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, pBox->GetId());
    event.SetEventObject(pBox);
    event.SetInt(pBox->GetValue() ? 1 : 0);
    pBox->ProcessWindowEvent(event);
}

std::vector<bool> CheckMarks(const FilterCheckList& list)
{
    std::vector<bool> marks;
    for (unsigned i = 0; i < list.GetCount(); ++i)
        marks.push_back(list.IsChecked(i));
    return marks;
}

TEST_F(FrameTest, SelectAllAndApplyFiltersTurnCheckMarksIntoTheFilter)
{
    LinecastFrame& frame = Open();
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(2), "Filtering result by: None");
    CountingManager& manager = Access().Manager();
    manager.m_arrDirectoryList = Strings({"/src/b", "/src/a"});
    manager.m_arrExtensionList = Strings({".h", ".c"});
    manager.m_arrDateList = Strings({"2024-05-01", "2023-12-31"});
    frame.OnFilterUpdate();
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(2), "Filtering result by: None");
    EXPECT_TRUE(Access().Filters().m_bChanged);
    EXPECT_EQ(Access().Filters().m_arrDirectories, Strings({"/src/a", "/src/b"}));

    // "Select All" starts unchecked: the first click checks every entry, the
    // next unchecks them; the filter waits for a refresh.
    FilterPane& dates = Access().DateFilterPane();
    dates.GetList()->Check(0, false);
    ClickSelectAll(dates);
    EXPECT_EQ(CheckMarks(*dates.GetList()), (std::vector<bool>{true, true}));
    ClickSelectAll(dates);
    EXPECT_EQ(CheckMarks(*dates.GetList()), (std::vector<bool>{false, false}));
    EXPECT_EQ(CheckMarks(*Access().ExtensionFilterPane().GetList()),
              (std::vector<bool>{true, true}));
    EXPECT_FALSE(Access().Filters().m_bFilterDate);

    // A click on an entry's check box, and the space bar on the current one.
    FilterCheckList& extensions = *Access().ExtensionFilterPane().GetList();
    wxListEvent click(wxEVT_LIST_ITEM_UNCHECKED, extensions.GetId());
    click.m_itemIndex = 0;
    extensions.ProcessWindowEvent(click);
    EXPECT_EQ(CheckMarks(extensions), (std::vector<bool>{false, true}));
    for (long nItem : {0, 1})
    {
        wxListEvent space(wxEVT_LIST_KEY_DOWN, extensions.GetId());
        space.m_itemIndex = nItem;
        space.m_code = WXK_SPACE;
        extensions.ProcessWindowEvent(space);
    }
    EXPECT_EQ(CheckMarks(extensions), (std::vector<bool>{true, false})); // ".h" unticked
    Access().Filters().m_bChanged = false;
    Access().ApplyFilters();
    const FilterParam& filters = Access().Filters();
    EXPECT_FALSE(filters.m_bFilterDirectory);
    EXPECT_TRUE(filters.m_bFilterExtension);
    EXPECT_TRUE(filters.m_bFilterDate);
    EXPECT_EQ(filters.m_arrDirectories, Strings({"/src/a", "/src/b"}));
    EXPECT_EQ(filters.m_arrExtensions, Strings({".c"}));
    EXPECT_TRUE(filters.m_arrDates.empty());
    EXPECT_TRUE(filters.m_bChanged);
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(2),
              "Filtering result by: Extension | Modified Date");

    // Nothing checked anywhere takes no value, but the active filters now
    // hide every file, so the views must be derived again.
    for (FilterPane* pPane : {&Access().DirectoryFilterPane(), &Access().ExtensionFilterPane()})
        pPane->CheckAll(false);
    Access().Filters().m_bChanged = false;
    Access().ApplyFilters();
    EXPECT_TRUE(filters.m_bChanged);
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(2),
              "Filtering result by: Directory | Extension | Modified Date");
}

// A folder's tree is itself and what lies below it by whole path components.
TEST(FolderTreeTest, HoldsTheFolderAndWhatIsBelowItOnly)
{
    const wxArrayString folders =
        Strings({"/src/a", "/src/a/b", "/src/ab", "/src/a/b/c", "/src", "/", "/src/a b"});
    const struct
    {
        std::size_t nTop;
        std::vector<std::size_t> entries;
    } rows[] = {
        {0, {0, 1, 3}},             // not "/src/ab" nor "/src/a b"
        {1, {1, 3}},                // nothing above it
        {2, {2}},                   // "/src/ab" holds no "/src/a..."
        {4, {0, 1, 2, 3, 4, 6}},    // every folder below "/src"
        {5, {0, 1, 2, 3, 4, 5, 6}}, // the root holds everything
        {7, {}},                    // no such entry
    };
    for (const auto& row : rows)
        EXPECT_EQ(FolderTreeEntries(folders, row.nTop), row.entries) << row.nTop;
    EXPECT_TRUE(IsInFolderTree("/src/a/", "/src/a")); // a separator at the end
    EXPECT_FALSE(IsInFolderTree("/src/a", ""));
}

// "Untick with subfolders" leaves a folder's tree out in one action, and
// "Tick with subfolders" takes back a part of it.
TEST_F(FrameTest, FolderTreeMenuTicksAFolderWithItsSubfolders)
{
    LinecastFrame& frame = Open();
    Access().Manager().m_arrDirectoryList =
        Strings({"/src/a", "/src/a/b", "/src/ab", "/src/a/b/c", "/src/z"});
    frame.OnFilterUpdate();
    FilterPane& pane = Access().DirectoryFilterPane();
    pane.CheckFolderTree(0, false);
    EXPECT_EQ(CheckMarks(*pane.GetList()), (std::vector<bool>{false, false, true, false, true}));
    pane.CheckFolderTree(1, true);
    EXPECT_EQ(CheckMarks(*pane.GetList()), (std::vector<bool>{false, true, true, true, true}));
}

// A count of a small tree fills every view; unchecking an extension and
// refiltering leaves only the other extension's files in every list.
TEST_F(FrameTest, CountFillsEveryViewAndAFilterNarrowsThem)
{
    TempDir tree;
    tree.Write("b/one.c", "int a;\n// note\n\nint b;\n");
    tree.Write("a/two.c", "int c;\n");
    tree.Write("a/three.h", "/* x */\nint d;\n");
    LinecastFrame& frame = Open();
    CountingManager& manager = Access().Manager();
    for (const char* szExt : {".c", ".h"})
        manager.m_extensionTable.at(szExt)->m_bSelected = true;
    CountingParam param;
    param.m_arrDirs.Add(wxString::FromUTF8(tree.Path()));
    manager.SetCountingParam(param, Access().Analysis());
    manager.m_pCountingObserver = &frame;
    manager.m_pAnalysisObserver = &frame;
    manager.m_pFilterObserver = &frame;
    manager.m_nState = CountingManager::STATE_RUNNING;
    manager.DoCounting();

    const wxString strRoot = wxString::FromUTF8(tree.Path());
    EXPECT_EQ(Access().DetailList().GetItemCount(), 3);
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Access().DirectoryList()),
              Strings({strRoot + "/a", strRoot + "/b"}));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Access().ExtensionList()),
              Strings({".c", ".h"}));
    EXPECT_EQ(Access().ExtensionList().GetItemText(0, 3), "5"); // lines of both .c files
    EXPECT_EQ(Access().ExtensionFilter().GetStrings(), Strings({".c", ".h"}));
    EXPECT_EQ(Access().Summary().GetPropertyValueAsString("Files"), "3");
    EXPECT_EQ(Access().Summary().GetPropertyValueAsString("TotalLines"), "7");
    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(2), "Filtering result by: None");

    Access().ExtensionFilter().Check(1, false);
    Access().ApplyFilters();
    manager.Refilter(Access().Analysis(), Access().Filters());

    EXPECT_EQ(frame.GetStatusBar()->GetStatusText(2), "Filtering result by: Extension");
    // Sorted ascending by file name, the remembered column.
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Access().DetailList()),
              Strings({"one.c", "two.c"}));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Access().ExtensionList()), Strings({".c"}));
    EXPECT_EQ(Access().DirectoryList().GetItemText(0, 1), "1"); // a/ keeps two.c only
    EXPECT_EQ(Access().Summary().GetPropertyValueAsString("Files"), "2");
}
} // namespace

// The filter lists' check boxes are copies of one drawing per look: each copy
// must look as the native box would, on any background and where it is put.
TEST_F(FrameTest, CachedCheckBoxesLookAsTheNativeOnes)
{
    LinecastFrame& frame = Open();
    ASSERT_TRUE(dynamic_cast<CachedCheckBoxRenderer*>(&wxRendererNative::Get()));
    const auto draw = [&frame](wxRendererNative& renderer, int nFlags, const wxColour& background)
    {
        wxBitmap target(30, 30, 24);
        wxMemoryDC dc(target);
        dc.SetBackground(wxBrush(background));
        dc.Clear();
        renderer.DrawCheckBox(&frame, dc, wxRect(5, 7, 16, 16), nFlags);
        dc.SelectObject(wxNullBitmap);
        return target.ConvertToImage();
    };
    for (const int nFlags : {0, int(wxCONTROL_CHECKED), int(wxCONTROL_CHECKED | wxCONTROL_DISABLED),
                             int(wxCONTROL_CURRENT), int(wxCONTROL_UNDETERMINED)})
        for (const wxColour& background : {*wxWHITE, wxColour(40, 40, 40)})
            for (int nTime = 0; nTime < 2; ++nTime) // drawn, then copied
            {
                const wxImage native = draw(wxRendererNative::GetDefault(), nFlags, background);
                const wxImage cached = draw(wxRendererNative::Get(), nFlags, background);
                int nMaxDifference = 0;
                for (int i = 0; i < 30 * 30 * 3; ++i)
                    nMaxDifference = std::max(
                        nMaxDifference, std::abs(native.GetData()[i] - cached.GetData()[i]));
                // Only the edges' blending may round differently.
                EXPECT_LE(nMaxDifference, 16) << "flags " << nFlags << ", time " << nTime;
            }
}
