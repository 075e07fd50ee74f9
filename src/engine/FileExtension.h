#pragma once

#include <wx/string.h>

// A file type: a lower-case extension with its dot, bound to a rule type, and
// whether files of this type are counted in the next run.
class FileExtension
{
public:
    FileExtension() = default;
    FileExtension(const wxString& strName, const wxString& strRuleType, const wxString& strDesc,
                  bool bSelected)
        : m_strName(strName), m_strRuleType(strRuleType), m_strDesc(strDesc),
          m_bSelected(bSelected)
    {
    }
    virtual ~FileExtension() = default;

    wxString m_strName;
    wxString m_strRuleType;
    wxString m_strDesc;
    bool m_bSelected = false;
};
