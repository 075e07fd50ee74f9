#pragma once

#include "compare/VersionSource.h"

#include <memory>

struct git_odb;
struct git_repository;
struct git_tree;

// A version that is a revision (a tag, branch, commit or anything else git
// names a tree by) of a git repository, read straight from its object
// database: nothing is checked out. Symbolic links and submodules in the
// revision are left out, as are hidden names (starting with a dot), which a
// folder's walk never lists either.
class GitVersion : public VersionSource
{
public:
    ~GitVersion() override;

    // Opens the repository at or above strWhere and finds strRevision in it.
    // Null, with a message in strError, for no repository or an unknown
    // revision.
    static std::unique_ptr<GitVersion> Open(const wxString& strWhere, const wxString& strRevision,
                                            wxString& strError);

    // The repository's working folder (absolute, without a trailing
    // separator), or empty for a bare repository.
    wxString WorkDir() const;
    // Takes the folder strFolder of the revision ('/'-separated bytes, ""
    // for the whole tree) as the version's root. A folder the revision does
    // not have is an empty version.
    void SetRoot(const std::string& strFolder) { m_strRoot = strFolder; }

    wxString Name() const override { return "git:" + m_strRevision; }
    void List(CountingManager& manager, const std::vector<std::string>& arrFolders, bool bRecursive,
              std::vector<VersionFile>& arrFiles,
              std::vector<SkippedPath>& arrSkipped) const override;
    VersionRead Read(const VersionFile& file, std::string& strBytes) const override;
    // Git keeps no time per file: each has its commit's time, the time the
    // revision's content was last changed as a whole. A tree named by its id
    // alone has none.
    wxDateTime SharedTime() const override { return m_dtCommit; }

    // Whether git ignores the file at strPath below the working folder
    // ('/'-separated bytes), as its .gitignore files and exclude rules say.
    bool IsIgnored(const std::string& strPath) const;

    // The tags and the local branches of the repository at or above
    // strWhere, each sorted, for choosing a revision. False, with a message
    // in strError, when there is no repository.
    static bool ListNames(const wxString& strWhere, std::vector<wxString>& arrTags,
                          std::vector<wxString>& arrBranches, wxString& strError);

    // The git blob id of bytes, as a file's would be in a repository.
    static std::array<unsigned char, 20> BlobId(const std::string& strBytes);

private:
    GitVersion() = default;

    git_repository* m_pRepo = nullptr;
    git_odb* m_pOdb = nullptr; // safe to read from several threads at once
    git_tree* m_pTree = nullptr;
    wxString m_strRevision;
    std::string m_strRoot;
    wxDateTime m_dtCommit;
};
