#pragma once

#include "compare/VersionSource.h"

#include <functional>

// A version that is a folder on disk, walked as a count walks it.
class FolderVersion : public VersionSource
{
public:
    // strRoot: an absolute, normalised path (NativePath bytes kept).
    explicit FolderVersion(const wxString& strRoot) : m_strRoot(strRoot) {}

    // Leaves out the files fnIgnored names by their path below the root: a
    // working folder compared with its repository leaves out what git
    // ignores (build output), as git's own view of it does.
    void SetIgnored(std::function<bool(const std::string& strPath)> fnIgnored)
    {
        m_fnIgnored = std::move(fnIgnored);
    }

    wxString Name() const override { return m_strRoot; }
    const wxString& Root() const { return m_strRoot; }
    void List(CountingManager& manager, const std::vector<std::string>& arrFolders, bool bRecursive,
              std::vector<VersionFile>& arrFiles,
              std::vector<SkippedPath>& arrSkipped) const override;
    VersionRead Read(const VersionFile& file, std::string& strBytes) const override;

private:
    wxString m_strRoot;
    std::function<bool(const std::string& strPath)> m_fnIgnored;
};
