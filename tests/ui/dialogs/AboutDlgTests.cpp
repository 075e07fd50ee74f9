#include "WxPrinters.h"
#include "ui/dialogs/AboutDlg.h"

#include <gtest/gtest.h>
#include <wx/bmpbuttn.h>
#include <wx/filefn.h>
#include <wx/fontenum.h>
#include <wx/hyperlink.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <stdexcept>

namespace
{
class AboutDlgTest : public testing::Test
{
protected:
    // A missing control fails the test (gtest reports the exception).
    template <class T> static T& Find(AboutDlg& dlg, const char* szName)
    {
        T* pWindow = dynamic_cast<T*>(wxWindow::FindWindowByName(szName, &dlg));
        if (!pWindow)
            throw std::runtime_error(std::string("no control ") + szName);
        return *pWindow;
    }
};
} // namespace

TEST_F(AboutDlgTest, ShowsVersionBuildAndLibrary)
{
    AboutDlg dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), "About...");
    EXPECT_EQ(Find<wxStaticText>(dlg, "ID_STATICTEXT1").GetLabel(), "Linecast");
    EXPECT_EQ(Find<wxStaticText>(dlg, "ID_STATICTEXT2").GetLabel(),
              "Version 3.5.33.73  (Build 1140.22062011)");

    const wxString strLibrary = Find<wxStaticText>(dlg, "ID_STATICTEXT5").GetLabel();
    EXPECT_TRUE(strLibrary.StartsWith("wxWidgets 3.")) << strLibrary;
    EXPECT_TRUE(strLibrary.EndsWith("-GTK-Unicode build")) << strLibrary;

    EXPECT_EQ(Find<wxHyperlinkCtrl>(dlg, "ID_HYPERLINKCTRL1").GetURL(),
              wxString("mailto:") + AboutDlg::MAIL_ADDRESS);
    EXPECT_EQ(Find<wxHyperlinkCtrl>(dlg, "ID_HYPERLINKCTRL2").GetURL(), AboutDlg::WEB_SITE_URL);
}

TEST_F(AboutDlgTest, PicturesComeFromTheProgramFolder)
{
    AboutDlg dlg(nullptr);
    EXPECT_TRUE(Find<wxStaticBitmap>(dlg, "ID_STATICBITMAP2").GetBitmap().IsOk());
    EXPECT_TRUE(Find<wxStaticBitmap>(dlg, "ID_STATICBITMAP1").GetBitmap().IsOk());
    auto& download = Find<wxBitmapButton>(dlg, "ID_BITMAPBUTTON1");
    EXPECT_TRUE(download.GetBitmapLabel().IsOk());
    EXPECT_TRUE(download.GetBitmapFocus().IsOk());
    // Fitted to its contents: the logo and the download picture fit inside.
    EXPECT_GE(dlg.GetClientSize().x, 180);
}

TEST_F(AboutDlgTest, UsesTheDesignedFontOnlyWhereItIsInstalled)
{
    AboutDlg dlg(nullptr);
    const wxFont font = dlg.GetFont();
    if (wxFontEnumerator::IsValidFacename("MS UI Gothic"))
    {
        EXPECT_EQ(font.GetFaceName(), "MS UI Gothic");
        EXPECT_EQ(font.GetPointSize(), 9);
    }
    else
    {
        EXPECT_EQ(font, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    }
}
