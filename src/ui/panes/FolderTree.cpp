#include "ui/panes/FolderTree.h"

#include <wx/filefn.h>

bool IsInFolderTree(const wxString& strFolder, const wxString& strTop)
{
    if (strTop.empty() || !strFolder.StartsWith(strTop))
        return false;
    if (strFolder.length() == strTop.length() || strTop.Last() == wxFILE_SEP_PATH)
        return true; // the folder itself, or anything below the root
    return strFolder[strTop.length()] == wxFILE_SEP_PATH;
}

std::vector<std::size_t> FolderTreeEntries(const wxArrayString& arrFolders, std::size_t nTop)
{
    std::vector<std::size_t> arrEntries;
    if (nTop >= arrFolders.size())
        return arrEntries;
    const wxString& strTop = arrFolders[nTop];
    for (std::size_t i = 0; i < arrFolders.size(); ++i)
    {
        if (IsInFolderTree(arrFolders[i], strTop))
            arrEntries.push_back(i);
    }
    return arrEntries;
}
