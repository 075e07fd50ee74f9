#include "WxPrinters.h"
#include "ui/results/QuorvelHtmlWin.h"

#include <functional>
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/html/htmlcell.h>

namespace
{
// Catches what would go to the browser.
class RecordingHtmlWin : public QuorvelHtmlWin
{
public:
    using QuorvelHtmlWin::QuorvelHtmlWin;
    wxArrayString m_arrOpened;

protected:
    void OpenInBrowser(const wxString& strUrl) override { m_arrOpened.Add(strUrl); }
};

TEST(QuorvelHtmlWin, ClickedLinksOpenInTheBrowserAndThePageStays)
{
    auto* pFrame = new wxFrame(nullptr, wxID_ANY, "report");
    auto* pWin = new RecordingHtmlWin(pFrame);
    pWin->SetPage("<p>Report</p><a href=\"https://example.org/a\">site</a>"
                  "<a href=\"other.html\">page</a>");
    const wxString strText = pWin->ToText();

    pWin->OnLinkClicked(wxHtmlLinkInfo("https://example.org/a"));
    pWin->OnLinkClicked(wxHtmlLinkInfo("other.html"));

    EXPECT_EQ(pWin->m_arrOpened.size(), 2u);
    EXPECT_EQ(pWin->m_arrOpened[0], "https://example.org/a");
    EXPECT_EQ(pWin->ToText(), strText);
    EXPECT_TRUE(pWin->GetOpenedPage().empty());
    pFrame->Destroy();
}
TEST(CjkLineBreaks, BetweenJapaneseOrChineseCharactersButNotAtPunctuation)
{
    const struct
    {
        const char* szPair; // two characters, UTF-8
        bool bBreak;
    } rows[] = {
        {"\xE8\xA1\x8C\xE6\x95\xB0", true},  // 行数: two ideographs
        {"\xE3\x81\xAE\xE3\x82\xB3", true},  // のコ: kana
        {"\xE8\xA1\x8C\xE3\x80\x81", false}, // 行、: before a comma
        {"\xE3\x80\x8C\xE3\x82\xBD", false}, // 「ソ: after an opening bracket
        {"\xE3\x83\x95\xE3\x82\xA1", false}, // ファ: before a small kana
        {"\xE3\x83\xAB\xE3\x83\xBC", false}, // ルー: before the prolonged mark
        {"\xE5\x88\x97\xEF\xBC\x89", false}, // 列）: before a closing parenthesis
        {"\xE2\x80\x9C\xE6\xBA\x90", false}, // “源: after an opening quote
        {"\xE7\x9B\xAE\xE2\x80\x9D", false}, // 目”: before a closing quote
        {"\xE3\x80\x82\xE6\xAF\x8F", true},  // 。每: after a full stop
        {"ab", false},                       // Latin words part at blanks
        {"a\xE8\xA1\x8C", false},
    };
    for (const auto& row : rows)
    {
        const wxString str = wxString::FromUTF8(row.szPair);
        ASSERT_EQ(str.length(), 2u) << row.szPair;
        EXPECT_EQ(CjkBreakBetween(str[0], str[1]), row.bBreak) << row.szPair;
    }

    // Only in the body's text: not in the title, a tag or a comment.
    EXPECT_EQ(MarkCjkBreaks(wxString::FromUTF8("<title>\xE8\xA1\x8C\xE6\x95\xB0</title><body "
                                               "title=\"\xE8\xA1\x8C\xE6\x95\xB0\"><!-- "
                                               "\xE8\xA1\x8C\xE6\x95\xB0 -->\xE8\xA1\x8C\xE6"
                                               "\x95\xB0\xE3\x80\x81<b>x</b>")),
              wxString::FromUTF8("<title>\xE8\xA1\x8C\xE6\x95\xB0</title><body "
                                 "title=\"\xE8\xA1\x8C\xE6\x95\xB0\"><!-- "
                                 "\xE8\xA1\x8C\xE6\x95\xB0 -->\xE8\xA1\x8C<wbr>\xE6\x95\xB0"
                                 "\xE3\x80\x81<b>x</b><LINECASTCJKBREAKS>"));
    EXPECT_EQ(MarkCjkBreaks("<body>plain</body>"), "<body>plain</body>");
}

// Every word of a long Japanese text, bold parts included, stays within the
// window: the toolkit alone would run the text off its right edge.
TEST(QuorvelHtmlWin, JapaneseTextWrapsWithinTheWindow)
{
    auto* pFrame = new wxFrame(nullptr, wxID_ANY, "report", wxDefaultPosition, wxSize(320, 400));
    auto* pWin = new QuorvelHtmlWin(pFrame);
    pFrame->SetClientSize(320, 400);
    pWin->SetSize(pFrame->GetClientSize());
    wxString strText;
    for (int i = 0; i < 12; ++i)
        strText += wxString::FromUTF8("\xE3\x82\xB3\xE3\x83\xA1\xE3\x83\xB3\xE3\x83\x88"
                                      "\xE8\xA1\x8C\xE3\x80\x81<b>\xE7\xA9\xBA\xE8\xA1\x8C"
                                      "</b>\xE3\x81\xA8\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x89");
    // In a paragraph and in a table, whose columns are measured once.
    pWin->SetPage("<html><body><p>" + strText + "</p><table width=\"100%\"><tr><td>" + strText +
                  "</td></tr></table></body></html>");

    const int nWidth = pWin->GetClientSize().x;
    int nWords = 0, nLines = 0, nLastY = -1;
    std::function<void(const wxHtmlCell&)> visit = [&](const wxHtmlCell& cell)
    {
        for (const wxHtmlCell* p = cell.GetFirstChild(); p; p = p->GetNext())
        {
            if (dynamic_cast<const wxHtmlWordCell*>(p))
            {
                ++nWords;
                EXPECT_LE(p->GetAbsPos().x + p->GetWidth(), nWidth);
                if (p->GetAbsPos().y != nLastY)
                    ++nLines;
                nLastY = p->GetAbsPos().y;
            }
            visit(*p);
        }
    };
    visit(*pWin->GetInternalRepresentation());
    EXPECT_GT(nWords, 24);
    EXPECT_GT(nLines, 6);
    pFrame->Destroy();
}
} // namespace
