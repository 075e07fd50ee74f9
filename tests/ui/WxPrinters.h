#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <ostream>

// Readable gtest failure messages for wx values.
inline void PrintTo(const wxString& str, std::ostream* pOut)
{
    *pOut << '"' << str.utf8_str() << '"';
}

inline void PrintTo(const wxArrayString& arr, std::ostream* pOut)
{
    *pOut << '{';
    for (size_t i = 0; i < arr.size(); ++i)
        *pOut << (i ? ", \"" : "\"") << arr[i].utf8_str() << '"';
    *pOut << '}';
}
