#pragma once

#include <wx/string.h>

// How a save of the rules file went. The engine tells nobody; the window
// turns this into a message (RulesSaveMessage).
struct RulesSaveOutcome
{
    enum Kind
    {
        NOT_WRITTEN,  // nothing to write: no rules loaded, or the tables as loaded
        SAVED,        // written over the rules file at m_strPath
        SAVED_BESIDE, // the rules file changed on disk since it was read and is
                      // kept; the tables went to a new file at m_strPath
        FAILED        // nothing written to m_strPath, for the reason m_strError
    };

    Kind m_kind = NOT_WRITTEN;
    wxString m_strPath;
    wxString m_strError;
};
