#include "ui/results/QuorvelHtmlWin.h"

#include "report/ReportPage.h"
#include "ui/DesktopOpen.h"

#include <wx/html/htmlcell.h>
#include <wx/html/winpars.h>
#include <wx/utils.h>

#include <algorithm>

namespace
{
bool IsCjk(wxUniChar::value_type c)
{
    return (c >= 0x3000 && c <= 0x30FF) ||   // punctuation, kana
           (c >= 0x3400 && c <= 0x4DBF) ||   // ideographs, extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||   // ideographs
           (c >= 0xF900 && c <= 0xFAFF) ||   // compatibility ideographs
           (c >= 0xFF01 && c <= 0xFF60) ||   // full-width forms
           (c >= 0xFF61 && c <= 0xFF9F) ||   // half-width kana
           (c >= 0x20000 && c <= 0x3FFFF) || // ideographs, later extensions
           c == 0x201C || c == 0x201D;       // the quotes Chinese text uses
}

// A line never starts with these...
const wchar_t* const NO_BREAK_BEFORE = L"、。，．：；？！）」』】〕〉》”’・ー々〻"
                                       L"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ"
                                       L"！？），．：；｝］";
// ...nor ends with these.
const wchar_t* const NO_BREAK_AFTER = L"（「『【〔〈《“‘（［｛";

bool HasCjk(const wxString& strPage)
{
    return std::any_of(strPage.begin(), strPage.end(),
                       [](wxUniChar c) { return IsCjk(c.GetValue()); });
}

bool In(const wchar_t* szSet, wxUniChar::value_type c)
{
    for (const wchar_t* p = szSet; *p; ++p)
        if (static_cast<wxUniChar::value_type>(*p) == c)
            return true;
    return false;
}

// wxHtmlWordCell keeps whether a line may end before it to itself; a member
// pointer taken through a derived class reaches it.
struct WordCellAccess : wxHtmlWordCell
{
    static constexpr bool wxHtmlWordCell::*ALLOW_LINEBREAK = &WordCellAccess::m_allowLinebreak;
};

void AllowBreaksIn(wxHtmlCell& container)
{
    const wxHtmlWordCell* pPrevious = nullptr;
    wxString strPrevious;
    for (wxHtmlCell* pCell = container.GetFirstChild(); pCell; pCell = pCell->GetNext())
    {
        if (auto* pWord = dynamic_cast<wxHtmlWordCell*>(pCell))
        {
            const wxString strWord = pWord->ConvertToText(nullptr);
            if (pPrevious && !strPrevious.empty() && !strWord.empty() &&
                CjkBreakBetween(strPrevious.Last(), strWord[0]))
                pWord->*WordCellAccess::ALLOW_LINEBREAK = true;
            pPrevious = pWord;
            strPrevious = strWord;
        }
        else if (pCell->GetFirstChild())
        {
            AllowBreaksIn(*pCell);
        }
    }
}
// The marker MarkCjkBreaks ends the body with. When the parser reaches it,
// every word of the page is a cell and nothing is laid out yet: tables
// measure their columns once, at the first layout, so the breaks must be
// allowed before it.
constexpr const char* BREAKS_MARKER = "<LINECASTCJKBREAKS>";

class CjkBreaksHandler : public wxHtmlWinTagHandler
{
public:
    wxString GetSupportedTags() override { return "LINECASTCJKBREAKS"; }
    bool HandleTag(const wxHtmlTag&) override
    {
        wxHtmlCell* pTop = m_WParser->GetContainer();
        while (pTop->GetParent())
            pTop = pTop->GetParent();
        AllowBreaksIn(*pTop);
        return false;
    }
};
} // namespace

QuorvelHtmlWin::QuorvelHtmlWin(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style, const wxString& name)
    : wxHtmlWindow(parent, id, pos, size, style, name)
{
    GetParser()->AddTagHandler(new CjkBreaksHandler); // the parser owns it
}

bool QuorvelHtmlWin::SetPage(const wxString& strSource)
{
    // A page without CJK text goes to the parser as it is: a kernel-sized
    // report is megabytes, and each copy of it adds to the window's peak.
    const wxString strPage = WholePercentWidths(strSource);
    if (HasCjk(strPage))
        return wxHtmlWindow::SetPage(MarkCjkBreaks(strPage));
    return wxHtmlWindow::SetPage(strPage);
}

void QuorvelHtmlWin::OnLinkClicked(const wxHtmlLinkInfo& link)
{
    // The pages hold no links within themselves; every link leads out.
    OpenInBrowser(link.GetHref());
}

void QuorvelHtmlWin::OpenInBrowser(const wxString& strUrl)
{
    DesktopOpen(TellOpenFailure(wxGetTopLevelParent(this))).OpenWebPage(strUrl);
}

bool CjkBreakBetween(wxUniChar cBefore, wxUniChar cAfter)
{
    const wxUniChar::value_type a = cBefore.GetValue(), b = cAfter.GetValue();
    return IsCjk(a) && IsCjk(b) && !In(NO_BREAK_BEFORE, b) && !In(NO_BREAK_AFTER, a);
}

wxString MarkCjkBreaks(const wxString& strPage)
{
    if (!HasCjk(strPage))
        return strPage;
    // Only the body's text: never inside a tag, a comment or the title.
    size_t nBody = strPage.Lower().find("<body");
    if (nBody == wxString::npos)
        nBody = 0;
    wxString strOut = strPage.substr(0, nBody);
    strOut.reserve(strPage.length() + strPage.length() / 4);
    bool bInTag = false, bInComment = false;
    wxUniChar cLast = 0; // the last character of text, 0 after markup
    for (size_t i = nBody; i < strPage.length(); ++i)
    {
        const wxUniChar c = strPage[i];
        if (bInComment)
        {
            if (c == '>' && i >= 2 && strPage[i - 1] == '-' && strPage[i - 2] == '-')
                bInComment = false;
        }
        else if (bInTag)
        {
            bInTag = c != '>';
        }
        else if (c == '<')
        {
            bInComment = strPage.compare(i, 4, "<!--") == 0;
            bInTag = !bInComment;
            cLast = 0;
        }
        else
        {
            if (cLast != 0 && CjkBreakBetween(cLast, c))
                strOut += "<wbr>";
            cLast = c;
        }
        strOut += c;
    }
    // After the last word, before the end of the body.
    const size_t nEnd = strOut.Lower().rfind("</body");
    strOut.insert(nEnd == wxString::npos || nEnd < nBody ? strOut.length() : nEnd, BREAKS_MARKER);
    return strOut;
}
