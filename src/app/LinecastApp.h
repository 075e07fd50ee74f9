#pragma once

#include <wx/app.h>
#include <wx/intl.h>

// The application object: fixes the names the settings and translations are
// kept under, sets up the interface language, and opens the main window.
class LinecastApp : public wxApp
{
public:
    LinecastApp(); // before the toolkit starts
    bool OnInit() override;
    // Gives a running update check a moment to end before the toolkit goes.
    int OnExit() override;

private:
    // Lives as long as the application, so every translated text stays valid.
    wxLocale m_locale;
};

wxDECLARE_APP(LinecastApp);
