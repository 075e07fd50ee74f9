#pragma once

#include <wx/string.h>

// A folder or file a counting run left out: one already included under
// another path (a folder listed twice, inside another listed folder or
// reached through a link to one; a file met again through a link or a hard
// link), whose files are counted once, under m_strIncludedAs; or a listed
// folder the run could not count at all, as it is gone or cannot be read.
struct SkippedPath
{
    enum Kind
    {
        FOLDER,
        FILE,
    };
    enum Reason
    {
        ALREADY_INCLUDED,
        MISSING,    // a listed folder that is gone, or no longer a folder
        UNREADABLE, // a listed folder that cannot be opened
    };

    Kind m_nKind = FOLDER;
    wxString m_strPath;       // as listed, or as the walk met it
    wxString m_strIncludedAs; // the path it is already counted under; empty for the others
    Reason m_nReason = ALREADY_INCLUDED;
};
