#include "ui/results/QuorvelHtmlWin.h"

#include "report/ReportPage.h"

#include <wx/utils.h>

QuorvelHtmlWin::QuorvelHtmlWin(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style, const wxString& name)
    : wxHtmlWindow(parent, id, pos, size, style, name)
{
}

bool QuorvelHtmlWin::SetPage(const wxString& strSource)
{
    return wxHtmlWindow::SetPage(WholePercentWidths(strSource));
}

void QuorvelHtmlWin::OnLinkClicked(const wxHtmlLinkInfo& link)
{
    // The pages hold no links within themselves; every link leads out.
    OpenInBrowser(link.GetHref());
}

void QuorvelHtmlWin::OpenInBrowser(const wxString& strUrl)
{
    wxLaunchDefaultBrowser(strUrl);
}
