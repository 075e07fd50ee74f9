#pragma once

#include <wx/html/htmlwin.h>

// The report pane's HTML window. A clicked link opens in the desktop's web
// browser; the window itself never navigates, so the report stays in place.
// Japanese and Chinese text wraps between its characters, as it does in a
// browser; the toolkit's own layout would wrap it only at blanks.
class QuorvelHtmlWin : public wxHtmlWindow
{
public:
    QuorvelHtmlWin(wxWindow* parent, wxWindowID id = wxID_ANY,
                   const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                   long style = wxHW_DEFAULT_STYLE, const wxString& name = "htmlWindow");

    // Shows the page with its bar widths rounded to whole percents, the only
    // ones this window understands; the page text itself stays exact.
    bool SetPage(const wxString& strSource) override;
    void OnLinkClicked(const wxHtmlLinkInfo& link) override;

protected:
    // Hands the address to the browser; tests catch it here.
    virtual void OpenInBrowser(const wxString& strUrl);
};

// Whether a line may end between these two characters: between two
// Japanese or Chinese characters, except before closing punctuation, small
// kana and the prolonged sound mark, and after opening brackets.
bool CjkBreakBetween(wxUniChar cBefore, wxUniChar cAfter);

// The page with <wbr> wherever CjkBreakBetween allows a break in the text of
// its body, so that the window sees each such run as words, and a marker at
// the end of the body that has the window allow those breaks. A page without
// Japanese or Chinese text is returned as it is.
wxString MarkCjkBreaks(const wxString& strPage);
