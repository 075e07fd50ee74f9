#pragma once

#include <wx/html/htmlwin.h>

// The report pane's HTML window. A clicked link opens in the desktop's web
// browser; the window itself never navigates, so the report stays in place.
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
