#pragma once

#include <wx/string.h>

// One source style: its rule type name and the comment markers of that style.
// Markers are literal, case-sensitive texts; an empty marker never matches.
class CounterRule
{
public:
    CounterRule() = default;
    CounterRule(const wxString& strType, const wxString& strDesc, const wxString& strSingle,
                const wxString& strBegin, const wxString& strEnd)
        : m_strType(strType), m_strDesc(strDesc), m_strSingleLineComment(strSingle),
          m_strMultiLineCommentBegin(strBegin), m_strMultiLineCommentEnd(strEnd)
    {
    }
    virtual ~CounterRule() = default;

    wxString m_strType;
    wxString m_strDesc;
    wxString m_strSingleLineComment;
    wxString m_strMultiLineCommentBegin;
    wxString m_strMultiLineCommentEnd;
};
