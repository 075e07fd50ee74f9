#include "TempDir.h"

#include "config/XmlDocumentEx.h"
#include "config/XmlReader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <wx/mstream.h>
#include <wx/utils.h>

namespace fs = std::filesystem;

namespace
{

std::string SaveToString(const wxXmlDocument& doc, int nStep)
{
    wxMemoryOutputStream stream;
    EXPECT_TRUE(doc.Save(stream, nStep));
    std::string strOut(stream.GetLength(), '\0');
    stream.CopyTo(strOut.data(), strOut.size());
    return strOut;
}

void LoadFromString(wxXmlDocument& doc, const std::string& strText)
{
    wxString strError;
    ASSERT_TRUE(XmlReader::Read(strText, doc, strError)) << strError;
}

// <rules><v>value</v></rules>, built in memory as the rules loader leaves it.
std::unique_ptr<wxXmlDocumentEx> DocWithValue(const wxString& strValue)
{
    auto pDoc = std::make_unique<wxXmlDocumentEx>();
    auto* pRoot = new wxXmlNode(wxXML_ELEMENT_NODE, "rules");
    auto* pValue = new wxXmlNode(wxXML_ELEMENT_NODE, "v");
    pValue->AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxEmptyString, strValue));
    pRoot->AddChild(pValue);
    pDoc->SetRoot(pRoot);
    return pDoc;
}

// Fails every write after the first nLimit bytes, like a disk that fills up.
class FullStream : public wxOutputStream
{
public:
    explicit FullStream(size_t nLimit) : m_nLeft(nLimit) {}

protected:
    size_t OnSysWrite(const void*, size_t nSize) override
    {
        if (nSize > m_nLeft)
        {
            m_lasterror = wxSTREAM_WRITE_ERROR;
            m_nLeft = 0;
            return 0;
        }
        m_nLeft -= nSize;
        return nSize;
    }

private:
    size_t m_nLeft;
};

const char* const kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

} // namespace

struct EscapeRow
{
    const char* pszName;
    const char* pszValue; // UTF-8, as held in memory
    const char* pszWritten;
};

void PrintTo(const EscapeRow& row, std::ostream* pOut)
{
    *pOut << row.pszName;
}

class XmlDocumentExEscaping : public testing::TestWithParam<EscapeRow>
{
};

TEST_P(XmlDocumentExEscaping, WritesValueInline)
{
    const EscapeRow& row = GetParam();
    const auto pDoc = DocWithValue(wxString::FromUTF8(row.pszValue));
    EXPECT_EQ(SaveToString(*pDoc, 1),
              std::string(kDecl) + "<rules>\n  <v>" + row.pszWritten + "</v>\n</rules>\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XmlDocumentExEscaping,
    testing::Values(EscapeRow{"PlainTextUnchanged", "C family", "C family"},
                    // Text that looks like an entity is text: escaped like any other.
                    EscapeRow{"EveryAmpersandEscaped", "R&amp;D", "R&amp;amp;D"},
                    EscapeRow{"LoneAmpersandEscaped", "Tom & Jerry", "Tom &amp; Jerry"},
                    EscapeRow{"AmpersandAtEndEscaped", "a&", "a&amp;"},
                    EscapeRow{"OtherEntityTextEscaped", "&lt;", "&amp;lt;"},
                    EscapeRow{"AngleBracketsEscaped", "<!-- -->", "&lt;!-- --&gt;"},
                    EscapeRow{"QuotesAndApostrophesKeptInText", "say \"it's\"", "say \"it's\""},
                    EscapeRow{"EmptyValueIsStartAndEndTag", "", ""},
                    // A parser would read a literal CR as a line feed.
                    EscapeRow{"CarriageReturnAsReference", "a\r\nb\rc", "a&#13;\nb&#13;c"},
                    EscapeRow{"CharacterXmlCannotHoldBecomesReplacement", "a\x01\x1F b\tc",
                              "a\xEF\xBF\xBD\xEF\xBF\xBD b\tc"},
                    EscapeRow{"NonAsciiWrittenAsUtf8", "caf\xC3\xA9 \xE2\x82\xAC",
                              "caf\xC3\xA9 \xE2\x82\xAC"}),
    [](const testing::TestParamInfo<EscapeRow>& info) { return info.param.pszName; });

TEST(XmlDocumentEx, KeepsTheShapeOfEveryNodeKind)
{
    wxXmlDocumentEx doc;
    LoadFromString(doc, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<!-- before --><rules>"
                        "<!-- note --><keep a=\"x&quot;y\" b=\"1 &lt; 2\" c=\"&#9;&#10;&#13;\">"
                        "<empty/></keep>"
                        "<rule><type>C</type><extension><name>.c</name></extension></rule>"
                        "<mixed>one<b>two</b>three</mixed>"
                        "<raw><![CDATA[a < b & c]]></raw>"
                        "</rules>");
    EXPECT_EQ(SaveToString(doc, 1), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<!-- before -->\n"
                                    "<rules>\n"
                                    "  <!-- note -->\n"
                                    "  <keep a=\"x&quot;y\" b=\"1 &lt; 2\" c=\"&#9;&#10;&#13;\">\n"
                                    "    <empty/>\n"
                                    "  </keep>\n"
                                    "  <rule>\n"
                                    "    <type>C</type>\n"
                                    "    <extension>\n"
                                    "      <name>.c</name>\n"
                                    "    </extension>\n"
                                    "  </rule>\n"
                                    "  <mixed>\n"
                                    "    one\n"
                                    "    <b>two</b>\n"
                                    "    three\n"
                                    "  </mixed>\n"
                                    "  <raw><![CDATA[a < b & c]]></raw>\n"
                                    "</rules>\n");
}

TEST(XmlDocumentEx, IndentStepScalesAndNegativeStepWritesNoBreaks)
{
    wxXmlDocumentEx doc;
    LoadFromString(doc, "<rules><rule><type>C</type></rule></rules>");
    EXPECT_EQ(SaveToString(doc, 2), std::string(kDecl) +
                                        "<rules>\n    <rule>\n        <type>C</type>\n    </rule>\n"
                                        "</rules>\n");
    EXPECT_EQ(SaveToString(doc, -1),
              std::string(kDecl) + "<rules><rule><type>C</type></rule></rules>\n");
}

TEST(XmlDocumentEx, DeclarationKeepsVersionAndEncodingOfTheLoadedFile)
{
    wxXmlDocumentEx doc;
    LoadFromString(doc,
                   "<?xml version=\"1.1\" encoding=\"ISO-8859-1\"?><rules><v>caf\xE9</v></rules>");
    EXPECT_EQ(
        SaveToString(doc, 1),
        "<?xml version=\"1.1\" encoding=\"ISO-8859-1\"?>\n<rules>\n  <v>caf\xE9</v>\n</rules>\n");
}

TEST(XmlDocumentEx, TextTheDeclaredEncodingCannotHoldIsWrittenAsUtf8)
{
    wxXmlDocumentEx doc;
    LoadFromString(doc, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rules><v>x</v></rules>");
    doc.GetRoot()->GetChildren()->GetChildren()->SetContent(wxString::FromUTF8("\xE2\x82\xAC 5"));
    const std::string strSaved = SaveToString(doc, 1);
    EXPECT_EQ(strSaved, std::string(kDecl) + "<rules>\n  <v>\xE2\x82\xAC 5</v>\n</rules>\n");

    wxXmlDocumentEx reread;
    LoadFromString(reread, strSaved);
    EXPECT_EQ(reread.GetRoot()->GetChildren()->GetNodeContent(),
              wxString::FromUTF8("\xE2\x82\xAC 5"));
}

TEST(XmlDocumentEx, DocumentWithoutRootWritesNothing)
{
    TempDir dir;
    wxXmlDocumentEx doc;
    wxMemoryOutputStream stream;
    EXPECT_FALSE(doc.Save(stream, 1));
    EXPECT_EQ(stream.GetLength(), 0);
    EXPECT_FALSE(doc.Save(wxString(dir / "conf.xml"), 1));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(XmlDocumentEx, StreamSaveReportsAFailedWrite)
{
    const auto pDoc = DocWithValue("value");
    FullStream stream(10);
    EXPECT_FALSE(pDoc->Save(stream, 1));
}

TEST(XmlDocumentEx, FileSaveReplacesTheFileAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string strPath = dir.Write("conf.xml", "old text that is longer than the new one");
    fs::permissions(strPath,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const auto pDoc = DocWithValue("new");
    ASSERT_TRUE(pDoc->Save(wxString(strPath), 1));
    EXPECT_EQ(ReadFileBytes(strPath), std::string(kDecl) + "<rules>\n  <v>new</v>\n</rules>\n");
    EXPECT_EQ(fs::status(strPath).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(XmlDocumentEx, FailedFileSaveSaysWhyAndCreatesNothing)
{
    TempDir dir;
    const auto pDoc = DocWithValue("new");
    wxString strError;
    EXPECT_FALSE(pDoc->SaveFile(wxString(dir.MakeDir("in-the-way")), strError, 1));
    EXPECT_EQ(strError, "it is a folder");
    EXPECT_FALSE(pDoc->SaveFile(wxString(dir / "missing/conf.xml"), strError, 1));
    EXPECT_EQ(strError, "No such file or directory");
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(XmlDocumentEx, FileSaveThroughASymbolicLinkWritesTheLinkedFile)
{
    TempDir dir;
    const std::string strReal = dir.Write("real/rules.xml", "<rules/>\n");
    const std::string strLink = dir / "conf.xml";
    fs::create_symlink(strReal, strLink);

    const auto pDoc = DocWithValue("linked");
    ASSERT_TRUE(pDoc->Save(wxString(strLink), 1));
    EXPECT_TRUE(fs::is_symlink(strLink));
    EXPECT_EQ(ReadFileBytes(strReal), std::string(kDecl) + "<rules>\n  <v>linked</v>\n</rules>\n");
}
