#pragma once

#include <wx/dialog.h>

// The modal "About..." box: the program's name, version and build, the
// library it was built with, links to the maker and a picture button that
// opens the download page. It holds no state and changes nothing.
class AboutDlg : public wxDialog
{
public:
    explicit AboutDlg(wxWindow* parent, wxWindowID id = wxID_ANY);

    // "Version 3.5.33.73  (Build 1140.22062011)"
    static wxString VersionText();
    // The wxWidgets version, port and character build this program runs on.
    static wxString LibraryBuildText();

    static const char* const WEB_SITE_URL;
    static const char* const MAIL_ADDRESS;
    static const char* const DOWNLOAD_PAGE_URL;

private:
    void OnDownloadPage(wxCommandEvent& event);
};
