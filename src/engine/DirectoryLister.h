#pragma once

#include "engine/FileId.h"

#include <vector>
#include <wx/string.h>

// Lists the entries of one directory the way a counting run may use them,
// without any message to the user when a directory cannot be read.
//
// Hidden entries (names starting with a dot) are never listed. Symbolic links
// to directories are never returned as subdirectories, so a link cycle cannot
// make a walk endless. FIFOs, sockets and devices are not files: opening one
// could block the run or never end. Names are kept byte for byte (NativePath),
// so each listed path opens again whatever its bytes and however deep it is.
class DirectoryLister
{
public:
    // Joins a directory and an entry name with one separator, also when the
    // directory already ends with one (a root such as "/").
    static wxString Join(const wxString& strDir, const wxString& strName);

    // Files of strDir (regular files, links to regular files, and links whose
    // target is gone, which the count then reports as empty), as full paths
    // in the order the file system lists them; with pLinks, whether each is
    // a symbolic link beside it.
    static void ListFiles(const wxString& strDir, std::vector<wxString>& arrFiles,
                          std::vector<bool>* pLinks = nullptr);

    // Real subdirectories of strDir, as full paths, in the order the file
    // system lists them; with pIds, the id of each beside it (unknown for
    // one that vanished meanwhile).
    static void ListSubdirectories(const wxString& strDir, std::vector<wxString>& arrDirs,
                                   std::vector<FileId>* pIds = nullptr);

    // The id of what a path names, through links (unknown when it cannot be
    // looked at).
    static FileId IdOf(const wxString& strPath);
};
