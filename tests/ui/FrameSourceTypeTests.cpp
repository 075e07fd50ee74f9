#include "FrameFixture.h"
#include "dialogs/ExpectSourceTypeDialogs.h"
#include "ui/settings/SourceTypeChoice.h"

using namespace frame_test;

namespace
{
// Checks exactly the named types in the source type dialog and presses OK.
wxExpectModal<SrcTypeSelDlg> ChooseTypes(std::initializer_list<const char*> names)
{
    const wxArrayString arrNames = Strings(names);
    return wxExpectModal<SrcTypeSelDlg>(
        [arrNames](SrcTypeSelDlg& dlg)
        {
            auto& list = dialog_test::Find<wxCheckListBox>(dlg, "ID_CHECKLISTBOX1");
            for (unsigned i = 0; i < list.GetCount(); ++i)
                list.Check(i, false);
            for (const wxString& strName : arrNames)
                list.Check(dialog_test::ItemOf(list, strName));
            dlg.AcceptChecks();
            return wxID_OK;
        });
}

TEST_F(FrameTest, ChosenTypesShowInTheBoxAndAnOlderPickIsWhatIsCounted)
{
    Open();
    CountingSettingsPane& pane = Access().CountingSettings();
    EXPECT_EQ(pane.GetSourceTypeText(), "");

    wxTEST_DIALOG(Access().Choose(Access().SourceTypeEntry()), ChooseTypes({".c", ".h"}));
    EXPECT_EQ(pane.GetSourceTypeText(), ".c;.h;");
    wxTEST_DIALOG(Access().ClickSourceType(), ChooseTypes({".py"}));
    wxTEST_DIALOG(Access().ClickSourceType(),
                  wxExpectModal<SrcTypeSelDlg>([](SrcTypeSelDlg&) { return wxID_CANCEL; }));
    EXPECT_EQ(pane.GetSourceTypeText(), ".py;");
    EXPECT_EQ(pane.GetSourceTypeHistory(), Strings({".py;", ".c;.h;"}));

    // The box shows ".c;.h;" again: that, and not ".py", is what a run counts.
    Access().PickSourceType(1);
    EXPECT_EQ(pane.GetSourceTypeText(), ".c;.h;");
    TempDir dir;
    dir.Write("a.c", "int a;\n");
    dir.Write("b.H", "// b\n");
    dir.Write("c.py", "x = 1\n");
    CountingManager& manager = Access().Manager();
    CountingParam param;
    param.m_arrDirs.Add(wxString::FromUTF8(dir.Path()));
    param.m_arrTypes = SplitSourceTypes(pane.GetSourceTypeText());
    AnalysisParam analysis;
    manager.ClearResults();
    manager.m_nState = CountingManager::STATE_RUNNING;
    manager.SetCountingParam(param, analysis);
    manager.DoCounting();
    wxArrayString arrCounted;
    for (const auto& pFile : manager.m_arrFileResults)
        arrCounted.Add(pFile->m_strFile);
    arrCounted.Sort();
    EXPECT_EQ(arrCounted, Strings({"a.c", "b.H"}));

    // Nothing checked: the box is empty, and an empty choice is no entry.
    wxTEST_DIALOG(Access().ClickSourceType(), ChooseTypes({}));
    EXPECT_EQ(pane.GetSourceTypeText(), "");
    EXPECT_EQ(pane.GetSourceTypeHistory(), Strings({".c;.h;", ".py;"}));
}

TEST_F(FrameTest, SourceTypeHistorySurvivesARestartWithItsFlags)
{
    Open();
    wxArrayString arrExpected;
    for (int i = 0; i < 18; ++i)
        Access().CountingSettings().ShowSourceTypes(wxString::Format(".e%d;", i));
    Access().CountingSettings().ShowSourceTypes(".e3;");
    wxTEST_DIALOG(Access().ClickSourceType(), ChooseTypes({".cpp", ".h"}));

    Reopen();

    // Newest first, each once, sixteen at most.
    wxArrayString arrHistory = Strings({".cpp;.h;", ".e3;"});
    for (int i = 17; arrHistory.size() < 16; --i)
        arrHistory.Add(wxString::Format(".e%d;", i));
    CountingSettingsPane& pane = Access().CountingSettings();
    EXPECT_EQ(pane.GetSourceTypeHistory(), arrHistory);
    EXPECT_EQ(pane.GetSourceTypeText(), ".cpp;.h;");
    // Start could count at once: the flags are those of the box's text.
    wxArrayString arrSelected;
    for (const auto& entry : Access().Manager().m_extensionTable)
    {
        if (entry.second->m_bSelected)
            arrSelected.Add(entry.first);
    }
    arrSelected.Sort();
    EXPECT_EQ(arrSelected, Strings({".cpp", ".h"}));
}
} // namespace
