#pragma once

#include "engine/Result.h"

#include <cstdint>
#include <wx/datetime.h>
#include <wx/string.h>

// Lines of one kind between an old and a new version of files: the same in
// both, changed (a removed line paired with an added one in the same place),
// only in the new version, only in the old one.
struct LineChanges
{
    void Add(const LineChanges& other)
    {
        m_nSame += other.m_nSame;
        m_nModified += other.m_nModified;
        m_nAdded += other.m_nAdded;
        m_nRemoved += other.m_nRemoved;
    }

    std::int64_t m_nSame = 0;
    std::int64_t m_nModified = 0;
    std::int64_t m_nAdded = 0;
    std::int64_t m_nRemoved = 0;
};

// The change of one file, or the sum of the changes of files. A line counts
// under the kind it has in its own version: same, modified and added lines
// under their new kind, removed lines under their old one; every line counts
// under KIND_LINES. The markup counters' lines of script with a comment count
// as code and as comment, as in a count.
class ChangeResult
{
public:
    enum Kind
    {
        KIND_LINES, // all lines
        KIND_CODE,
        KIND_CODE_COMMENT,
        KIND_COMMENT,
        KIND_BLANK,
        KIND_COUNT
    };
    enum Status
    {
        STATUS_SAME,
        STATUS_MODIFIED,
        STATUS_ADDED,
        STATUS_REMOVED,
        STATUS_COUNT
    };

    virtual ~ChangeResult() = default;

    // "same", "modified", "added", "removed": as the exports write a status.
    static const char* StatusName(Status nStatus)
    {
        static const char* const NAMES[STATUS_COUNT] = {"same", "modified", "added", "removed"};
        return NAMES[nStatus];
    }

    // Adds one file's change into this sum.
    void Add(const ChangeResult& file)
    {
        ++m_nFiles;
        for (int i = 0; i < STATUS_COUNT; ++i)
            m_arrFiles[i] += file.m_arrFiles[i];
        for (int i = 0; i < KIND_COUNT; ++i)
            m_arrKinds[i].Add(file.m_arrKinds[i]);
        m_changed.Add(file.m_changed);
    }

    // As a line diff counts them, all kinds together: a modified line is one
    // removed and one added.
    std::int64_t LinesAdded() const
    {
        return m_arrKinds[KIND_LINES].m_nAdded + m_arrKinds[KIND_LINES].m_nModified;
    }
    std::int64_t LinesRemoved() const
    {
        return m_arrKinds[KIND_LINES].m_nRemoved + m_arrKinds[KIND_LINES].m_nModified;
    }

    std::int64_t m_nFiles = 0;                  // files in either version
    std::int64_t m_arrFiles[STATUS_COUNT] = {}; // of them, by status
    LineChanges m_arrKinds[KIND_COUNT];
    // The changed lines counted as a count counts lines: m_nLines all added
    // and modified lines, m_nCodeLines and m_nCodeCommentLines those of code
    // and of code and comment, and the estimates made from those two as for a
    // counted file. Its m_nFiles counts the files summed.
    Result m_changed;
};

// The change of one file, found under the same path below both versions'
// folders.
class FileChange : public ChangeResult
{
public:
    Status m_nStatus = STATUS_SAME;
    wxString m_strPath;   // below the compared folder, '/'-separated; bytes kept as NativePath does
    wxString m_strFolder; // the path before its last '/', "." for none
    wxString m_strFile;   // the path after it
    wxString m_strExt;    // lower-case extension with its dot
    // When the new version was last changed, or the old one for a removed
    // file (VersionRead::dtModified); invalid when unknown.
    wxDateTime m_dtModified;
    // A version of it could not be read: that version counts as an empty
    // file, and the command line names it.
    bool m_bUnreadable = false;
    // The line diff failed (a file too large for it): every old line counts
    // as removed and every new one as added.
    bool m_bNotDiffed = false;
};

// The sum of the changes of the files of one folder or of one extension.
class ChangeGroup : public ChangeResult
{
public:
    wxString m_strName;
};
