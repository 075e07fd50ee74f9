#include "TempDir.h"

#include "config/UserRules.h"
#include "engine/CountingManager.h"
#include "report/MessagePath.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>
#include <wx/log.h>

namespace fs = std::filesystem;

namespace
{

// The tables as one sorted text: "rule C|desc|//|/*|*/" and
// "ext .c|C|desc" lines.
std::string Dump(const CountingManager& manager)
{
    std::vector<std::string> arrLines;
    for (const auto& [strKey, pRule] : manager.m_ruleTable)
    {
        EXPECT_EQ(strKey, pRule->m_strType);
        arrLines.push_back(("rule " + pRule->m_strType + "|" + pRule->m_strDesc + "|" +
                            pRule->m_strSingleLineComment + "|" +
                            pRule->m_strMultiLineCommentBegin + "|" +
                            pRule->m_strMultiLineCommentEnd)
                               .utf8_string());
    }
    for (const auto& [strKey, pExt] : manager.m_extensionTable)
    {
        EXPECT_EQ(strKey, pExt->m_strName);
        EXPECT_FALSE(pExt->m_bSelected);
        arrLines.push_back(
            ("ext " + pExt->m_strName + "|" + pExt->m_strRuleType + "|" + pExt->m_strDesc)
                .utf8_string());
    }
    std::sort(arrLines.begin(), arrLines.end());
    std::string strOut;
    for (const std::string& strLine : arrLines)
        strOut += strLine + "\n";
    return strOut;
}

// Counts wx log messages that reach the active target while it lives.
class CountingLog : public wxLog
{
public:
    CountingLog() : m_pPrevious(wxLog::SetActiveTarget(this)) {}
    ~CountingLog() override { wxLog::SetActiveTarget(m_pPrevious); }
    int m_nMessages = 0;

protected:
    void DoLogRecord(wxLogLevel, const wxString&, const wxLogRecordInfo&) override
    {
        ++m_nMessages;
    }

private:
    wxLog* m_pPrevious;
};

const char* const kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string RuleText(const std::string& strType, const std::string& strDesc,
                     const std::string& strSingle, const std::string& strBegin,
                     const std::string& strEnd, const std::string& strExtensions = "")
{
    return "  <rule>\n    <type>" + strType + "</type>\n    <desc>" + strDesc +
           "</desc>\n    <single-line-comment>" + strSingle +
           "</single-line-comment>\n    <multi-line-comment-begin>" + strBegin +
           "</multi-line-comment-begin>\n    <multi-line-comment-end>" + strEnd +
           "</multi-line-comment-end>\n" + strExtensions + "  </rule>\n";
}

std::string ExtText(const std::string& strName, const std::string& strDesc,
                    const std::string& strRuleType)
{
    return "    <extension>\n      <name>" + strName + "</name>\n      <desc>" + strDesc +
           "</desc>\n      <ruletype>" + strRuleType + "</ruletype>\n    </extension>\n";
}

} // namespace

struct LoadRow
{
    const char* pszName;
    std::string strFile;
    std::string strTables; // Dump() after the load
    std::string strSaved;  // the file after SaveRules
};

void PrintTo(const LoadRow& row, std::ostream* pOut)
{
    *pOut << row.pszName;
}

class RulesFileLoadAndSave : public testing::TestWithParam<LoadRow>
{
};

TEST_P(RulesFileLoadAndSave, ReadsTablesAndWritesThemBack)
{
    const LoadRow& row = GetParam();
    TempDir dir;
    const std::string strPath = dir.Write("conf/conf.xml", row.strFile);
    CountingManager manager;
    manager.SetRulesPath(strPath);
    manager.LoadRules();
    ASSERT_TRUE(manager.RulesLoaded());
    EXPECT_EQ(Dump(manager), row.strTables);

    manager.SaveRules();
    EXPECT_EQ(ReadFileBytes(strPath), row.strSaved);
    // Saving again gives the same bytes and leaves nothing else beside the file.
    manager.SaveRules();
    EXPECT_EQ(ReadFileBytes(strPath), row.strSaved);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "conf"), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RulesFileLoadAndSave,
    testing::Values(
        LoadRow{"OneRuleWithExtensionsRoundTrips",
                std::string(kDecl) + "<rules>\n" +
                    RuleText("C", "C family", "//", "/*", "*/",
                             ExtText(".c", "C source", "C") + ExtText(".h", "Header", "C")) +
                    "</rules>\n",
                "ext .c|C|C source\next .h|C|Header\nrule C|C family|//|/*|*/\n",
                std::string(kDecl) + "<rules>\n" +
                    RuleText("C", "C family", "//", "/*", "*/",
                             ExtText(".c", "C source", "C") + ExtText(".h", "Header", "C")) +
                    "</rules>\n"},
        LoadRow{"EmptyAndMissingMarkersReadAsEmptyAndAreWrittenAsEmptyElements",
                "<rules><rule><type>Xml</type><single-line-comment></single-line-comment>"
                "<multi-line-comment-begin>&lt;!--</multi-line-comment-begin>"
                "<multi-line-comment-end>--&gt;</multi-line-comment-end></rule></rules>",
                "rule Xml|||<!--|-->\n",
                std::string(kDecl) + "<rules>\n" + RuleText("Xml", "", "", "&lt;!--", "--&gt;") +
                    "</rules>\n"},
        LoadRow{"SecondRuleOfOneTypeReplacesTheFirst",
                "<rules><rule><type>C</type><desc>first</desc></rule>"
                "<rule><type>C</type><desc>second</desc></rule></rules>",
                "rule C|second|||\n",
                std::string(kDecl) + "<rules>\n" + RuleText("C", "second", "", "", "") +
                    "</rules>\n"},
        LoadRow{"ExtensionsDifferingInCaseBecomeOneLowerCaseEntryTheLaterOne",
                "<rules><rule><type>C</type>"
                "<extension><name>.CPP</name><desc>upper</desc><ruletype>C</ruletype></extension>"
                "<extension><name>.Cpp</name><desc>mixed</desc><ruletype>C</ruletype></extension>"
                "</rule></rules>",
                "ext .cpp|C|mixed\nrule C||||\n",
                std::string(kDecl) + "<rules>\n" +
                    RuleText("C", "", "", "", "", ExtText(".cpp", "mixed", "C")) + "</rules>\n"},
        LoadRow{"ExtensionBelongsToTheRuleItNamesNotTheOneAroundIt",
                "<rules><rule><type>C</type>"
                "<extension><name>.sql</name><desc>SQL</desc><ruletype>Sql</ruletype></extension>"
                "</rule><rule><type>Sql</type></rule></rules>",
                "ext .sql|Sql|SQL\nrule C||||\nrule Sql||||\n",
                std::string(kDecl) + "<rules>\n" + RuleText("C", "", "", "", "") +
                    RuleText("Sql", "", "", "", "", ExtText(".sql", "SQL", "Sql")) + "</rules>\n"},
        LoadRow{"ExtensionNamingNoRuleIsLoadedButNotWritten",
                "<rules><rule><type>C</type>"
                "<extension><name>.x</name><desc>orphan</desc><ruletype>Nope</ruletype></extension>"
                "</rule></rules>",
                "ext .x|Nope|orphan\nrule C||||\n",
                std::string(kDecl) + "<rules>\n" + RuleText("C", "", "", "", "") + "</rules>\n"},
        LoadRow{"ExtensionRuleTypeMatchesTheRuleIgnoringCase",
                "<rules><rule><type>Shell</type>"
                "<extension><name>.sh</name><desc>sh</desc><ruletype>shell</ruletype></extension>"
                "</rule></rules>",
                "ext .sh|shell|sh\nrule Shell||||\n",
                std::string(kDecl) + "<rules>\n" +
                    RuleText("Shell", "", "", "", "", ExtText(".sh", "sh", "shell")) +
                    "</rules>\n"},
        LoadRow{"MissingExtensionValuesAreTakenFromThePreviousExtensionOfTheRule",
                "<rules>"
                "<rule><type>A</type>"
                "<extension><name>.a1</name><ruletype>A</ruletype></extension>"
                "<extension><name>.a2</name><desc>shared</desc><ruletype>A</ruletype></extension>"
                "<extension><name>.a3</name></extension></rule>"
                "<rule><type>B</type><extension><name>.b1</name><ruletype>B</ruletype></extension>"
                "</rule></rules>",
                "ext .a1|A|\next .a2|A|shared\next .a3|A|shared\next .b1|B|\n"
                "rule A||||\nrule B||||\n",
                std::string(kDecl) + "<rules>\n" +
                    RuleText("A", "", "", "", "",
                             ExtText(".a1", "", "A") + ExtText(".a2", "shared", "A") +
                                 ExtText(".a3", "shared", "A")) +
                    RuleText("B", "", "", "", "", ExtText(".b1", "", "B")) + "</rules>\n"},
        LoadRow{"OtherChildrenOfTheRootStayInPlaceAndRulesAreReplaced",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rules>\n"
                "  <!-- hand-written note -->\n"
                "  <rule><type>Basic</type><single-line-comment>'</single-line-comment></rule>\n"
                "  <settings><colour>blue</colour></settings>\n"
                "</rules>\n",
                "rule Basic||'||\n",
                std::string(kDecl) +
                    "<rules>\n  <!-- hand-written note -->\n"
                    "  <settings>\n    <colour>blue</colour>\n  </settings>\n" +
                    RuleText("Basic", "", "'", "", "") + "</rules>\n"},
        LoadRow{"EscapedTextSurvivesAndEveryAmpersandIsEscaped",
                "<rules><rule><type>T</type><desc>R&amp;D &lt;b&gt; \"q\" &amp;amp;</desc>"
                "</rule></rules>",
                "rule T|R&D <b> \"q\" &amp;|||\n",
                std::string(kDecl) + "<rules>\n" +
                    RuleText("T", "R&amp;D &lt;b&gt; \"q\" &amp;amp;", "", "", "") + "</rules>\n"},
        LoadRow{"RulesAreWrittenInNameOrderWhateverTheTableOrder",
                "<rules><rule><type>Xml</type></rule><rule><type>sql</type></rule>"
                "<rule><type>C</type></rule><rule><type>Basic</type></rule></rules>",
                "rule Basic||||\nrule C||||\nrule Xml||||\nrule sql||||\n",
                std::string(kDecl) + "<rules>\n" + RuleText("Basic", "", "", "", "") +
                    RuleText("C", "", "", "", "") + RuleText("sql", "", "", "", "") +
                    RuleText("Xml", "", "", "", "") + "</rules>\n"}),
    [](const testing::TestParamInfo<LoadRow>& info) { return info.param.pszName; });

struct UnusableRow
{
    const char* pszName;
    std::string strFile;   // empty: no file at all
    const char* pszReason; // part of GetRulesError(), which the command line prints
};

void PrintTo(const UnusableRow& row, std::ostream* pOut)
{
    *pOut << row.pszName;
}

class RulesFileUnusable : public testing::TestWithParam<UnusableRow>
{
};

// A file that cannot serve as the rules gives no rules, no message, and is
// never overwritten: one typo must not cost the user the whole file.
TEST_P(RulesFileUnusable, LoadsNothingSaysNothingAndIsNotWrittenAtExit)
{
    const UnusableRow& row = GetParam();
    TempDir dir;
    const std::string strPath = dir / "conf.xml";
    if (!row.strFile.empty())
        dir.Write("conf.xml", row.strFile);
    {
        CountingLog log;
        CountingManager manager;
        manager.SetRulesPath(strPath);
        const auto start = std::chrono::steady_clock::now();
        manager.LoadRules();
        // A guard against loads that never end (entity bombs, quadratic
        // growth), not a speed target: generous enough for a loaded machine.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        EXPECT_FALSE(manager.RulesLoaded());
        EXPECT_TRUE(manager.m_ruleTable.empty());
        EXPECT_TRUE(manager.m_extensionTable.empty());
        EXPECT_EQ(log.m_nMessages, 0);
        EXPECT_TRUE(manager.GetRulesError().Contains(row.pszReason)) << manager.GetRulesError();
        // What the window says once it is shown: nothing about a missing
        // file (a fresh copy is made), else the file, the reason and that
        // the file is kept.
        const wxString strMessage = RefusedRulesMessage(manager);
        if (row.strFile.empty())
        {
            EXPECT_EQ(strMessage, "");
        }
        else
        {
            EXPECT_TRUE(strMessage.Contains("\"" + wxString::FromUTF8(strPath) + "\""));
            EXPECT_TRUE(strMessage.Contains(manager.GetRulesError() + "."));
            EXPECT_TRUE(strMessage.Contains("left untouched")) << strMessage;
        }
    } // the manager saves on destruction
    if (row.strFile.empty())
        EXPECT_TRUE(fs::is_empty(dir.Path()));
    else
        EXPECT_EQ(ReadFileBytes(strPath), row.strFile);
}

namespace
{
std::string LaughsBomb(const std::string& strUse)
{
    std::string strDoc = "<?xml version=\"1.0\"?>\n<!DOCTYPE rules [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 12; ++i)
    {
        strDoc += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            strDoc += "&l" + std::to_string(i - 1) + ";";
        strDoc += "\">\n";
    }
    return strDoc + "]>\n" + strUse + "\n";
}

std::string DeepNesting(int nDepth)
{
    std::string strDoc = "<rules>";
    for (int i = 0; i < nDepth; ++i)
        strDoc += "<a>";
    for (int i = 0; i < nDepth; ++i)
        strDoc += "</a>";
    return strDoc + "</rules>";
}
} // namespace

std::string WithDesc(const std::string& strDesc)
{
    return "<rules><rule><type>C</type><desc>" + strDesc + "</desc></rule></rules>";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RulesFileUnusable,
    testing::Values(
        UnusableRow{"MissingFile", "", "No such file"},
        UnusableRow{"NotWellFormed",
                    "<rules><rule><type>C</type></rul></rules>\n<!-- a hand edit gone wrong -->",
                    "not well-formed XML (line 1: mismatched tag)"},
        UnusableRow{"TruncatedFile", "<?xml version=\"1.0\"?>\n<rules><rule><type>C</ty",
                    "not well-formed"},
        UnusableRow{"NotXmlAtAll", "just some text\n", "not well-formed"},
        UnusableRow{"RootNotNamedRules",
                    "<rulez><rule><type>C</type><extension><name>.c</name>"
                    "<ruletype>C</ruletype></extension></rule></rulez>\n",
                    "root element is not <rules>"},
        UnusableRow{"EntityBombInText",
                    LaughsBomb("<rules><rule><type>&l12;</type></rule></rules>"),
                    "declares entities"},
        UnusableRow{"EntityBombInAttribute", LaughsBomb("<rules a=\"&l12;\"/>"),
                    "declares entities"},
        UnusableRow{"AnyEntityDeclaration",
                    "<!DOCTYPE rules [<!ENTITY c \"C\">]><rules><rule><type>&c;</type></rule>"
                    "</rules>",
                    "declares entities"},
        UnusableRow{"AbsurdNesting", DeepNesting(100000), "nests elements more than 256 deep"},
        // Loading one long value used to take time growing with its square.
        UnusableRow{"FileOver16MiB", WithDesc("x") + "<!--" + std::string(16 << 20, ' ') + "-->",
                    "larger than 16 MiB"},
        UnusableRow{"ValueOver64KiB", WithDesc(std::string(64 << 10, 'x') + "&#13;"),
                    "text longer than 64 KiB"},
        UnusableRow{"AttributeOver64KiB", "<rules a=\"" + std::string((64 << 10) + 1, 'x') + "\"/>",
                    "text longer than 64 KiB"},
        UnusableRow{"MoreNodesThanTheLimit",
                    []
                    {
                        std::string strDoc = "<rules>";
                        for (int i = 0; i < 200001; ++i)
                            strDoc += "<a/>";
                        return strDoc + "</rules>";
                    }(),
                    "more than 200000 elements"}),
    [](const testing::TestParamInfo<UnusableRow>& info) { return info.param.pszName; });

// Whatever the loader accepts comes back from a save as the same tables, and
// a second save writes the same bytes as the first.
struct RoundTripRow
{
    const char* pszName;
    std::string strFile;
    std::string strTables; // Dump() after the first load
};

void PrintTo(const RoundTripRow& row, std::ostream* pOut)
{
    *pOut << row.pszName;
}

class RulesFileRoundTrip : public testing::TestWithParam<RoundTripRow>
{
};

TEST_P(RulesFileRoundTrip, SaveAndLoadAgainKeepTablesAndBytes)
{
    const RoundTripRow& row = GetParam();
    TempDir dir;
    const std::string strPath = dir.Write("conf.xml", row.strFile);
    auto load = [&strPath]
    {
        auto pManager = std::make_unique<CountingManager>();
        pManager->SetSaveRulesOnDestroy(false);
        pManager->SetRulesPath(strPath);
        pManager->LoadRules();
        EXPECT_TRUE(pManager->RulesLoaded()) << pManager->GetRulesError();
        return pManager;
    };

    auto pFirst = load();
    EXPECT_EQ(Dump(*pFirst), row.strTables);
    pFirst->SaveRules();
    const std::string strSaved = ReadFileBytes(strPath);
    EXPECT_EQ(strSaved.rfind("<?xml version=\"1.", 0), 0u) << strSaved;

    auto pSecond = load();
    EXPECT_EQ(Dump(*pSecond), row.strTables);
    pSecond->SaveRules();
    EXPECT_EQ(ReadFileBytes(strPath), strSaved);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RulesFileRoundTrip,
    testing::Values(
        RoundTripRow{"DeclarationWithBlanksAroundTheEqualsSigns",
                     "<?xml version= \"1.0\" encoding =\"UTF-8\" ?>\n"
                     "<rules><rule><type>C</type></rule></rules>",
                     "rule C||||\n"},
        RoundTripRow{"DeclarationWithCarriageReturnsInLatin1",
                     "<?xml\rversion=\r'1.0'\r\nencoding=\r\n'ISO-8859-1'?>\r\n"
                     "<rules><rule><type>caf\xE9</type></rule></rules>",
                     "rule caf\xC3\xA9||||\n"},
        RoundTripRow{"TextDirectlyInsideTheRoot",
                     "<rules>stray <rule><type>C</type></rule> text\n</rules>", "rule C||||\n"},
        RoundTripRow{"EntityTextInAValueStaysText",
                     "<rules><rule><type>T</type><desc>AT&amp;amp;T &amp;lt;</desc></rule></rules>",
                     "rule T|AT&amp;T &lt;|||\n"},
        RoundTripRow{"CarriageReturnsInAValue",
                     "<rules><rule><type>T</type><desc>a&#13;b&#13;&#10;c\r\nd</desc></rule>"
                     "</rules>",
                     "rule T|a\rb\r\nc\nd|||\n"},
        RoundTripRow{"BlanksBeforeAnEscapedCharacter",
                     "<rules><rule><type>T</type><desc>  &lt;x&gt;  </desc>"
                     "<single-line-comment> &amp;</single-line-comment></rule></rules>",
                     "rule T|  <x>  | &||\n"},
        RoundTripRow{"ValueInCdataAndBetweenComments",
                     "<rules><rule><type>T</type><desc><![CDATA[ a < b ]]></desc>"
                     "<single-line-comment><!--c-->#<!--d--></single-line-comment></rule></rules>",
                     "rule T| a < b |#||\n"},
        RoundTripRow{"ForeignChildrenOfEveryKindBesideTheRules",
                     "<!--top--><rules><!--a--><x k=\"1&#9;2&#10;3&#13;\">one<y/>two<![CDATA[ ]]>"
                     "</x><rule><type>C</type></rule><z>  </z></rules><!--end-->",
                     "rule C||||\n"},
        RoundTripRow{"LongestValueAccepted", WithDesc(std::string(64 << 10, 'x')),
                     "rule C|" + std::string(64 << 10, 'x') + "|||\n"}),
    [](const testing::TestParamInfo<RoundTripRow>& info) { return info.param.pszName; });

// Extensions take a missing description from the one before them, and the
// save writes it out for each: a file can load and yet save into one too
// large to load. Such a save is not written, so the next start still loads,
// and the reason is told.
TEST(RulesFile, SaveTheNextStartWouldRefuseIsNotWritten)
{
    std::string strFile = "<rules><rule><type>T</type><extension><name>.e</name><desc>" +
                          std::string(64 << 10, 'd') + "</desc><ruletype>T</ruletype></extension>";
    for (int i = 0; i < 300; ++i)
        strFile += "<extension><name>.e" + std::to_string(i) + "</name></extension>";
    strFile += "</rule></rules>";
    TempDir dir;
    const std::string strPath = dir.Write("conf.xml", strFile);
    {
        CountingManager manager;
        manager.SetRulesPath(strPath);
        manager.LoadRules();
        ASSERT_TRUE(manager.RulesLoaded()) << manager.GetRulesError();
        EXPECT_EQ(manager.m_extensionTable.at(".e299")->m_strDesc.length(), 64u << 10);
        const RulesSaveOutcome outcome = manager.SaveRules();
        EXPECT_EQ(outcome.m_kind, RulesSaveOutcome::FAILED);
        EXPECT_TRUE(outcome.m_strError.Contains("larger")) << outcome.m_strError;
    }
    EXPECT_EQ(ReadFileBytes(strPath), strFile);
}

// Windows on one rules file. One that changed nothing writes nothing; one
// whose file another saved meanwhile keeps that file and writes its tables
// beside it, under a name of its own. A failed save says where and why.
TEST(RulesFile, AWindowNeverWritesOverTheRulesAnotherSaved)
{
    TempDir dir;
    const std::string strFile = "<rules><rule><type>C</type></rule></rules>";
    const std::string strPath = dir.Write("home/conf.xml", strFile);
    std::unique_ptr<CountingManager> windows[4];
    for (auto& pWindow : windows)
    {
        pWindow = std::make_unique<CountingManager>();
        pWindow->SetRulesPath(strPath);
        pWindow->LoadRules();
    }
    EXPECT_EQ(windows[0]->SaveRulesAtEnd().m_kind, RulesSaveOutcome::NOT_WRITTEN);
    EXPECT_EQ(ReadFileBytes(strPath), strFile) << "not even rewritten in the program's layout";
    windows[1]->m_extensionTable[".b"] = std::make_unique<FileExtension>(".b", "C", "B", true);
    EXPECT_EQ(windows[1]->SaveRulesAtEnd().m_kind, RulesSaveOutcome::SAVED);
    const std::string strSavedByB = ReadFileBytes(strPath);
    EXPECT_NE(strSavedByB.find("<name>.b</name>"), std::string::npos);

    for (int i : {2, 3})
    {
        windows[i]->m_ruleTable.at("C")->m_strDesc = "changed";
        const RulesSaveOutcome outcome = windows[i]->SaveRulesAtEnd();
        EXPECT_EQ(outcome.m_kind, RulesSaveOutcome::SAVED_BESIDE);
        EXPECT_TRUE(std::regex_match(outcome.m_strPath.utf8_string(),
                                     std::regex(strPath + R"(\.\d{4}-\d\d-\d\d-\d{6}(-2)?\.xml)")))
            << outcome.m_strPath;
        EXPECT_NE(ReadFileBytes(outcome.m_strPath.utf8_string()).find("<desc>changed</desc>"),
                  std::string::npos);
        EXPECT_TRUE(RulesSaveMessage(outcome).Contains(PathForMessage(outcome.m_strPath)));
    }
    for (auto& pWindow : windows)
        pWindow.reset(); // saves nothing more
    EXPECT_EQ(ReadFileBytes(strPath), strSavedByB);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "home"), fs::directory_iterator()), 3)
        << "two names of their own beside the file";

    CountingManager last;
    last.SetRulesPath(strPath);
    last.LoadRules();
    last.m_ruleTable.at("C")->m_strDesc = "lost";
    fs::remove_all(dir / "home");
    const RulesSaveOutcome failed = last.SaveRulesAtEnd();
    EXPECT_EQ(failed.m_kind, RulesSaveOutcome::FAILED);
    EXPECT_TRUE(RulesSaveMessage(failed).Contains(PathForMessage(strPath) +
                                                  "\n\nNo such file or directory."))
        << RulesSaveMessage(failed);
    EXPECT_EQ(last.SaveRulesAtEnd().m_kind, RulesSaveOutcome::NOT_WRITTEN) << "told once";
}

TEST(RulesFile, DocumentTypeWithoutEntitiesIsLoaded)
{
    TempDir dir;
    const std::string strPath =
        dir.Write("conf.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE rules>\n"
                              "<rules><rule><type>C</type></rule></rules>\n");
    CountingManager manager;
    manager.SetSaveRulesOnDestroy(false);
    manager.SetRulesPath(strPath);
    manager.LoadRules();
    EXPECT_TRUE(manager.RulesLoaded());
    EXPECT_EQ(manager.m_ruleTable.count("C"), 1u);
}

TEST(RulesFile, DirectoryAtThePathIsNoRulesFile)
{
    TempDir dir;
    const std::string strPath = dir.MakeDir("conf.xml");
    CountingManager manager;
    manager.SetRulesPath(strPath);
    manager.LoadRules();
    EXPECT_FALSE(manager.RulesLoaded());
}

TEST(RulesFile, EditsInTheTablesAreWrittenOnceTheManagerIsDestroyed)
{
    TempDir dir;
    const std::string strPath =
        dir.Write("conf.xml", "<rules><rule><type>C</type><extension><name>.c</name><desc>C</desc>"
                              "<ruletype>C</ruletype></extension></rule></rules>");
    {
        CountingManager manager;
        manager.SetRulesPath(strPath);
        manager.LoadRules();
        manager.m_ruleTable["C"]->m_strDesc = "edited";
        manager.m_extensionTable.erase(".c");
        manager.m_extensionTable[".cc"] = std::make_unique<FileExtension>(".cc", "C", "new", true);
    }
    EXPECT_EQ(ReadFileBytes(strPath),
              std::string(kDecl) + "<rules>\n" +
                  RuleText("C", "edited", "", "", "", ExtText(".cc", "new", "C")) + "</rules>\n");
}
