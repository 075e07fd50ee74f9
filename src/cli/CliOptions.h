#pragma once

#include "report/AnalysisParam.h"

#include <string>
#include <vector>
#include <wx/arrstr.h>
#include <wx/string.h>

class CountingManager;

// What one invocation of linecast-cli asks for, read from its arguments and
// checked before anything is counted. Every check leaves a one-line message in
// m_strError when it fails.
class CliOptions
{
public:
    enum Action
    {
        ACTION_COUNT,
        ACTION_COMPARE, // --compare OLD NEW [FOLDER...]
        ACTION_LIST_TYPES,
        ACTION_HELP,
        ACTION_VERSION,
    };

    virtual ~CliOptions() = default;

    static constexpr unsigned MAX_JOBS = 256;

    // Reads the arguments (without the program name): options, parameter names
    // and values against their limits, and the folders as given.
    bool Parse(const std::vector<wxString>& arrArgs);

    // Each folder must exist and be a readable folder; they become absolute,
    // normalised paths in m_arrDirs. For a comparison, the versions that are
    // folders are checked so, and m_arrDirs are folders below both versions'
    // roots, relative and without "..".
    bool CheckFolders();
    // One folder, as CheckFolders checks it (strError says why it fails).
    static bool CheckFolder(wxString& strDir, wxString& strError);
    // m_arrDirs of a comparison as '/'-separated paths below the roots.
    std::vector<std::string> CompareFolders() const;

    // The rules file to read: --rules, else the user's own copy when there is
    // one (the window's rules), else the shipped one.
    wxString ResolveRulesPath(const wxString& strUserRules, const wxString& strShippedRules) const;

    // Marks the chosen file types selected in the manager's extension table:
    // those of --types, or every known type. Fails on a type the rules file
    // does not know, naming the known ones.
    bool SelectTypes(CountingManager& manager);

    // The ";"-separated type text split into extensions as stored in the
    // extension table (lower case, leading dot); empty pieces are dropped.
    static wxArrayString SplitTypes(const wxString& strTypes);

    Action m_nAction = ACTION_COUNT;
    wxArrayString m_arrDirs;
    wxString m_strRulesPath;
    wxString m_strTypes;
    bool m_bTypesGiven = false;
    bool m_bRecursive = true;
    wxString m_strCsvPath;
    wxString m_strJsonPath;
    wxString m_strCompareOld; // a folder, or "git:REV"
    wxString m_strCompareNew;
    wxString m_strRepository; // where the revisions' repository is, if given
    unsigned m_nJobs = 0;     // 0: as many as the processor has cores
    AnalysisParam m_analysisParam;
    wxArrayString m_arrSelectedTypes; // filled by SelectTypes, sorted
    wxString m_strError;

private:
    bool Fail(const wxString& strMessage);
    bool SetParam(const wxString& strAssignment);
    bool CheckTarget(const wxString& strPath, const char* szKind);
};
