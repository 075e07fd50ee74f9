#include "ui/settings/SourceTypeChoice.h"

#include <wx/tokenzr.h>

wxArrayString SplitSourceTypes(const wxString& strText)
{
    wxArrayString arrNames;
    wxStringTokenizer tokens(strText, ";", wxTOKEN_STRTOK);
    while (tokens.HasMoreTokens())
    {
        wxString strName = tokens.GetNextToken().Strip(wxString::both).Lower();
        if (!strName.empty())
            arrNames.Add(strName);
    }
    return arrNames;
}

void SelectSourceTypes(ExtensionTable& table, const wxString& strText)
{
    const wxArrayString arrNames = SplitSourceTypes(strText);
    for (auto& entry : table)
        entry.second->m_bSelected = arrNames.Index(entry.first) != wxNOT_FOUND;
}

void RememberSourceTypes(wxArrayString& arrHistory, const wxString& strText, size_t nMax)
{
    if (strText.empty())
        return;
    for (size_t i = arrHistory.size(); i-- > 0;)
    {
        if (arrHistory[i] == strText)
            arrHistory.RemoveAt(i);
    }
    arrHistory.Insert(strText, 0);
    if (arrHistory.size() > nMax)
        arrHistory.RemoveAt(nMax, arrHistory.size() - nMax);
}
