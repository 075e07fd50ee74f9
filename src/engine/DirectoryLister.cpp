#include "engine/DirectoryLister.h"

#include "engine/NativePath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/filefn.h>

namespace
{
enum class EntryKind
{
    File,
    Directory,
    Other
};

// What an entry is for the walk, and whether it is a symbolic link. Links are
// followed for files only: a link to a directory counts as neither.
EntryKind Classify(int nDirFd, const dirent* pEntry, bool& bLink)
{
    unsigned char type = pEntry->d_type;
    if (type == DT_UNKNOWN)
    {
        struct stat st;
        if (fstatat(nDirFd, pEntry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return EntryKind::Other;
        type = S_ISREG(st.st_mode)   ? DT_REG
               : S_ISDIR(st.st_mode) ? DT_DIR
               : S_ISLNK(st.st_mode) ? DT_LNK
                                     : DT_UNKNOWN;
    }
    bLink = type == DT_LNK;
    switch (type)
    {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Directory;
    case DT_LNK:
    {
        struct stat st;
        if (fstatat(nDirFd, pEntry->d_name, &st, 0) != 0)
            return EntryKind::File; // dangling: listed, then counted as a file that cannot be read
        return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
    }
    default:
        return EntryKind::Other;
    }
}

// pIds, when given, receives the id of each listed entry itself (not of what
// a link names), or an unknown id when it cannot be looked at; pLinks whether
// each is a symbolic link.
void List(const wxString& strDir, EntryKind wanted, std::vector<wxString>& arrOut,
          std::vector<FileId>* pIds, std::vector<bool>* pLinks)
{
    // By the folder's real bytes, at any depth.
    const int nDirFd = NativePath::Open(strDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nDirFd < 0)
        return; // a directory that cannot be listed contributes nothing
    DIR* pDir = fdopendir(nDirFd);
    if (!pDir)
    {
        close(nDirFd);
        return;
    }
    const int nFd = dirfd(pDir);
    while (const dirent* pEntry = readdir(pDir))
    {
        if (pEntry->d_name[0] == '.')
            continue; // ".", ".." and hidden entries
        bool bLink = false;
        if (Classify(nFd, pEntry, bLink) != wanted)
            continue;
        arrOut.push_back(DirectoryLister::Join(strDir, NativePath::FromBytes(pEntry->d_name)));
        if (pLinks)
            pLinks->push_back(bLink);
        if (pIds)
        {
            struct stat st;
            pIds->push_back(fstatat(nFd, pEntry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? FileId(st)
                                                                                        : FileId());
        }
    }
    closedir(pDir);
}
} // namespace

wxString DirectoryLister::Join(const wxString& strDir, const wxString& strName)
{
    if (!strDir.empty() && strDir.Last() == wxFILE_SEP_PATH)
        return strDir + strName;
    return strDir + wxFILE_SEP_PATH + strName;
}

void DirectoryLister::ListFiles(const wxString& strDir, std::vector<wxString>& arrFiles,
                                std::vector<bool>* pLinks)
{
    List(strDir, EntryKind::File, arrFiles, nullptr, pLinks);
}

void DirectoryLister::ListSubdirectories(const wxString& strDir, std::vector<wxString>& arrDirs,
                                         std::vector<FileId>* pIds)
{
    List(strDir, EntryKind::Directory, arrDirs, pIds, nullptr);
}

FileId DirectoryLister::IdOf(const wxString& strPath)
{
    struct stat st;
    return NativePath::Stat(strPath, st) ? FileId(st) : FileId();
}
