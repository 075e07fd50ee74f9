#include "compare/VersionSpec.h"

#include "compare/FolderVersion.h"
#include "compare/GitVersion.h"
#include "engine/NativePath.h"

#include <cstdlib>

namespace
{
// The real path of a folder, links resolved; empty when it cannot be found.
std::string RealPath(const wxString& strPath)
{
    char* pReal = ::realpath(NativePath::ToBytes(strPath).c_str(), nullptr);
    if (!pReal)
        return std::string();
    std::string str = pReal;
    std::free(pReal);
    return str;
}

// Where strFolder lies below strWorkDir ('/'-separated, "" for the work
// folder itself); false when it lies elsewhere.
bool PlaceIn(const wxString& strWorkDir, const wxString& strFolder, std::string& strPlace)
{
    const std::string strTop = RealPath(strWorkDir);
    const std::string strReal = RealPath(strFolder);
    if (strTop.empty() || strReal.empty())
        return false;
    if (strReal == strTop)
    {
        strPlace.clear();
        return true;
    }
    const std::string strPrefix = strTop == "/" ? strTop : strTop + "/";
    if (strReal.compare(0, strPrefix.size(), strPrefix) != 0)
        return false;
    strPlace = strReal.substr(strPrefix.size());
    return true;
}
} // namespace

bool VersionSpec::IsRevision(const wxString& strSpec, wxString* pRevision)
{
    wxString strRevision;
    if (!strSpec.StartsWith("git:", &strRevision))
        return false;
    if (pRevision)
        *pRevision = strRevision;
    return true;
}

bool VersionSpec::Open(const wxString& strOld, const wxString& strNew,
                       const wxString& strRepository, std::unique_ptr<VersionSource>& pOld,
                       std::unique_ptr<VersionSource>& pNew, wxString& strError)
{
    const bool bOldGit = IsRevision(strOld);
    const bool bNewGit = IsRevision(strNew);
    // The compared folder the repository is looked for from, if any.
    const wxString strFolder = !bNewGit ? strNew : !bOldGit ? strOld : wxString();
    wxString strWhere = strRepository;
    if (strWhere.empty())
        strWhere = strFolder.empty() ? NativePath::GetCwd() : strFolder;

    // The compared folder, and the revision it lies in the working folder of.
    FolderVersion* pFolder = nullptr;
    GitVersion* pGitOfFolder = nullptr;
    std::string strFolderPlace;
    const auto open = [&](const wxString& strSpec, std::unique_ptr<VersionSource>& pVersion)
    {
        wxString strRevision;
        if (!IsRevision(strSpec, &strRevision))
        {
            auto pNewFolder = std::make_unique<FolderVersion>(strSpec);
            if (strSpec == strFolder)
                pFolder = pNewFolder.get();
            pVersion = std::move(pNewFolder);
            return true;
        }
        if (strRevision.empty())
        {
            strError = "'git:' needs a revision, such as git:HEAD or git:v1.0";
            return false;
        }
        std::unique_ptr<GitVersion> pGit = GitVersion::Open(strWhere, strRevision, strError);
        if (!pGit)
            return false;
        std::string strPlace;
        if (!strFolder.empty() && PlaceIn(pGit->WorkDir(), strFolder, strPlace))
        {
            pGit->SetRoot(strPlace);
            pGitOfFolder = pGit.get();
            strFolderPlace = strPlace;
        }
        pVersion = std::move(pGit);
        return true;
    };
    if (!open(strOld, pOld) || !open(strNew, pNew))
        return false;
    if (pFolder && pGitOfFolder)
        pFolder->SetIgnored(
            [pGitOfFolder, strFolderPlace](const std::string& strPath)
            {
                return pGitOfFolder->IsIgnored(
                    strFolderPlace.empty() ? strPath : strFolderPlace + "/" + strPath);
            });
    return true;
}

void VersionSpec::SplitFolders(const wxArrayString& arrDirs, wxString& strRoot,
                               std::vector<std::string>& arrFolders)
{
    arrFolders.clear();
    strRoot.clear();
    if (arrDirs.empty())
        return;
    // Compared as bytes, cut only at a separator.
    const auto trimmed = [](const wxString& strDir)
    {
        std::string str = NativePath::ToBytes(strDir);
        while (str.size() > 1 && str.back() == '/')
            str.pop_back();
        return str;
    };
    std::string strCommon = trimmed(arrDirs[0]);
    for (const wxString& strDir : arrDirs)
    {
        const std::string str = trimmed(strDir);
        while (!strCommon.empty() && str != strCommon &&
               !(str.compare(0, strCommon.size(), strCommon) == 0 &&
                 (strCommon == "/" || str[strCommon.size()] == '/')))
        {
            const std::size_t nSlash = strCommon.rfind('/');
            strCommon =
                nSlash == 0 ? "/" : strCommon.substr(0, nSlash == std::string::npos ? 0 : nSlash);
        }
    }
    for (const wxString& strDir : arrDirs)
    {
        const std::string str = trimmed(strDir);
        const std::size_t nSkip = str.size() == strCommon.size()
                                      ? str.size()
                                      : strCommon.size() + (strCommon == "/" ? 0 : 1);
        arrFolders.push_back(str.substr(nSkip));
    }
    strRoot = NativePath::FromBytes(strCommon);
}
