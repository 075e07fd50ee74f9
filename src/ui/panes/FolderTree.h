#pragma once

#include <cstddef>
#include <vector>
#include <wx/arrstr.h>
#include <wx/string.h>

// Which folders lie in the tree of another, by whole path components: "/a/b"
// holds "/a/b" and "/a/b/c", never "/a/bc".
bool IsInFolderTree(const wxString& strFolder, const wxString& strTop);

// The indexes of arrFolders[nTop] and of every entry in its tree, in list
// order; none when nTop is not an index of the list.
std::vector<std::size_t> FolderTreeEntries(const wxArrayString& arrFolders, std::size_t nTop);
