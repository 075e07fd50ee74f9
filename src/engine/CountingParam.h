#pragma once

#include <wx/arrstr.h>

// What one counting run covers.
class CountingParam
{
public:
    virtual ~CountingParam() = default;

    wxArrayString m_arrDirs;  // full paths, in the order the user listed them
    wxArrayString m_arrTypes; // the pieces of the source type text; files are chosen by the
                              // selection flags of the extension table, not by this
    bool m_bRecursive = true;
};
