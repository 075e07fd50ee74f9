#pragma once

#include "engine/SkippedPath.h"

#include <cstdio>
#include <ostream>
#include <vector>
#include <wx/string.h>

class Comparison;
class CliOptions;
class CountingManager;

// linecast-cli from its arguments to its exit status: checks the input, counts
// the folders with the engine as the window does, prints the report and writes
// the CSV and JSON exports; or compares two versions. Exit status 0 after a
// count or comparison, 2 for bad input (nothing counted), 1 when the output or
// an export file cannot be written.
class CliApp
{
public:
    CliApp(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}
    virtual ~CliApp() = default;

    enum ExitStatus
    {
        EXIT_OK = 0,
        EXIT_FAILED = 1,
        EXIT_BAD_INPUT = 2,
    };

    int Run(const std::vector<wxString>& arrArgs);

    // Where the progress line goes; null (the default) shows none.
    void SetProgressStream(std::FILE* pStream) { m_pProgress = pStream; }

    static std::string HelpText();

private:
    int Error(const wxString& strMessage, int nStatus = EXIT_BAD_INPUT);
    // EXIT_OK once everything printed has been written, else an error.
    int OutputStatus();
    // One line on standard error: how many files could not be read, and the
    // first of them.
    void ReportUnreadable(const CountingManager& manager);
    // One line each for the folders and for the files the run skipped as
    // already included, with the first of them.
    void ReportSkipped(const std::vector<SkippedPath>& arrSkipped);
    // --compare: the comparison, its table and its exports.
    int Compare(CliOptions& options, CountingManager& manager);

    std::ostream& m_out;
    std::ostream& m_err;
    std::FILE* m_pProgress = nullptr;
};
