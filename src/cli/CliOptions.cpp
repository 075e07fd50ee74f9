#include "cli/CliOptions.h"

#include "compare/VersionSpec.h"
#include "config/UserRules.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "report/OutputFile.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/filefn.h>
#include <wx/filename.h>

namespace
{
// Two names of one regular file, or one name of a file still to be made: the
// second export would replace the first. A device such as /dev/null takes
// both.
bool SameFile(const wxString& strA, const wxString& strB)
{
    struct stat stA, stB;
    if (!NativePath::Stat(strA, stA))
        return strA == strB;
    return S_ISREG(stA.st_mode) && NativePath::Stat(strB, stB) && stA.st_dev == stB.st_dev &&
           stA.st_ino == stB.st_ino;
}

// Options that take a value, either as the next argument or after "=".
bool TakeValue(const std::vector<wxString>& arrArgs, std::size_t& i, const wxString& strName,
               wxString& strValue, bool& bMissing)
{
    const wxString& strArg = arrArgs[i];
    bMissing = false;
    if (strArg == strName)
    {
        if (i + 1 >= arrArgs.size())
        {
            bMissing = true;
            return true;
        }
        strValue = arrArgs[++i];
        return true;
    }
    if (strArg.StartsWith(strName + "=", &strValue))
        return true;
    return false;
}
} // namespace

bool CliOptions::Fail(const wxString& strMessage)
{
    m_strError = strMessage;
    return false;
}

bool CliOptions::Parse(const std::vector<wxString>& arrArgs)
{
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < arrArgs.size(); ++i)
    {
        const wxString& strArg = arrArgs[i];
        if (bOptionsEnded || !strArg.StartsWith("-") || strArg == "-")
        {
            m_arrDirs.push_back(strArg);
            continue;
        }
        if (strArg == "--")
        {
            bOptionsEnded = true;
            continue;
        }
        if (strArg == "--help" || strArg == "-h")
        {
            m_nAction = ACTION_HELP;
            return true;
        }
        if (strArg == "--version")
        {
            m_nAction = ACTION_VERSION;
            return true;
        }
        if (strArg == "--list-types")
        {
            m_nAction = ACTION_LIST_TYPES;
            continue;
        }
        if (strArg == "--no-recursive")
        {
            m_bRecursive = false;
            continue;
        }

        if (strArg == "--compare")
        {
            if (i + 2 >= arrArgs.size() || arrArgs[i + 1].empty() || arrArgs[i + 2].empty())
                return Fail("option --compare needs the old and the new version: a folder, or "
                            "git:REV for a revision");
            m_nAction = ACTION_COMPARE;
            m_strCompareOld = arrArgs[++i];
            m_strCompareNew = arrArgs[++i];
            continue;
        }

        wxString strValue;
        bool bMissing = false;
        if (TakeValue(arrArgs, i, "--rules", strValue, bMissing))
        {
            if (bMissing || strValue.empty())
                return Fail("option --rules needs a file name");
            m_strRulesPath = strValue;
        }
        else if (TakeValue(arrArgs, i, "--types", strValue, bMissing))
        {
            if (bMissing || SplitTypes(strValue).empty())
                return Fail("option --types needs file types such as \".c;.h\"");
            m_strTypes = strValue;
            m_bTypesGiven = true;
        }
        else if (TakeValue(arrArgs, i, "--csv", strValue, bMissing))
        {
            if (bMissing || strValue.empty())
                return Fail("option --csv needs a file name");
            m_strCsvPath = strValue;
        }
        else if (TakeValue(arrArgs, i, "--json", strValue, bMissing))
        {
            if (bMissing || strValue.empty())
                return Fail("option --json needs a file name");
            m_strJsonPath = strValue;
        }
        else if (TakeValue(arrArgs, i, "--repository", strValue, bMissing))
        {
            if (bMissing || strValue.empty())
                return Fail("option --repository needs a folder");
            m_strRepository = strValue;
        }
        else if (TakeValue(arrArgs, i, "--jobs", strValue, bMissing))
        {
            unsigned long nJobs = 0;
            if (bMissing || !strValue.ToCULong(&nJobs) || nJobs < 1 || nJobs > MAX_JOBS)
                return Fail(wxString::Format("option --jobs needs a number of threads from 1 to %u",
                                             MAX_JOBS));
            m_nJobs = static_cast<unsigned>(nJobs);
        }
        else if (TakeValue(arrArgs, i, "--param", strValue, bMissing))
        {
            if (bMissing)
                return Fail("option --param needs NAME=VALUE, such as ManMonthLines=5000");
            if (!SetParam(strValue))
                return false;
        }
        else
            return Fail("unknown option '" + strArg + "' (see linecast-cli --help)");
    }

    if (m_nAction == ACTION_COUNT && m_arrDirs.empty())
        return Fail("no folder to count given (see linecast-cli --help)");
    if (m_strCsvPath == "-" && m_strJsonPath == "-")
        return Fail("only one of --csv and --json can write to standard output");
    if (!m_strCsvPath.empty() && m_strCsvPath != "-" && SameFile(m_strCsvPath, m_strJsonPath))
        return Fail("the CSV and the JSON file cannot be the same file '" +
                    NativePath::ToDisplay(m_strCsvPath) + "'");
    // Checked now rather than after a long count that would then be lost.
    return CheckTarget(m_strCsvPath, "CSV") && CheckTarget(m_strJsonPath, "JSON");
}

bool CliOptions::CheckTarget(const wxString& strPath, const char* szKind)
{
    wxString strReason;
    if (strPath.empty() || strPath == "-" || CheckOutputTarget(strPath, strReason))
        return true;
    return Fail(wxString("cannot write the ") + szKind + " file '" +
                NativePath::ToDisplay(strPath) + "': " + strReason);
}

bool CliOptions::SetParam(const wxString& strAssignment)
{
    std::size_t nCount = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nCount);

    const wxString strName = strAssignment.BeforeFirst('=').Trim().Trim(false);
    const AnalysisParamInfo* pInfo = nullptr;
    for (std::size_t i = 0; i < nCount; ++i)
    {
        if (strName.CmpNoCase(pInfos[i].name) == 0)
            pInfo = &pInfos[i];
    }
    if (!pInfo)
    {
        wxString strKnown;
        for (std::size_t i = 0; i < nCount; ++i)
            strKnown += (i ? ", " : "") + wxString(pInfos[i].name);
        return Fail("unknown parameter '" + strName + "'; the parameters are " + strKnown);
    }
    if (!strAssignment.Contains("="))
        return Fail(wxString::Format("parameter %s needs a value: --param %s=%d", pInfo->name,
                                     pInfo->name, pInfo->nDefault));

    const wxString strValue = strAssignment.AfterFirst('=').Trim().Trim(false);
    long nValue = 0;
    if (strValue.empty() || !strValue.ToCLong(&nValue))
        return Fail(
            wxString::Format("parameter %s needs a whole number, not '%s'", pInfo->name, strValue));
    if (nValue < pInfo->nMin || nValue > pInfo->nMax)
        return Fail(wxString::Format("parameter %s must be from %d to %d %s, not %s", pInfo->name,
                                     pInfo->nMin, pInfo->nMax, pInfo->units, strValue));
    m_analysisParam.*(pInfo->field) = int(nValue);
    m_analysisParam.m_bModified = true;
    return true;
}

bool CliOptions::CheckFolder(wxString& strDir, wxString& strError)
{
    const wxString strShown = NativePath::ToDisplay(strDir);
    struct stat st;
    if (!NativePath::Stat(strDir, st))
    {
        strError = "no such folder: '" + strShown + "'";
        return false;
    }
    if (!S_ISDIR(st.st_mode))
    {
        strError = "not a folder: '" + strShown + "'";
        return false;
    }
    const int nFd = NativePath::Open(strDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd < 0)
    {
        strError = "cannot read the folder '" + strShown + "'";
        return false;
    }
    close(nFd);

    // The run lists full paths; "." or "src/../lib" would show up as such in
    // every file line. Only the text changes here, so names that are not
    // UTF-8 keep their bytes.
    wxFileName name = wxFileName::DirName(strDir);
    name.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE | wxPATH_NORM_TILDE,
                   NativePath::GetCwd());
    wxString strFull = name.GetPath();
    if (strFull.empty())
        strFull = wxString(wxFILE_SEP_PATH);
    strDir = strFull;
    return true;
}

bool CliOptions::CheckFolders()
{
    if (m_nAction != ACTION_COMPARE)
    {
        for (wxString& strDir : m_arrDirs)
        {
            if (!CheckFolder(strDir, m_strError))
                return false;
        }
        return true;
    }
    for (wxString* pVersion : {&m_strCompareOld, &m_strCompareNew})
    {
        if (VersionSpec::IsRevision(*pVersion))
            continue;
        if (!CheckFolder(*pVersion, m_strError))
            return false;
    }
    for (const wxString& strDir : m_arrDirs)
    {
        if (strDir.StartsWith("/") || wxSplit(strDir, '/', '\0').Index("..") != wxNOT_FOUND)
            return Fail("the folders to compare are below both versions' folders, such as "
                        "'src', not '" +
                        NativePath::ToDisplay(strDir) + "'");
    }
    return true;
}

std::vector<std::string> CliOptions::CompareFolders() const
{
    std::vector<std::string> arrFolders;
    for (const wxString& strDir : m_arrDirs)
    {
        // "./src/" and "src" are the same folder; "." is the root.
        std::string strPath;
        for (const wxString& strPart : wxSplit(strDir, '/', '\0'))
        {
            if (strPart.empty() || strPart == ".")
                continue;
            strPath += (strPath.empty() ? "" : "/") + NativePath::ToBytes(strPart);
        }
        arrFolders.push_back(strPath);
    }
    return arrFolders;
}

wxString CliOptions::ResolveRulesPath(const wxString& strUserRules,
                                      const wxString& strShippedRules) const
{
    if (!m_strRulesPath.empty())
        return m_strRulesPath;
    // A broken copy is still the user's: it is reported, not passed over for
    // rules the window would not count with.
    return PathIsTaken(strUserRules) ? strUserRules : strShippedRules;
}

wxArrayString CliOptions::SplitTypes(const wxString& strTypes)
{
    wxArrayString arrTypes;
    for (wxString strType : wxSplit(strTypes, ';', '\0'))
    {
        strType.Trim().Trim(false);
        // "*.c" and "c" mean ".c" as well: the forms people type for a file type.
        if (strType.StartsWith("*"))
            strType.Remove(0, 1);
        if (strType.empty())
            continue;
        if (!strType.StartsWith("."))
            strType.Prepend(".");
        strType.MakeLower();
        if (arrTypes.Index(strType) == wxNOT_FOUND)
            arrTypes.push_back(strType);
    }
    return arrTypes;
}

bool CliOptions::SelectTypes(CountingManager& manager)
{
    wxArrayString arrKnown;
    for (const auto& entry : manager.m_extensionTable)
        arrKnown.push_back(entry.first);
    arrKnown.Sort();
    if (arrKnown.empty())
        return Fail("the rules file '" + manager.GetRulesPath() + "' lists no file types");

    wxArrayString arrWanted = m_bTypesGiven ? SplitTypes(m_strTypes) : arrKnown;
    for (const wxString& strType : arrWanted)
    {
        if (manager.m_extensionTable.find(strType) == manager.m_extensionTable.end())
            return Fail("unknown file type '" + strType + "'; the rules file knows " +
                        wxJoin(arrKnown, ' ', '\0'));
    }
    for (auto& entry : manager.m_extensionTable)
        entry.second->m_bSelected = arrWanted.Index(entry.first) != wxNOT_FOUND;
    arrWanted.Sort();
    m_arrSelectedTypes = arrWanted;
    return true;
}
