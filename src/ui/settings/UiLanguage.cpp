#include "ui/settings/UiLanguage.h"

#include "config/DataFiles.h"

#include <wx/choicdlg.h>
#include <wx/config.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <algorithm>

namespace
{
const char* const LANGUAGE_KEY = "/ui_language";
const char* const DEFAULT_CHOICE = "default";

// The chooser's rows; only the first label is translated, the language names
// are shown as their speakers would look for them in an English list.
struct LanguageRow
{
    const char* szLabel;
    wxLanguage language;
};
const LanguageRow LANGUAGE_ROWS[] = {
    {wxTRANSLATE("(Use default language)"), wxLANGUAGE_DEFAULT},
    {"Chinese (Simplified)", wxLANGUAGE_CHINESE_SIMPLIFIED},
    {"English", wxLANGUAGE_ENGLISH},
    {"Japanese", wxLANGUAGE_JAPANESE},
};

// Exact match on the canonical name ("ja_JP"), as StoreLanguageChoice writes it.
const wxLanguageInfo* FindByCanonicalName(const wxString& strName)
{
    for (int n = wxLANGUAGE_DEFAULT + 1; n < wxLANGUAGE_USER_DEFINED; ++n)
    {
        const wxLanguageInfo* pInfo = wxLocale::GetLanguageInfo(n);
        if (pInfo && pInfo->CanonicalName == strName)
            return pInfo;
    }
    return nullptr;
}
} // namespace

void InitUiLocale(wxLocale& locale)
{
    wxLocale::AddCatalogLookupPathPrefix(DataFilePath("locales"));
    const wxLanguage language = LanguageFromConfig();
    {
        // A language whose system locale is not installed still gets its
        // translated texts from our catalog; the missing C locale is no reason
        // to greet the user with an error box.
        wxLogNull noLog;
        // wxLOCALE_LOAD_DEFAULT brings the toolkit's own catalog, wxstd-3.2
        // from wx3.2-i18n, which translates the stock buttons and the words
        // of its dialogs.
        locale.Init(language, wxLOCALE_LOAD_DEFAULT);
    }
    // Added last, so our catalog has the last word on a text both translate.
    locale.AddCatalog("Linecast");
}

wxString UiLanguageName()
{
    const wxLocale* pLocale = wxGetLocale();
    return pLocale ? pLocale->GetCanonicalName() : wxString();
}

wxLanguage LanguageFromConfig()
{
    wxConfigBase* pConfig = wxConfigBase::Get();
    const wxString strStored = pConfig ? pConfig->Read(LANGUAGE_KEY, wxString()) : wxString();

    if (strStored.empty())
    {
        const wxLanguage language = PromptForLanguage();
        if (language == wxLANGUAGE_UNKNOWN)
            return wxLANGUAGE_DEFAULT; // asked again at the next start
        StoreLanguageChoice(language);
        return language;
    }
    if (strStored == DEFAULT_CHOICE)
        return wxLANGUAGE_DEFAULT;

    if (const wxLanguageInfo* pInfo = FindByCanonicalName(strStored))
        return static_cast<wxLanguage>(pInfo->Language);
    wxLogError(_("Uknown locale code '%s' in registry."), strStored);
    return wxLANGUAGE_DEFAULT;
}

wxLanguage PromptForLanguage()
{
    wxArrayString arrLabels;
    arrLabels.Add(wxGetTranslation(LANGUAGE_ROWS[0].szLabel));
    for (size_t i = 1; i < WXSIZEOF(LANGUAGE_ROWS); ++i)
        arrLabels.Add(LANGUAGE_ROWS[i].szLabel);

    wxSingleChoiceDialog dlg(nullptr, _("Select your prefered language"), _("Language selection"),
                             arrLabels);
    // At least 200 x 150, and tall enough that all four languages show
    // without scrolling.
    for (wxWindow* pChild : dlg.GetChildren())
    {
        if (auto* pList = dynamic_cast<wxListBox*>(pChild))
        {
            // A row is about a line of text plus the toolkit's padding.
            const int nRows = static_cast<int>(pList->GetCount());
            pList->SetMinSize(wxSize(-1, nRows * (pList->GetCharHeight() + 8) + 8));
        }
    }
    dlg.Fit();
    const wxSize sizeBest = dlg.GetSize();
    dlg.SetSize(std::max(sizeBest.x, 200), std::max(sizeBest.y, 150));
    dlg.Centre();
    if (dlg.ShowModal() != wxID_OK)
        return wxLANGUAGE_UNKNOWN;
    const int nRow = dlg.GetSelection();
    if (nRow < 0 || nRow >= static_cast<int>(WXSIZEOF(LANGUAGE_ROWS)))
        return wxLANGUAGE_UNKNOWN;
    return LANGUAGE_ROWS[nRow].language;
}

void StoreLanguageChoice(wxLanguage language)
{
    if (language == wxLANGUAGE_UNKNOWN)
        return;
    wxConfigBase* pConfig = wxConfigBase::Get();
    if (!pConfig)
        return;
    if (language == wxLANGUAGE_DEFAULT)
    {
        pConfig->Write(LANGUAGE_KEY, DEFAULT_CHOICE);
    }
    else
    {
        const wxLanguageInfo* pInfo = wxLocale::GetLanguageInfo(language);
        if (!pInfo)
            return;
        pConfig->Write(LANGUAGE_KEY, pInfo->CanonicalName);
    }
    pConfig->Flush();
}

bool ChangeLanguageForNextStart()
{
    const wxLanguage language = PromptForLanguage();
    if (language == wxLANGUAGE_UNKNOWN)
        return false;
    StoreLanguageChoice(language);
    wxMessageBox(_("You must restart application for this change to take effect."), _("Confirm"),
                 wxOK | wxICON_INFORMATION | wxCENTRE, nullptr);
    return true;
}
