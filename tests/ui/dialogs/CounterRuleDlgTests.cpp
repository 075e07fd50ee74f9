#include "ExpectSourceTypeDialogs.h"
#include "WxPrinters.h"

#include <wx/app.h>

using namespace dialog_test;

namespace
{
RuleTable TwoRules()
{
    RuleTable rules;
    rules["C"] = std::make_unique<CounterRule>("C", "C family", "//", "/*", "*/");
    rules["Shell"] = std::make_unique<CounterRule>("Shell", "Shell family", "#", "", "");
    return rules;
}

struct RefusedRow
{
    const char* szWhat;
    bool bEdit;
    bool bNoRules;
    const char* szRuleType; // of the record being edited
    FileTypeEntries entries;
    const char* szMessage;
};

const char* const REFUSED_NAME = "An extension is a dot and the characters after it, without a "
                                 "further dot, a slash or a semicolon, like \".py\".";

// Whatever is wrong, the user is told and nothing is stored: a refused OK
// followed by Cancel leaves the type and its style as they were.
TEST(CounterRuleDlgTest, OkIsRefusedWithAReasonAndStoresNothing)
{
    const RefusedRow rows[] = {
        {"no description",
         false,
         false,
         "",
         {".py", "", "Shell", nullptr},
         "Please input file extension description!"},
        {"blank description",
         true,
         false,
         "C",
         {nullptr, " \n ", nullptr, nullptr},
         "Please input file extension description!"},
        {"no extension",
         false,
         false,
         "",
         {"", "Python", "Shell", nullptr},
         "Please input file extension!"},
        {"a dot alone",
         false,
         false,
         "",
         {" . ", "Python", "Shell", nullptr},
         "Please input file extension!"},
        {"sixteen letters and the added dot",
         false,
         false,
         "",
         {"abcdefghijklmnop", "x", nullptr, nullptr},
         "An extension may have at most 16 characters, its dot included."},
        {"a further dot", false, false, "", {".tar.gz", "Tarball", nullptr, nullptr}, REFUSED_NAME},
        {"a slash", false, false, "", {"a/b", "x", nullptr, nullptr}, REFUSED_NAME},
        {"two types in one", false, false, "", {".c;.h", "C", nullptr, nullptr}, REFUSED_NAME},
        {"blank style description",
         true,
         false,
         "C",
         {nullptr, "Changed", "Shell", ""},
         "Please input style description!"},
        {"edited type's style is gone",
         true,
         false,
         "Gone",
         {nullptr, "Changed", nullptr, nullptr},
         "Please choose a source style!"},
        {"no rules at all",
         false,
         true,
         "",
         {".py", "Python", nullptr, "Snakes"},
         "There is no source style to choose: the rules file holds none. A file type cannot be "
         "set up without one."},
    };
    for (const RefusedRow& row : rows)
    {
        SCOPED_TRACE(row.szWhat);
        RuleTable rules = row.bNoRules ? RuleTable() : TwoRules();
        FileExtension record(row.bEdit ? ".cpp" : "", row.szRuleType, "C++ source", false);
        const FileExtension before = record;
        CounterRuleDlg dlg(nullptr, row.bEdit, rules, record);
        Fill(dlg, row.entries);

        bool bAccepted = true;
        wxTEST_DIALOG(bAccepted = dlg.AcceptEntries(), ExpectMessage(row.szMessage));
        EXPECT_FALSE(bAccepted);
        // What was typed stays for correction, however long.
        if (row.entries.szExtension)
        {
            EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL1").GetValue(), row.entries.szExtension);
        }
        EXPECT_EQ(record.m_strName, before.m_strName);
        EXPECT_EQ(record.m_strDesc, before.m_strDesc);
        EXPECT_EQ(record.m_strRuleType, before.m_strRuleType);
        if (!row.bNoRules)
        {
            EXPECT_EQ(rules["C"]->m_strDesc, "C family");
            EXPECT_EQ(rules["Shell"]->m_strDesc, "Shell family");
        }
    }
}

TEST(CounterRuleDlgTest, AddStoresTheExtensionWithItsDot)
{
    const std::pair<const char*, const char*> rows[] = {
        {"py", ".py"},
        {" .PyW ", ".PyW"}, // the list lower-cases it
        {"abcdefghijklmno", ".abcdefghijklmno"},
        {".component", ".component"}, // the field cuts nothing of what is typed
        {".c++", ".c++"},
    };
    for (const auto& [szTyped, szStored] : rows)
    {
        RuleTable rules = TwoRules();
        FileExtension record;
        CounterRuleDlg dlg(nullptr, false, rules, record);
        // A new type starts at the first style, its markers shown.
        EXPECT_EQ(Find<wxComboBox>(dlg, "ID_COMBOBOX1").GetValue(), "C");
        EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL5").GetValue(), "*/");
        Fill(dlg, {szTyped, "Python", "Shell", nullptr});
        EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL3").GetValue(), "#");
        EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL4").GetValue(), "");
        ASSERT_TRUE(dlg.AcceptEntries()) << szTyped;
        EXPECT_EQ(record.m_strName, szStored);
        EXPECT_EQ(record.m_strDesc, "Python");
        EXPECT_EQ(record.m_strRuleType, "Shell");
    }
}

TEST(CounterRuleDlgTest, EditKeepsTheNameAndRewordsTheStyleForEveryType)
{
    RuleTable rules = TwoRules();
    FileExtension record(".cpp", "C", "C++ source", true);
    CounterRuleDlg dlg(nullptr, true, rules, record);
    wxTextCtrl& extension = Find<wxTextCtrl>(dlg, "ID_TEXTCTRL1");
    EXPECT_EQ(extension.GetValue(), ".cpp");
    EXPECT_FALSE(extension.IsEnabled());
    EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL6").GetValue(), "C family");
    EXPECT_FALSE(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL3").IsEnabled());

    // A paste beyond the limit keeps only what fits.
    wxTextCtrl& description = Find<wxTextCtrl>(dlg, "ID_TEXTCTRL2");
    description.SetInsertionPointEnd();
    description.WriteText(wxString('x', 200));
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(description.GetValue().length(), 128u);

    Fill(dlg, {nullptr, "C++ implementation", nullptr, "C, C++ and friends"});
    ASSERT_TRUE(dlg.AcceptEntries());
    EXPECT_EQ(record.m_strName, ".cpp");
    EXPECT_EQ(record.m_strDesc, "C++ implementation");
    EXPECT_TRUE(record.m_bSelected);
    EXPECT_EQ(rules["C"]->m_strDesc, "C, C++ and friends");
    EXPECT_EQ(rules["C"]->m_strSingleLineComment, "//");
}

// A style is whatever rule the table holds, not only the ten with counters of
// their own, and a shipped extension may be longer than a typed one.
TEST(CounterRuleDlgTest, EditOffersEveryStyleOfTheTableWhateverItsName)
{
    RuleTable rules = TwoRules();
    rules["AppleScript"] =
        std::make_unique<CounterRule>("AppleScript", "AppleScript", "--", "(*", "*)");
    FileExtension record(".applescript", "AppleScript", "AppleScript source", false);
    CounterRuleDlg dlg(nullptr, true, rules, record);
    EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL1").GetValue(), ".applescript");
    EXPECT_EQ(Find<wxComboBox>(dlg, "ID_COMBOBOX1").GetValue(), "AppleScript");
    EXPECT_EQ(Find<wxTextCtrl>(dlg, "ID_TEXTCTRL4").GetValue(), "(*");

    Fill(dlg, {nullptr, "AppleScript text", "Shell", nullptr});
    Fill(dlg, {nullptr, nullptr, "AppleScript", nullptr});
    ASSERT_TRUE(dlg.AcceptEntries());
    EXPECT_EQ(record.m_strName, ".applescript");
    EXPECT_EQ(record.m_strRuleType, "AppleScript");
}
} // namespace
