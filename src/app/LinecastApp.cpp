#include "app/LinecastApp.h"

#include "config/DataFiles.h"
#include "ui/GtkSetup.h"
#include "ui/LinecastFrame.h"
#include "ui/UpdateCheck.h"
#include "ui/settings/SettingsFile.h"
#include "ui/settings/UiLanguage.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

wxIMPLEMENT_APP(LinecastApp);

namespace
{
const int EXIT_WAIT_MS = 2000;
}

LinecastApp::LinecastApp()
{
    PrepareGtk();
}

bool LinecastApp::OnInit()
{
    SetVendorName("Quorvel");
    SetAppName("Linecast");

    // Keep the settings where a Linux desktop user expects them:
    // ~/.config/Linecast.conf (or under $XDG_CONFIG_HOME).
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    // The store cannot write its file into a folder that does not exist yet
    // (a brand-new account), and would then lose every setting silently.
    const wxString strConfigDir = wxStandardPaths::Get().GetUserConfigDir();
    if (!wxFileName::DirExists(strConfigDir))
        wxFileName::Mkdir(strConfigDir, 0700, wxPATH_MKDIR_FULL);
    // Saved safely (see SettingsFile), in wxFileConfig's own place and format.
    wxConfigBase::Set(new SettingsFile(wxFileConfig::GetLocalFileName(GetAppName())));
    if (wxConfigBase* pConfig = wxConfigBase::Get())
    {
        // A first start fills the store with every default it reads.
        pConfig->SetRecordDefaults(true);
        pConfig->SetExpandEnvVars(false);
    }

    InitUiLocale(m_locale);

    // The decoders come first: outside Windows even the .ico is read by one.
    wxInitAllImageHandlers();

    wxIconBundle icons;
    {
        wxLogNull noLog; // no icon file: the window simply has none
        icons.AddIcon(DataFilePath("img/Linecast_01.ico"), wxBITMAP_TYPE_ICO);
    }

    auto* pFrame = new LinecastFrame(nullptr, wxID_ANY);
    if (!icons.IsEmpty())
        pFrame->SetIcons(icons);
    pFrame->Show();
    SetTopWindow(pFrame);
    return true;
}

int LinecastApp::OnExit()
{
    // The window closed without waiting for the check. Its thread looks at
    // the stop request every few hundredths of a second, so this is quick;
    // the bound only keeps a wedged thread from holding up the exit.
    StopUpdateChecks(EXIT_WAIT_MS);
    return wxApp::OnExit();
}
