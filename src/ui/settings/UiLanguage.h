#pragma once

#include <wx/intl.h>

// The user-interface language: a choice kept under "ui_language" in the
// configuration store, read once at start-up to set up the locale, and changed
// by the main window's language command for the next start.

// Sets up the interface language of this run: the stored (or now chosen)
// language and the program's "Linecast" catalog from the data folder's
// locales/. The locale must outlive every window.
void InitUiLocale(wxLocale& locale);

// The canonical name of this run's interface language (ja, zh_CN, en_GB);
// empty when no locale was set up.
wxString UiLanguageName();

// The language to initialise the locale with. When nothing is stored yet the
// user is asked; a cancelled question stores nothing, so it is asked again at
// the next start.
wxLanguage LanguageFromConfig();

// Shows the language chooser; returns the chosen language, or
// wxLANGUAGE_UNKNOWN when the user cancels.
wxLanguage PromptForLanguage();

// Stores "default" for wxLANGUAGE_DEFAULT and the canonical locale name for
// any other language; wxLANGUAGE_UNKNOWN stores nothing.
void StoreLanguageChoice(wxLanguage language);

// The main window's language command: asks, stores the choice and tells the
// user it takes effect at the next start. Returns false when cancelled.
bool ChangeLanguageForNextStart();
