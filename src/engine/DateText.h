#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

// The local date of a result as the lists, filters and exports show it,
// "%Y-%m-%d"; empty for a file whose modification time could not be read.
inline wxString DateText(const wxDateTime& dt)
{
    return dt.IsValid() ? dt.Format("%Y-%m-%d") : wxString();
}
