#pragma once

#include "engine/Hundredths.h"

#include <cstdint>
#include <wx/datetime.h>
#include <wx/string.h>

// Counts and estimates of one file or of a sum of files. Counts are 64-bit so
// that files over 2 GiB keep their real size and large trees do not wrap;
// estimates are doubles held in hundredths (Hundredths.h), so sums are exact.
class Result
{
public:
    virtual ~Result() = default;

    // Adds one file's counts and estimates into this sum.
    void Add(const Result& file)
    {
        ++m_nFiles;
        AddCounts(file);
        m_fManHour = Hundredths::Sum(m_fManHour, file.m_fManHour);
        m_fCost = Hundredths::Sum(m_fCost, file.m_fCost);
        m_fUTCases = Hundredths::Sum(m_fUTCases, file.m_fUTCases);
        m_fUTDefects = Hundredths::Sum(m_fUTDefects, file.m_fUTDefects);
        m_fITCases = Hundredths::Sum(m_fITCases, file.m_fITCases);
        m_fITDefects = Hundredths::Sum(m_fITDefects, file.m_fITDefects);
    }

    // Adds one file's size and line counts and counts the file, leaving the
    // estimates alone (the regrouped folder and extension sums carry none).
    void AddCountsOf(const Result& file)
    {
        ++m_nFiles;
        AddCounts(file);
    }

    std::int64_t m_nFiles = 0;
    std::int64_t m_nSize = 0;
    std::int64_t m_nLines = 0;
    std::int64_t m_nCodeLines = 0;
    std::int64_t m_nCodeCommentLines = 0;
    std::int64_t m_nCommentLines = 0;
    std::int64_t m_nBlankLines = 0;
    double m_fManHour = 0;
    double m_fCost = 0;
    double m_fUTCases = 0;
    double m_fUTDefects = 0;
    double m_fITCases = 0;
    double m_fITDefects = 0;

private:
    void AddCounts(const Result& file)
    {
        m_nSize += file.m_nSize;
        m_nLines += file.m_nLines;
        m_nCodeLines += file.m_nCodeLines;
        m_nCodeCommentLines += file.m_nCodeCommentLines;
        m_nCommentLines += file.m_nCommentLines;
        m_nBlankLines += file.m_nBlankLines;
    }
};

// Paths and names keep bytes that are not UTF-8 as NativePath does: open by
// them as they are, and show them through NativePath::ToDisplay.
class FileResult : public Result
{
public:
    wxString m_strPath;   // folder, one separator, file name
    wxString m_strFolder; // the path before its last separator
    wxString m_strFile;   // the path after its last separator
    wxString m_strExt;    // lower-case extension with its dot
    wxDateTime m_dtModified;
    bool m_bVisible = true;
    // It could not be opened or read: it counts as a file of zero lines, and
    // the command line names it.
    bool m_bUnreadable = false;
};

class DirectoryResult : public Result
{
public:
    wxString m_strName;
};

class ExtensionResult : public Result
{
public:
    wxString m_strName;
};

class TotalResult : public Result
{
};
