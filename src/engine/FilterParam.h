#pragma once

#include <wx/arrstr.h>

// The folders, extensions and dates the user left checked in the filter panes.
class FilterParam
{
public:
    virtual ~FilterParam() = default;

    void ClearLists()
    {
        m_arrDirectories.Clear();
        m_arrExtensions.Clear();
        m_arrDates.Clear();
    }

    // Ascending by character code, case-sensitive.
    void SortLists()
    {
        m_arrDirectories.Sort();
        m_arrExtensions.Sort();
        m_arrDates.Sort();
    }

    bool m_bChanged = false;
    bool m_bFilterDirectory = false;
    bool m_bFilterExtension = false;
    bool m_bFilterDate = false;
    wxArrayString m_arrDirectories;
    wxArrayString m_arrExtensions;
    wxArrayString m_arrDates; // "%Y-%m-%d"
};
