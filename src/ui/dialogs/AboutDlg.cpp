#include "ui/dialogs/AboutDlg.h"

#include "config/DataFiles.h"
#include "config/Version.h"
#include "ui/DesktopOpen.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/fontenum.h>
#include <wx/hyperlink.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/version.h>

const char* const AboutDlg::WEB_SITE_URL = "https://quorvel.example.org/";
const char* const AboutDlg::MAIL_ADDRESS = LinecastVersion::CONTACT_ADDRESS;
const char* const AboutDlg::DOWNLOAD_PAGE_URL = "https://quorvel.example.org/linecast/download";

namespace
{

// Pictures come from the program's img/ folder; the type is taken from the
// file itself.
wxBitmap LoadPicture(const char* szName)
{
    return wxBitmap(DataFilePath(wxString("img/") + szName), wxBITMAP_TYPE_ANY);
}

// The box's designed face, or the desktop's own GUI font where that face is
// not installed (the usual case outside Japanese Windows).
wxFont DialogFont()
{
    const wxString strFace = "MS UI Gothic";
    if (wxFontEnumerator::IsValidFacename(strFace))
        return wxFont(9, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                      strFace);
    return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
}
} // namespace

AboutDlg::AboutDlg(wxWindow* parent, wxWindowID id)
    : wxDialog(parent, id, _("About..."), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE,
               "AboutDlg")
{
    SetFont(DialogFont());

    auto* pLogo = new wxStaticBitmap(this, wxID_ANY, LoadPicture("quorvel_logo.png"),
                                     wxDefaultPosition, wxDefaultSize, 0, "ID_STATICBITMAP2");
    auto* pIcon = new wxStaticBitmap(this, wxID_ANY, LoadPicture("Linecast_01.ico"),
                                     wxDefaultPosition, wxDefaultSize, 0, "ID_STATICBITMAP1");
    auto* pName = new wxStaticText(this, wxID_ANY, _("Linecast"), wxDefaultPosition, wxDefaultSize,
                                   0, "ID_STATICTEXT1");
    pName->SetFont(GetFont().Bold().Scaled(1.6f));
    auto* pVersion = new wxStaticText(this, wxID_ANY, "Version", wxDefaultPosition, wxDefaultSize,
                                      0, "ID_STATICTEXT2");
    auto* pNotice =
        new wxStaticText(this, wxID_ANY, _("Copyright (C) 2006-2011 Quorvel. All rights reserved."),
                         wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT3");
    auto* pLibrary = new wxStaticText(this, wxID_ANY, "wx-build-info", wxDefaultPosition,
                                      wxDefaultSize, 0, "ID_STATICTEXT5");
    auto* pSite = new wxHyperlinkCtrl(this, wxID_ANY, WEB_SITE_URL, WEB_SITE_URL, wxDefaultPosition,
                                      wxDefaultSize, wxHL_DEFAULT_STYLE, "ID_HYPERLINKCTRL2");
    auto* pMail = new wxHyperlinkCtrl(this, wxID_ANY, MAIL_ADDRESS,
                                      wxString("mailto:") + MAIL_ADDRESS, wxDefaultPosition,
                                      wxDefaultSize, wxHL_DEFAULT_STYLE, "ID_HYPERLINKCTRL1");
    auto* pThanks = new wxStaticText(this, wxID_ANY, _("Special thanks to:"), wxDefaultPosition,
                                     wxDefaultSize, 0, "ID_STATICTEXT4");
    auto* pCredits = new wxStaticText(
        this, wxID_ANY, _("The wxWidgets team, and everyone who sent a bug report or a rule."),
        wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT7");
    auto* pDownload =
        new wxBitmapButton(this, wxID_ANY, LoadPicture("quorvel_stat_00.jpg"), wxDefaultPosition,
                           wxDefaultSize, wxBU_AUTODRAW, wxDefaultValidator, "ID_BITMAPBUTTON1");
    const wxBitmap bmpFocused = LoadPicture("quorvel_stat_01.jpg");
    if (bmpFocused.IsOk())
    {
        pDownload->SetBitmapFocus(bmpFocused);
        pDownload->SetBitmapCurrent(bmpFocused);
    }
    pDownload->SetToolTip(_("Open the download page"));
    auto* pOk = new wxButton(this, wxID_OK, _("&OK"), wxDefaultPosition, wxDefaultSize, 0,
                             wxDefaultValidator, "wxID_OK");

    pVersion->SetLabel(VersionText());
    pLibrary->SetLabel(LibraryBuildText());

    // Logo across the top; icon beside name, version and the maker's lines;
    // the thanks; the download picture and OK at the bottom.
    auto* pText = new wxBoxSizer(wxVERTICAL);
    pText->Add(pName, wxSizerFlags().Border(wxBOTTOM, 4));
    pText->Add(pVersion);
    pText->Add(pNotice, wxSizerFlags().Border(wxTOP, 8));
    pText->Add(pLibrary, wxSizerFlags().Border(wxTOP, 2));
    pText->Add(pSite, wxSizerFlags().Border(wxTOP, 8));
    pText->Add(pMail, wxSizerFlags().Border(wxTOP, 2));

    auto* pHead = new wxBoxSizer(wxHORIZONTAL);
    pHead->Add(pIcon, wxSizerFlags().Top().Border(wxRIGHT, 12));
    pHead->Add(pText, wxSizerFlags(1));

    auto* pBottom = new wxBoxSizer(wxHORIZONTAL);
    pBottom->Add(pDownload, wxSizerFlags().Bottom());
    pBottom->AddStretchSpacer();
    pBottom->Add(pOk, wxSizerFlags().Bottom());

    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pLogo, wxSizerFlags().Border(wxALL, 10));
    pTop->Add(pHead, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, 16));
    pTop->Add(pThanks, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP, 16));
    pTop->AddSpacer(2);
    pTop->Add(pCredits, wxSizerFlags().Border(wxLEFT | wxRIGHT, 16));
    pTop->Add(pBottom, wxSizerFlags().Expand().Border(wxALL, 16));
    SetSizerAndFit(pTop);
    Centre();

    pDownload->Bind(wxEVT_BUTTON, &AboutDlg::OnDownloadPage, this);
    // Nothing to transfer into the controls: they are complete as built.
    Bind(wxEVT_INIT_DIALOG, [](wxInitDialogEvent&) {});
    pOk->SetDefault();
    pOk->SetFocus();
}

wxString AboutDlg::VersionText()
{
    // Only the build text is a format, so a "%" in the translation of
    // "Version " cannot upset it.
    using namespace LinecastVersion;
    return _("Version ") + TEXT + " " + wxString::Format(_(" (Build %d."), BUILD_COUNT) +
           BUILD_DAY + BUILD_MONTH + BUILD_YEAR + ")";
}

wxString AboutDlg::LibraryBuildText()
{
    wxString strText = wxVERSION_STRING;
#if defined(__WXGTK__)
    strText += "-GTK";
#elif defined(__WXMSW__)
    strText += "-Windows";
#elif defined(__WXOSX__)
    strText += "-macOS";
#endif
    strText += "-Unicode build";
    return strText;
}

void AboutDlg::OnDownloadPage(wxCommandEvent&)
{
    DesktopOpen(TellOpenFailure(this)).OpenWebPage(DOWNLOAD_PAGE_URL);
}
