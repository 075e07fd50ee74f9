#include "compare/FolderVersion.h"

#include "engine/CountingManager.h"
#include "engine/CountingParam.h"
#include "engine/DirectoryLister.h"
#include "engine/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

void FolderVersion::List(CountingManager& manager, const std::vector<std::string>& arrFolders,
                         bool bRecursive, std::vector<VersionFile>& arrFiles,
                         std::vector<SkippedPath>& arrSkipped) const
{
    CountingParam param;
    param.m_bRecursive = bRecursive;
    for (const std::string& strFolder : arrFolders)
        param.m_arrDirs.Add(
            strFolder.empty() ? m_strRoot
                              : DirectoryLister::Join(m_strRoot, NativePath::FromBytes(strFolder)));
    // A file's path below the root: what follows the root and its separator.
    const std::size_t nRoot = m_strRoot.length() + (m_strRoot.EndsWith("/") ? 0 : 1);
    manager.ListCountedFiles(param,
                             [&](CountingManager::ListedPath&& listed)
                             {
                                 std::string strPath =
                                     NativePath::ToBytes(listed.strPath.Mid(nRoot));
                                 if (m_fnIgnored && m_fnIgnored(strPath))
                                     return;
                                 VersionFile& file = arrFiles.emplace_back();
                                 file.strPath = std::move(strPath);
                                 file.strExt = std::move(listed.strExt);
                                 file.strRuleType = std::move(listed.strRuleType);
                                 file.strLocation = std::move(listed.strPath);
                                 file.bLink = listed.bLink;
                             });
    // A folder that this version lacks holds files only the other version
    // has, as with a revision: nothing was left out.
    std::copy_if(manager.m_arrSkippedPaths.begin(), manager.m_arrSkippedPaths.end(),
                 std::back_inserter(arrSkipped),
                 [](const SkippedPath& skipped)
                 { return skipped.m_nReason != SkippedPath::MISSING; });
}

VersionRead FolderVersion::Read(const VersionFile& file, std::string& strBytes) const
{
    VersionRead read;
    strBytes.clear();
    // As a count opens it: never blocking on a FIFO, and only a regular file.
    const int nFd =
        NativePath::Open(NativePath::ToBytes(file.strLocation), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0)
        return read;
    struct stat st;
    if (::fstat(nFd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(nFd);
        return read;
    }
    read.id = FileId(st);
    read.dtModified = wxDateTime(static_cast<time_t>(st.st_mtime));
    read.bOtherNames = file.bLink || st.st_nlink > 1;
    ::posix_fadvise(nFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // The size is a hint: what is read is what counts, should the file
    // change meanwhile.
    std::size_t nUsed = 0;
    strBytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    for (;;)
    {
        if (nUsed == strBytes.size())
            strBytes.resize(strBytes.size() * 2);
        const ssize_t nRead = ::read(nFd, &strBytes[nUsed], strBytes.size() - nUsed);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
        {
            ::close(nFd);
            strBytes.clear();
            return read;
        }
        if (nRead == 0)
            break;
        nUsed += static_cast<std::size_t>(nRead);
    }
    ::close(nFd);
    strBytes.resize(nUsed);
    read.bRead = true;
    return read;
}
