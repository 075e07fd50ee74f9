#pragma once

#include "compare/VersionSource.h"

// A version that is a folder on disk, walked as a count walks it.
class FolderVersion : public VersionSource
{
public:
    // strRoot: an absolute, normalised path (NativePath bytes kept).
    explicit FolderVersion(const wxString& strRoot) : m_strRoot(strRoot) {}

    wxString Name() const override { return m_strRoot; }
    const wxString& Root() const { return m_strRoot; }
    void List(CountingManager& manager, const std::vector<std::string>& arrFolders,
              bool bRecursive, std::vector<VersionFile>& arrFiles,
              std::vector<SkippedPath>& arrSkipped) const override;
    VersionRead Read(const VersionFile& file, std::string& strBytes) const override;

private:
    wxString m_strRoot;
};
