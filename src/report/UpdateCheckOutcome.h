#pragma once

#include <wx/string.h>

// What one update check came to: the version it found, or the failure the
// user is told about. The message is put together only when it is shown, so
// that it is translated on the thread that shows it.
struct UpdateCheckOutcome
{
    enum Kind
    {
        VERSION,       // a 2xx answer naming a version
        NO_VERSION,    // a 2xx answer naming none, or nothing printable
        NO_CONNECTION, // the host could not be reached in time
        HTTP_FAILED,   // no 2xx answer; m_nStatus is 0 when none arrived
        FAILED,        // anything else that went wrong
        STOPPED        // given up on request; nobody is told
    };

    // The outcome of a 2xx answer whose body names strVersion, as sent:
    // VERSION with the text PrintableVersion makes of it, or NO_VERSION when
    // that is empty.
    static UpdateCheckOutcome Version(const wxString& strVersion);
    static UpdateCheckOutcome Failure(Kind kind, int nStatus = 0);

    // The version text as it may be shown and written into a report: only
    // printable characters, none that steers the direction of the text (the
    // answer comes from a server), trimmed of blanks at both ends.
    static wxString PrintableVersion(const wxString& strVersion);

    bool HasMessage() const { return m_kind != VERSION && m_kind != STOPPED; }
    // The text of the message box; empty when there is nothing to tell.
    wxString Message() const;

    Kind m_kind = FAILED;
    wxString m_strVersion;
    int m_nStatus = 0;
};
