#pragma once

#include <wx/string.h>

// A folder or file a counting run left out because it was already included
// under another path: a folder listed twice, inside another listed folder or
// reached through a link to one; a file met again through a link or a hard
// link. Its files are counted once, under m_strIncludedAs.
struct SkippedPath
{
    enum Kind
    {
        FOLDER,
        FILE,
    };

    Kind m_nKind = FOLDER;
    wxString m_strPath;       // as listed, or as the walk met it
    wxString m_strIncludedAs; // the path it is already counted under
};
