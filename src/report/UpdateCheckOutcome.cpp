#include "report/UpdateCheckOutcome.h"

#include <wx/intl.h>

UpdateCheckOutcome UpdateCheckOutcome::Version(const wxString& strVersion)
{
    UpdateCheckOutcome outcome;
    outcome.m_kind = VERSION;
    outcome.m_strVersion = strVersion;
    return outcome;
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
    else if (m_kind == HTTP_FAILED)
        // The status line stays in English: it is for whoever looks into it.
        strMessage += wxString::Format("\nHTTP request failed, got HTTP response %d.", m_nStatus);
    return strMessage;
}
