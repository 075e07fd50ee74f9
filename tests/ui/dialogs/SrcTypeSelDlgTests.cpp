#include "ExpectSourceTypeDialogs.h"
#include "WxPrinters.h"

#include <wx/button.h>
#include <wx/checkbox.h>

using namespace dialog_test;

namespace
{
wxArrayString Strings(std::initializer_list<const char*> items)
{
    wxArrayString arr;
    for (const char* sz : items)
        arr.Add(sz);
    return arr;
}

// The list as a user reads it: sorted, a hyphen in a name and in a
// description, one type already chosen.
class SrcTypeSelDlgTest : public testing::Test
{
protected:
    SrcTypeSelDlgTest()
    {
        m_rules["C"] = std::make_unique<CounterRule>("C", "C family", "//", "/*", "*/");
        m_rules["Shell"] = std::make_unique<CounterRule>("Shell", "Shell family", "#", "", "");
        Add(".h", "C header", "C", false);
        Add(".c", "C source", "C", true);
        Add(".x-y", "X-Y - cross files", "Shell", false);
        m_pDlg = std::make_unique<SrcTypeSelDlg>(nullptr, m_rules, m_types);
    }

    void Add(const char* szName, const char* szDesc, const char* szRule, bool bSelected)
    {
        m_types[szName] = std::make_unique<FileExtension>(szName, szRule, szDesc, bSelected);
    }
    wxCheckListBox& List() { return Find<wxCheckListBox>(*m_pDlg, "ID_CHECKLISTBOX1"); }
    wxButton& Button(const char* szName) { return Find<wxButton>(*m_pDlg, szName); }
    bool Checked(const char* szName) { return List().IsChecked(ItemOf(List(), szName)); }
    void Check(const char* szName, bool bCheck = true)
    {
        List().Check(ItemOf(List(), szName), bCheck);
    }
    bool Selected(const char* szName) { return m_types.at(szName)->m_bSelected; }

    RuleTable m_rules;
    ExtensionTable m_types;
    std::unique_ptr<SrcTypeSelDlg> m_pDlg; // top-level: deleted directly
};

TEST_F(SrcTypeSelDlgTest, OkMakesTheFlagsAndTheTextFollowTheMarks)
{
    EXPECT_EQ(List().GetStrings(),
              Strings({".c - C source ( C style )", ".h - C header ( C style )",
                       ".x-y - X-Y - cross files ( Shell style )"}));
    EXPECT_TRUE(Checked(".c"));
    EXPECT_FALSE(Button("ID_BUTTON2").IsEnabled());
    EXPECT_FALSE(Button("ID_BUTTON3").IsEnabled());

    Check(".c", false);
    Check(".x-y");
    Check(".h");
    m_pDlg->AcceptChecks();
    EXPECT_EQ(m_pDlg->GetSelectedTypes(), ".h;.x-y;");
    EXPECT_FALSE(Selected(".c"));
    EXPECT_TRUE(Selected(".h"));
    EXPECT_TRUE(Selected(".x-y"));

    // "Select all" off, then OK: nothing chosen, nothing counted.
    wxCheckBox& all = Find<wxCheckBox>(*m_pDlg, "ID_CHECKBOX1");
    all.SetValue(false);
    wxCommandEvent event(wxEVT_CHECKBOX, all.GetId());
    event.SetEventObject(&all);
    all.ProcessWindowEvent(event);
    m_pDlg->AcceptChecks();
    EXPECT_EQ(m_pDlg->GetSelectedTypes(), "");
    for (const char* szName : {".c", ".h", ".x-y"})
        EXPECT_FALSE(Selected(szName)) << szName;
}

TEST_F(SrcTypeSelDlgTest, AddKeepsUnconfirmedMarksAndStoresTheNameWithItsDot)
{
    Check(".c", false);
    Check(".h");
    wxTEST_DIALOG(Click(Button("ID_BUTTON1")),
                  wxExpectModal<CounterRuleDlg>(FileTypeEntries{"PY", "Python", "Shell", nullptr}));

    ASSERT_EQ(m_types.count(".py"), 1u);
    EXPECT_EQ(m_types[".py"]->m_strRuleType, "Shell");
    EXPECT_FALSE(Checked(".py"));
    EXPECT_FALSE(Checked(".c"));
    EXPECT_TRUE(Checked(".h"));
    EXPECT_FALSE(Selected(".h")) << "flags change only at OK";
    // The new type is selected, ready to edit.
    EXPECT_EQ(List().GetSelection(), ItemOf(List(), ".py"));
    EXPECT_TRUE(Button("ID_BUTTON2").IsEnabled());

    // A name the list holds already, in any case, is refused and dropped.
    wxTEST_DIALOG(Click(Button("ID_BUTTON1")),
                  wxExpectModal<CounterRuleDlg>(FileTypeEntries{".Py", "Again", "C", nullptr}),
                  ExpectMessage("Extension has existed!"));
    EXPECT_EQ(m_types.size(), 4u);
    EXPECT_EQ(m_types[".py"]->m_strDesc, "Python");

    // Cancelled, nothing is added.
    wxTEST_DIALOG(Click(Button("ID_BUTTON1")),
                  wxExpectModal<CounterRuleDlg>([](CounterRuleDlg&) { return wxID_CANCEL; }));
    EXPECT_EQ(List().GetCount(), 4u);
}

TEST_F(SrcTypeSelDlgTest, HyphenatedTypeIsEditedDeletedAndChosenWhole)
{
    Check(".c", false);
    Pick(List(), ItemOf(List(), ".x-y"));
    ASSERT_TRUE(Button("ID_BUTTON2").IsEnabled());

    wxString strShown;
    wxTEST_DIALOG(Click(Button("ID_BUTTON2")),
                  wxExpectModal<CounterRuleDlg>(
                      [&strShown](CounterRuleDlg& dlg)
                      {
                          strShown = Find<wxTextCtrl>(dlg, "ID_TEXTCTRL1").GetValue();
                          Fill(dlg, {nullptr, "XY files", nullptr, nullptr});
                          return dlg.AcceptEntries() ? wxID_OK : wxID_CANCEL;
                      }));
    EXPECT_EQ(strShown, ".x-y");
    EXPECT_EQ(m_types[".x-y"]->m_strDesc, "XY files");
    EXPECT_NE(ItemOf(List(), ".x-y"), wxNOT_FOUND);
    EXPECT_FALSE(Checked(".c")) << "editing keeps unconfirmed marks";

    Check(".x-y");
    m_pDlg->AcceptChecks();
    EXPECT_EQ(m_pDlg->GetSelectedTypes(), ".x-y;");
    EXPECT_TRUE(Selected(".x-y"));

    Pick(List(), ItemOf(List(), ".x-y"));
    wxTEST_DIALOG(Click(Button("ID_BUTTON3")), ExpectMessage("Do you want to delete it?", wxID_NO));
    EXPECT_EQ(m_types.count(".x-y"), 1u);
    wxTEST_DIALOG(Click(Button("ID_BUTTON3")),
                  ExpectMessage("Do you want to delete it?", wxID_YES));
    EXPECT_EQ(m_types.count(".x-y"), 0u);
    EXPECT_EQ(ItemOf(List(), ".x-y"), wxNOT_FOUND);
    // Nothing is selected any more, so there is nothing to edit or delete.
    EXPECT_FALSE(Button("ID_BUTTON2").IsEnabled());
    EXPECT_FALSE(Button("ID_BUTTON3").IsEnabled());
}
} // namespace
