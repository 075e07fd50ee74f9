#include "FrameFixture.h"
#include "StandInDesktop.h"
#include "engine/NativePath.h"

#include <wx/checkbox.h>

using namespace frame_test;

namespace
{
const wxString REPLACEMENT(wxUniChar(0xFFFD));

// File and folder names are bytes: one that is not UTF-8 is counted from the
// window like any other, shown with a replacement character, filtered by its
// real name, written into the report as text, and opened by its real bytes.
TEST_F(FrameTest, ANameThatIsNotUtf8IsShownFilteredReportedAndOpenedByItsBytes)
{
    TempDir tree;
    tree.Write("lat\xE9/caf\xE9.c", "int a;\n\n// b\n");
    tree.Write("plain/b.c", "int b;\n");

    Open();
    const wxString strTree = wxString::FromUTF8(tree.Path());
    AddDirectory(strTree);
    Access().CountingSettings().ShowSourceTypes(".c;");
    Access().PickSourceType(0);
    Access().ClickStart();

    // Counted by its real name: three lines, not an unreadable zero.
    const wxString strFolder = strTree + "/lat" + NativePath::FromBytes("\xE9");
    const wxString strFile = strFolder + "/caf" + NativePath::FromBytes("\xE9") + ".c";
    ResultListCtrl& detail = Access().DetailList();
    ASSERT_EQ(detail.GetItemCount(), 2);
    long nRow = -1;
    for (long i = 0; i < detail.GetItemCount(); ++i)
        if (detail.GetItemText(i, 0) == "caf" + REPLACEMENT + ".c")
            nRow = i;
    ASSERT_NE(nRow, -1) << "no row shows the name with a replacement";
    EXPECT_EQ(detail.GetItemText(nRow, 2), strTree + "/lat" + REPLACEMENT);
    EXPECT_EQ(detail.GetItemText(nRow, 3), "3");
    EXPECT_TRUE(LinecastFrameTestAccess::ColumnTexts(Access().DirectoryList())
                    .Index(strTree + "/lat" + REPLACEMENT) != wxNOT_FOUND);

    // The status bar during a count shows the path as text.
    Access().Session().ShowProgress(strFile, 1);
    Access().Session().FlushProgress();
    EXPECT_EQ(Access().StatusBar().GetStatusText(0),
              strTree + "/lat" + REPLACEMENT + "/caf" + REPLACEMENT + ".c");

    // The folder filter shows the replacement but narrows by the real name.
    FilterCheckList& folders = Access().DirectoryFilter();
    ASSERT_EQ(folders.GetCount(), 2u);
    const int nShown = folders.FindString(strTree + "/lat" + REPLACEMENT, true);
    ASSERT_NE(nShown, wxNOT_FOUND);
    for (unsigned i = 0; i < folders.GetCount(); ++i)
        folders.Check(i, static_cast<int>(i) == nShown);
    LinecastFrameTestAccess::Click(Access().DirectoryFilterPane().GetRefreshButton());
    EXPECT_EQ(Access().Filters().m_arrDirectories, Strings({strFolder}));
    ASSERT_EQ(detail.GetItemCount(), 1);
    EXPECT_EQ(detail.GetItemText(0, 0), "caf" + REPLACEMENT + ".c");

    // The report names the folder as text: a replacement, no private
    // character, in the pane and in an exported file alike.
    const wxString strPage = Access().ReportPageText();
    EXPECT_NE(strPage.Find("/lat" + REPLACEMENT + "<br>"), wxNOT_FOUND);
    for (const wxUniChar c : strPage)
        ASSERT_LT(c.GetValue(), 0x100000u) << "a private character is in the report";

    // Open File and Open Directory hand the desktop the real bytes.
    Access().ChooseOnRow(detail, 0, LinecastFrameTestAccess::OPEN_FILE);
    wxArrayString arrArgs = stand_in_desktop::TakeOpened();
    ASSERT_EQ(arrArgs.size(), 1u);
    EXPECT_EQ(NativePath::ToBytes(arrArgs[0]), tree.Path() + "/lat\xE9/caf\xE9.c");
    Access().ChooseOnRow(Access().DirectoryList(), 0, LinecastFrameTestAccess::OPEN_DIRECTORY);
    arrArgs = stand_in_desktop::TakeOpened();
    ASSERT_EQ(arrArgs.size(), 1u);
    EXPECT_EQ(NativePath::ToBytes(arrArgs[0]), tree.Path() + "/lat\xE9");
}
} // namespace
