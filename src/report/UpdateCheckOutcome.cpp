#include "report/UpdateCheckOutcome.h"

#include <wx/intl.h>

namespace
{
// Control characters, and the format characters that show nothing: above all
// the marks, embeddings, overrides and isolates that reorder the text around
// them, so that "1.0" and a reversed "gpj.exe" read as "1.0exe.jpg".
bool IsShown(wxUniChar::value_type c)
{
    static const struct
    {
        wxUniChar::value_type first, last;
    } hidden[] = {
        {0x0000, 0x001F},       // C0 controls: escape sequences, line breaks
        {0x007F, 0x009F},       // delete, C1 controls
        {0x00AD, 0x00AD},       // soft hyphen
        {0x0600, 0x0605},       // Arabic number signs
        {0x061C, 0x061C},       // Arabic letter mark
        {0x06DD, 0x06DD},       // end of ayah
        {0x070F, 0x070F},       // Syriac abbreviation mark
        {0x180E, 0x180E},       // Mongolian vowel separator
        {0x200B, 0x200F},       // zero-width space and joiners, LRM, RLM
        {0x2028, 0x202E},       // line and paragraph separators, embeddings, overrides
        {0x2060, 0x206F},       // word joiner, invisible operators, isolates
        {0xD800, 0xDFFF},       // surrogates
        {0xFEFF, 0xFEFF},       // zero-width no-break space
        {0xFFF9, 0xFFFB},       // interlinear annotation
        {0xFFFE, 0xFFFF},       // non-characters
        {0x1D173, 0x1D17A},     // musical format characters
        {0xE0000, 0xE007F},     // tags
        {0x110000, 0xFFFFFFFF}, // no character at all
    };
    for (const auto& range : hidden)
    {
        if (c >= range.first && c <= range.last)
            return false;
    }
    return true;
}
} // namespace

UpdateCheckOutcome UpdateCheckOutcome::Version(const wxString& strVersion)
{
    UpdateCheckOutcome outcome;
    outcome.m_strVersion = PrintableVersion(strVersion);
    outcome.m_kind = outcome.m_strVersion.empty() ? NO_VERSION : VERSION;
    return outcome;
}

wxString UpdateCheckOutcome::PrintableVersion(const wxString& strVersion)
{
    wxString strShown;
    for (wxUniChar c : strVersion)
    {
        if (IsShown(c.GetValue()))
            strShown += c;
    }
    return strShown.Trim(true).Trim(false);
}

UpdateCheckOutcome UpdateCheckOutcome::Failure(Kind kind, int nStatus)
{
    UpdateCheckOutcome outcome;
    outcome.m_kind = kind;
    outcome.m_nStatus = nStatus;
    return outcome;
}

wxString UpdateCheckOutcome::Message() const
{
    if (!HasMessage())
        return wxString();
    wxString strMessage = _("An unknown error occurred while checking for updates.");
    if (m_kind == NO_CONNECTION)
        strMessage += _("\nPlease check your internet connection and try again.");
    else if (m_kind == NO_VERSION)
        strMessage += _("\nThe answer names no version.");
    else if (m_kind == HTTP_FAILED)
        // The status line stays in English: it is for whoever looks into it.
        strMessage += wxString::Format("\nHTTP request failed, got HTTP response %d.", m_nStatus);
    return strMessage;
}
