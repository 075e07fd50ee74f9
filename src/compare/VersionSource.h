#pragma once

#include "engine/FileId.h"
#include "engine/SkippedPath.h"

#include <array>
#include <string>
#include <vector>
#include <wx/datetime.h>
#include <wx/string.h>

class CountingManager;

// One file of a version, as listed.
struct VersionFile
{
    std::string strPath;  // below the version's root, '/'-separated, as bytes
    wxString strExt;      // lower-case extension with its dot
    wxString strRuleType; // of its file type
    wxString strLocation; // a folder's file: its full path (NativePath); else empty
    bool bLink = false;   // a folder's file that is a symbolic link
    // Its git blob id, when the version knows it without reading the file.
    bool bHasId = false;
    std::array<unsigned char, 20> arrId{};
};

// What reading a listed file found besides its bytes.
struct VersionRead
{
    bool bRead = false;       // false: it could not be read (gone, not a file, an I/O error)
    FileId id;                // of a folder's file, to tell hard links; unknown otherwise
    bool bOtherNames = false; // it may be met again under another name
    // When it was last changed: a folder's file its modification time, a
    // revision's files the time of its commit; invalid when unknown.
    wxDateTime dtModified;
};

// One version of the files to compare: a folder, or a revision of a git
// repository. Files are known by their path below the version's root, which
// pairs them with the other version's.
class VersionSource
{
public:
    virtual ~VersionSource() = default;

    // The version as the user names it: a folder's path, or "git:REV".
    virtual wxString Name() const = 0;

    // Appends the files of the manager's selected types below each of
    // arrFolders (paths below the root, "" for the root itself; with their
    // subfolders when bRecursive), each folder and file once, as a count of
    // them would: the manager's walk for a folder, with its pumps and Stop
    // (the manager's run state). What is left out as already included is
    // appended to arrSkipped.
    virtual void List(CountingManager& manager, const std::vector<std::string>& arrFolders,
                      bool bRecursive, std::vector<VersionFile>& arrFiles,
                      std::vector<SkippedPath>& arrSkipped) const = 0;

    // Reads a listed file whole. Safe on any thread, with other reads at the
    // same time.
    virtual VersionRead Read(const VersionFile& file, std::string& strBytes) const = 0;

    // The time every file of the version was last changed, when they share
    // one (a revision: its commit's time); invalid for a folder.
    virtual wxDateTime SharedTime() const { return wxDateTime(); }
};
