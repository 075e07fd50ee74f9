#include "compare/GitVersion.h"

#include "compare/GitLibrary.h"
#include "engine/CountingManager.h"
#include "engine/MessagePump.h"
#include "engine/NativePath.h"

#include <algorithm>
#include <cstring>
#include <git2.h>

namespace
{
std::string JoinPath(const std::string& strA, const std::string& strB)
{
    if (strA.empty())
        return strB;
    if (strB.empty())
        return strA;
    return strA + "/" + strB;
}

// Whether strPath is strFolder or below it ("" holds everything).
bool IsWithin(const std::string& strPath, const std::string& strFolder)
{
    return strFolder.empty() || strPath == strFolder ||
           (strPath.size() > strFolder.size() &&
            strPath.compare(0, strFolder.size(), strFolder) == 0 &&
            strPath[strFolder.size()] == '/');
}

// What one walk over a tree gathers.
struct TreeWalk
{
    const GitVersion* pVersion;
    CountingManager* pManager;
    std::string strFolder; // below the version's root, what the walk's paths are below
    bool bRecursive;
    const std::vector<std::string>* pWalked; // the given folders walked before
    std::vector<VersionFile>* pFiles;
    std::vector<SkippedPath>* pSkipped;
    unsigned nEntries = 0;
};

int OnEntry(const char* szRoot, const git_tree_entry* pEntry, void* pPayload)
{
    TreeWalk& walk = *static_cast<TreeWalk*>(pPayload);
    CountingManager& manager = *walk.pManager;
    // Keeps a window painted and lets Stop end the walk, as a folder's walk
    // does.
    if (++walk.nEntries % 64 == 0 && manager.GetMessagePump())
        manager.GetMessagePump()->HandleOnePendingEvent();
    if (manager.m_nState == CountingManager::STATE_STOPPED)
        return -1;

    const char* szName = git_tree_entry_name(pEntry);
    if (szName[0] == '.')
        return 1; // hidden: neither listed nor walked into
    switch (git_tree_entry_filemode(pEntry))
    {
    case GIT_FILEMODE_TREE:
    {
        if (!walk.bRecursive)
            return 1;
        // A given folder walked before is not walked again from above.
        const std::string strPath = JoinPath(walk.strFolder, std::string(szRoot) + szName);
        const auto itWalked = std::find(walk.pWalked->begin(), walk.pWalked->end(), strPath);
        if (itWalked == walk.pWalked->end())
            return 0;
        const wxString strShown = walk.pVersion->Name() + ":" + NativePath::FromBytes(strPath);
        walk.pSkipped->push_back(SkippedPath{SkippedPath::FOLDER, strShown, strShown});
        return 1;
    }
    case GIT_FILEMODE_BLOB:
    case GIT_FILEMODE_BLOB_EXECUTABLE:
        break;
    default:
        return 0; // a link or a submodule
    }
    const wxString strName = NativePath::FromBytes(szName);
    VersionFile file;
    file.strExt = CountingManager::GetFileExtension(strName).Lower();
    if (!manager.IsSelectedType(file.strExt, file.strRuleType))
        return 0;
    file.strPath = JoinPath(walk.strFolder, std::string(szRoot) + szName);
    file.bHasId = true;
    std::memcpy(file.arrId.data(), git_tree_entry_id(pEntry)->id, file.arrId.size());
    walk.pFiles->push_back(std::move(file));
    return 0;
}
} // namespace

GitVersion::~GitVersion()
{
    git_tree_free(m_pTree);
    git_odb_free(m_pOdb);
    git_repository_free(m_pRepo);
}

std::unique_ptr<GitVersion> GitVersion::Open(const wxString& strWhere, const wxString& strRevision,
                                             wxString& strError)
{
    GitLibrary::Use();
    std::unique_ptr<GitVersion> pVersion(new GitVersion);
    pVersion->m_strRevision = strRevision;
    const wxString strShown = "'" + NativePath::ToDisplay(strWhere) + "'";
    const int nOpened = git_repository_open_ext(&pVersion->m_pRepo,
                                                NativePath::ToBytes(strWhere).c_str(), 0, nullptr);
    if (nOpened == GIT_ENOTFOUND)
    {
        strError = "no git repository at or above " + strShown;
        return nullptr;
    }
    if (nOpened != 0)
    {
        // There is one, but it cannot be read (damaged, or of a newer format).
        strError = "cannot open the git repository at or above " + strShown + ": " +
                   GitLibrary::LastError("unknown error");
        return nullptr;
    }
    const wxScopedCharBuffer revision = strRevision.utf8_str();
    git_object* pObject = nullptr;
    if (git_revparse_single(&pObject, pVersion->m_pRepo, revision.data()) != 0)
    {
        strError = "no revision '" + strRevision + "' in the git repository at " + strShown + ": " +
                   GitLibrary::LastError("unknown");
        return nullptr;
    }
    git_object* pCommit = nullptr;
    if (git_object_peel(&pCommit, pObject, GIT_OBJECT_COMMIT) == 0)
    {
        pVersion->m_dtCommit = wxDateTime(
            static_cast<time_t>(git_commit_time(reinterpret_cast<git_commit*>(pCommit))));
        git_object_free(pCommit);
    }
    git_object* pTree = nullptr;
    const int nPeeled = git_object_peel(&pTree, pObject, GIT_OBJECT_TREE);
    git_object_free(pObject);
    if (nPeeled != 0)
    {
        strError = "the revision '" + strRevision + "' names no tree of files (" +
                   GitLibrary::LastError("it is a blob") + ")";
        return nullptr;
    }
    pVersion->m_pTree = reinterpret_cast<git_tree*>(pTree);
    if (git_repository_odb(&pVersion->m_pOdb, pVersion->m_pRepo) != 0)
    {
        strError = "cannot read the objects of the git repository at " + strShown + ": " +
                   GitLibrary::LastError("unknown error");
        return nullptr;
    }
    return pVersion;
}

wxString GitVersion::WorkDir() const
{
    const char* szWorkDir = git_repository_workdir(m_pRepo);
    if (!szWorkDir)
        return wxString();
    std::string str = szWorkDir;
    while (str.size() > 1 && str.back() == '/')
        str.pop_back();
    return NativePath::FromBytes(str);
}

void GitVersion::List(CountingManager& manager, const std::vector<std::string>& arrFolders,
                      bool bRecursive, std::vector<VersionFile>& arrFiles,
                      std::vector<SkippedPath>& arrSkipped) const
{
    // Each folder once, as a folder's walk takes it: one given twice, or
    // inside another given folder with its subfolders, is left to that one.
    std::vector<std::string> arrWalked;
    for (const std::string& strFolder : arrFolders)
    {
        const auto itIn = std::find_if(arrWalked.begin(), arrWalked.end(),
                                       [&](const std::string& strWalked) {
                                           return strFolder == strWalked ||
                                                  (bRecursive && IsWithin(strFolder, strWalked));
                                       });
        if (itIn != arrWalked.end())
        {
            arrSkipped.push_back(SkippedPath{SkippedPath::FOLDER,
                                             Name() + ":" + NativePath::FromBytes(strFolder),
                                             Name() + ":" + NativePath::FromBytes(*itIn)});
            continue;
        }
        arrWalked.push_back(strFolder);

        const std::string strPath = JoinPath(m_strRoot, strFolder);
        git_tree* pTree = m_pTree;
        git_tree* pSubtree = nullptr;
        if (!strPath.empty())
        {
            git_tree_entry* pEntry = nullptr;
            if (git_tree_entry_bypath(&pEntry, m_pTree, strPath.c_str()) != 0)
                continue; // not in this revision: nothing to list
            if (git_tree_entry_type(pEntry) == GIT_OBJECT_TREE)
                git_tree_lookup(&pSubtree, m_pRepo, git_tree_entry_id(pEntry));
            git_tree_entry_free(pEntry);
            if (!pSubtree)
                continue;
            pTree = pSubtree;
        }
        TreeWalk walk{this, &manager, strFolder, bRecursive, &arrWalked, &arrFiles, &arrSkipped};
        git_tree_walk(pTree, GIT_TREEWALK_PRE, OnEntry, &walk);
        git_tree_free(pSubtree);
        if (manager.m_nState == CountingManager::STATE_STOPPED)
            return;
    }
}

VersionRead GitVersion::Read(const VersionFile& file, std::string& strBytes) const
{
    VersionRead read;
    strBytes.clear();
    git_oid oid;
    std::memcpy(oid.id, file.arrId.data(), file.arrId.size());
    git_odb_object* pObject = nullptr;
    if (git_odb_read(&pObject, m_pOdb, &oid) != 0)
        return read;
    strBytes.assign(static_cast<const char*>(git_odb_object_data(pObject)),
                    git_odb_object_size(pObject));
    git_odb_object_free(pObject);
    read.bRead = true;
    read.dtModified = m_dtCommit;
    return read;
}

std::array<unsigned char, 20> GitVersion::BlobId(const std::string& strBytes)
{
    GitLibrary::Use();
    git_oid oid;
    std::array<unsigned char, 20> arrId{};
    if (git_odb_hash(&oid, strBytes.data(), strBytes.size(), GIT_OBJECT_BLOB) == 0)
        std::memcpy(arrId.data(), oid.id, arrId.size());
    return arrId;
}

bool GitVersion::IsIgnored(const std::string& strPath) const
{
    int nIgnored = 0;
    return git_ignore_path_is_ignored(&nIgnored, m_pRepo, strPath.c_str()) == 0 && nIgnored;
}

bool GitVersion::ListNames(const wxString& strWhere, std::vector<wxString>& arrTags,
                           std::vector<wxString>& arrBranches, wxString& strError)
{
    GitLibrary::Use();
    git_repository* pRepo = nullptr;
    if (git_repository_open_ext(&pRepo, NativePath::ToBytes(strWhere).c_str(), 0, nullptr) != 0)
    {
        strError = "no git repository at or above '" + NativePath::ToDisplay(strWhere) + "'";
        return false;
    }
    git_strarray tags{};
    if (git_tag_list(&tags, pRepo) == 0)
    {
        for (std::size_t i = 0; i < tags.count; ++i)
            arrTags.push_back(wxString::FromUTF8(tags.strings[i]));
        git_strarray_dispose(&tags);
    }
    git_branch_iterator* pBranches = nullptr;
    if (git_branch_iterator_new(&pBranches, pRepo, GIT_BRANCH_LOCAL) == 0)
    {
        git_reference* pRef = nullptr;
        git_branch_t nType;
        while (git_branch_next(&pRef, &nType, pBranches) == 0)
        {
            const char* szName = nullptr;
            if (git_branch_name(&szName, pRef) == 0)
                arrBranches.push_back(wxString::FromUTF8(szName));
            git_reference_free(pRef);
        }
        git_branch_iterator_free(pBranches);
    }
    git_repository_free(pRepo);
    std::sort(arrTags.begin(), arrTags.end());
    std::sort(arrBranches.begin(), arrBranches.end());
    return true;
}
