#include "WxPrinters.h"
#include "ui/results/QuorvelHtmlWin.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

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
} // namespace
