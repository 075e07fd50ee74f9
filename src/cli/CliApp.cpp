#include "cli/CliApp.h"

#include "cli/CliChangeReport.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "compare/Comparison.h"
#include "compare/VersionSpec.h"
#include "config/DataFiles.h"
#include "config/UserRules.h"
#include "config/Version.h"
#include "engine/CountingManager.h"
#include "engine/CountingParam.h"
#include "engine/NativePath.h"
#include "report/ChangeCsvWriter.h"
#include "report/ChangeJsonWriter.h"
#include "report/CsvWriter.h"
#include "report/JsonWriter.h"

#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string Utf8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

// "2 files could not be read ...: 'a', 'b'": how many paths, what befell
// them, and the first three of them. Empty for no path.
wxString PathsLine(const std::vector<wxString>& arrPaths, const char* szOne, const char* szMany,
                   const char* szWhat)
{
    const std::size_t nShown = 3;
    if (arrPaths.empty())
        return wxString();
    wxString strLine =
        std::to_string(arrPaths.size()) + (arrPaths.size() == 1 ? szOne : szMany) + szWhat + ": ";
    for (std::size_t i = 0; i < arrPaths.size() && i < nShown; ++i)
        strLine += wxString(i ? ", '" : "'") + NativePath::ToDisplay(arrPaths[i]) + "'";
    if (arrPaths.size() > nShown)
        strLine += " and " + std::to_string(arrPaths.size() - nShown) + " more";
    return strLine;
}
} // namespace

void CliApp::ReportUnreadable(const CountingManager& manager)
{
    std::vector<wxString> arrPaths;
    for (const auto& pFile : manager.m_arrFileResults)
    {
        if (pFile->m_bUnreadable)
            arrPaths.push_back(pFile->m_strPath);
    }
    const wxString strLine =
        PathsLine(arrPaths, " file", " files", " could not be read and counted as empty");
    if (!strLine.empty())
        Error(strLine);
}

void CliApp::ReportSkipped(const std::vector<SkippedPath>& arrSkipped)
{
    // A folder checked before the run can still be gone by the time the run
    // comes to it.
    std::vector<wxString> arrFolders, arrFiles, arrGone;
    for (const SkippedPath& skipped : arrSkipped)
    {
        if (skipped.m_nReason != SkippedPath::ALREADY_INCLUDED)
            arrGone.push_back(skipped.m_strPath);
        else
            (skipped.m_nKind == SkippedPath::FOLDER ? arrFolders : arrFiles)
                .push_back(skipped.m_strPath);
    }
    for (const wxString& strLine :
         {PathsLine(arrGone, " folder", " folders", " left out as gone or unreadable"),
          PathsLine(arrFolders, " folder", " folders", " skipped as already included"),
          PathsLine(arrFiles, " file", " files", " skipped as already counted under another name")})
    {
        if (!strLine.empty())
            Error(strLine);
    }
}

int CliApp::OutputStatus()
{
    // A full disk or a closed descriptor must not leave a script believing
    // the report or the CSV reached its file.
    m_out.flush();
    if (m_out)
        return EXIT_OK;
    return Error("cannot write to standard output", EXIT_FAILED);
}

int CliApp::Error(const wxString& strMessage, int nStatus)
{
    m_err << "linecast-cli: " << Utf8(strMessage) << std::endl;
    return nStatus;
}

std::string CliApp::HelpText()
{
    std::string str =
        "Usage: linecast-cli [options] DIR...\n"
        "       linecast-cli [options] --compare OLD NEW [FOLDER...]\n"
        "Counts code, comment, code-and-comment and blank lines of the source files\n"
        "in the given folders, and estimates cost and effort from them.\n"
        "\n"
        "With --compare, compares an old and a new version of a tree line by line:\n"
        "same, modified, added and removed lines by file type and kind, and the\n"
        "estimates of the changed code (code lines added or modified). OLD and NEW\n"
        "are each a folder, or git:REV for a revision of a git repository read\n"
        "straight from it (REV as git reads it: a tag, branch or commit, HEAD~2,\n"
        "v6.0:drivers; nothing is checked out). The repository is the one given\n"
        "with --repository, else the one the compared folder lies in, else the one\n"
        "the working folder lies in; a revision is taken from the compared folder's\n"
        "place in it, so \"--compare git:HEAD .\" shows what changed in the working\n"
        "folder since the last commit (leaving out the files git ignores there).\n"
        "Files pair by their path below OLD and NEW;\n"
        "FOLDER... limits the comparison to those folders below both (default: all).\n"
        "A folder whose name starts with \"git:\" is given as ./git:NAME.\n"
        "\n"
        "Options:\n"
        "  --rules FILE         rules file (default: the window's own copy,\n"
        "                       ~/.config/linecast/conf.xml, if present, else the one\n"
        "                       shipped with the program)\n"
        "  --types \".c;.h\"      file types to count, separated by \";\" (default: all)\n"
        "  --no-recursive       count the given folders only, not their subfolders\n"
        "  --jobs N             count on N threads (default: one per processor core);\n"
        "                       the results are the same for every N\n"
        "  --param NAME=VALUE   set an analysis parameter (may be repeated)\n"
        "  --csv FILE           also write the results as a CSV file; \"-\" writes it\n"
        "                       to standard output instead of the table\n"
        "  --json FILE          also write the results as one JSON object; \"-\" writes\n"
        "                       it to standard output instead of the table (--csv and\n"
        "                       --json may be given together)\n"
        "  --compare OLD NEW    compare two versions instead of counting (above)\n"
        "  --repository DIR     the git repository of git:REV versions\n"
        "  --list-types         print the known file types and exit\n"
        "  --help               print this help and exit\n"
        "  --version            print the version and exit\n"
        "\n"
        "Parameters (default, limits):\n";
    std::size_t nCount = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nCount);
    for (std::size_t i = 0; i < nCount; ++i)
    {
        const AnalysisParamInfo& info = pInfos[i];
        std::string strName = info.name;
        strName.resize(std::max<std::size_t>(strName.size(), 17), ' ');
        str += "  " + strName + std::to_string(info.nDefault) + " " + info.units + " (" +
               std::to_string(info.nMin) + " to " + std::to_string(info.nMax) + ")\n";
    }
    str += "\n"
           "Files that cannot be read count as empty; a line on standard error names them.\n"
           "Each folder and file is counted once, however many of the given folders or\n"
           "links reach it; a line on standard error names what was skipped.\n"
           "Exit status: 0 after a count or comparison, 2 for bad input (nothing is\n"
           "counted: also an unknown revision or a folder that is no repository),\n"
           "1 when the output or the CSV or JSON file cannot be written.\n";
    return str;
}

int CliApp::Run(const std::vector<wxString>& arrArgs)
{
    // Every problem is told once, in this tool's own words; the library's log
    // messages (an XML parser error, a file that cannot be opened) would only
    // repeat it or add noise to the output.
    wxLogNull noLog;
    CliOptions options;
    if (!options.Parse(arrArgs))
        return Error(options.m_strError);
    if (options.m_nAction == CliOptions::ACTION_HELP)
    {
        m_out << HelpText();
        return OutputStatus();
    }
    if (options.m_nAction == CliOptions::ACTION_VERSION)
    {
        m_out << "linecast-cli " << LinecastVersion::TEXT << "\n";
        return OutputStatus();
    }
    if ((options.m_nAction == CliOptions::ACTION_COUNT ||
         options.m_nAction == CliOptions::ACTION_COMPARE) &&
        !options.CheckFolders())
        return Error(options.m_strError);

    CountingManager manager;
    // The tool reads the rules; it never writes them back.
    manager.SetSaveRulesOnDestroy(false);
    const wxString strRules =
        options.ResolveRulesPath(UserRulesPath(), DataFilePath("conf/conf.xml"));
    const wxString strRulesShown = "'" + NativePath::ToDisplay(strRules) + "'";
    struct stat st;
    if (!NativePath::Stat(strRules, st))
    {
        if (errno == ENOENT)
            return Error("no rules file " + strRulesShown);
        return Error("cannot read the rules file " + strRulesShown + ": " +
                     wxString::FromUTF8(std::strerror(errno)));
    }
    if (S_ISDIR(st.st_mode))
        return Error("the rules file " + strRulesShown + " is a folder");
    if (!S_ISREG(st.st_mode))
        return Error("the rules file " + strRulesShown +
                     " is not a regular file (a device, FIFO or socket)");
    if (access(NativePath::ToBytes(strRules).c_str(), R_OK) != 0)
        return Error("cannot read the rules file " + strRulesShown);
    manager.SetRulesPath(strRules);
    manager.LoadRules();
    if (!manager.RulesLoaded())
        return Error("the rules file " + strRulesShown +
                     " is not a valid rules file: " + manager.GetRulesError());

    if (options.m_nAction == CliOptions::ACTION_LIST_TYPES)
    {
        m_out << CliReport::FormatTypeList(manager);
        return OutputStatus();
    }
    if (!options.SelectTypes(manager))
        return Error(options.m_strError);
    if (options.m_nAction == CliOptions::ACTION_COMPARE)
        return Compare(options, manager);

    CountingParam param;
    param.m_arrDirs = options.m_arrDirs;
    param.m_arrTypes = options.m_arrSelectedTypes;
    param.m_bRecursive = options.m_bRecursive;

    CliProgress progress(manager, m_pProgress);
    manager.ClearResults();
    manager.m_nState = CountingManager::STATE_RUNNING;
    manager.SetCountingParam(param, options.m_analysisParam);
    manager.SetMessagePump(&progress);
    if (options.m_nJobs > 0)
        manager.SetJobs(options.m_nJobs);
    manager.DoCounting();
    manager.SetMessagePump(nullptr);
    progress.Finish();

    // "--csv -" or "--json -" puts that export on standard output, and nothing
    // else there.
    const bool bCsvToOutput = options.m_strCsvPath == "-";
    const bool bJsonToOutput = options.m_strJsonPath == "-";
    if (bCsvToOutput)
        m_out << FormatResultCsv(manager);
    else if (bJsonToOutput)
        m_out << FormatResultJson(manager, options.m_analysisParam);
    else
        m_out << CliReport::Format(manager, options.m_analysisParam);
    const int nStatus = OutputStatus();
    ReportSkipped(manager.m_arrSkippedPaths);
    ReportUnreadable(manager);
    if (nStatus != EXIT_OK)
        return nStatus;

    wxString strReason;
    const auto failed = [this, &strReason](const char* szKind, const wxString& strPath)
    {
        return Error(wxString("cannot write the ") + szKind + " file '" +
                         NativePath::ToDisplay(strPath) + "': " + strReason,
                     EXIT_FAILED);
    };
    if (!options.m_strCsvPath.empty() && !bCsvToOutput &&
        !WriteResultCsv(manager, options.m_strCsvPath, strReason))
        return failed("CSV", options.m_strCsvPath);
    if (!options.m_strJsonPath.empty() && !bJsonToOutput &&
        !WriteResultJson(manager, options.m_analysisParam, options.m_strJsonPath, strReason))
        return failed("JSON", options.m_strJsonPath);
    return EXIT_OK;
}

int CliApp::Compare(CliOptions& options, CountingManager& manager)
{
    std::unique_ptr<VersionSource> pOld, pNew;
    wxString strError;
    if (!VersionSpec::Open(options.m_strCompareOld, options.m_strCompareNew,
                           options.m_strRepository, pOld, pNew, strError))
        return Error(strError);

    Comparison comparison(manager);
    CliProgress progress(
        [&comparison](wxString& strFolder)
        {
            if (!comparison.m_arrFiles.empty())
                strFolder = comparison.m_arrFiles.back()->m_strFolder;
            return comparison.m_arrFiles.size();
        },
        m_pProgress);
    manager.m_nState = CountingManager::STATE_RUNNING;
    manager.SetMessagePump(&progress);
    if (options.m_nJobs > 0)
        manager.SetJobs(options.m_nJobs);
    comparison.Run(*pOld, *pNew, options.CompareFolders(), options.m_bRecursive,
                   options.m_analysisParam);
    manager.SetMessagePump(nullptr);
    progress.Finish();

    const wxString strOld = pOld->Name();
    const wxString strNew = pNew->Name();
    // "-" puts that export on standard output, and nothing else there.
    if (options.m_strCsvPath == "-")
        m_out << FormatChangeCsv(comparison, strOld, strNew);
    else if (options.m_strJsonPath == "-")
        m_out << FormatChangeJson(comparison, strOld, strNew, options.m_analysisParam);
    else
        m_out << CliChangeReport::Format(comparison, options.m_analysisParam);
    const int nStatus = OutputStatus();

    ReportSkipped(comparison.m_arrSkippedPaths);
    std::vector<wxString> arrUnreadable, arrNotDiffed;
    for (const auto& pFile : comparison.m_arrFiles)
    {
        if (pFile->m_bUnreadable)
            arrUnreadable.push_back(pFile->m_strPath);
        if (pFile->m_bNotDiffed)
            arrNotDiffed.push_back(pFile->m_strPath);
    }
    for (const wxString& strLine :
         {PathsLine(arrUnreadable, " file", " files",
                    " could not be read in a version, which was compared as empty"),
          PathsLine(arrNotDiffed, " file", " files",
                    " too large to diff: all old lines counted as removed, all new as added")})
    {
        if (!strLine.empty())
            Error(strLine);
    }
    if (nStatus != EXIT_OK)
        return nStatus;

    if (!options.m_strCsvPath.empty() && options.m_strCsvPath != "-" &&
        !WriteChangeCsv(comparison, strOld, strNew, options.m_strCsvPath, strError))
        return Error("cannot write the CSV file '" + NativePath::ToDisplay(options.m_strCsvPath) +
                         "': " + strError,
                     EXIT_FAILED);
    if (!options.m_strJsonPath.empty() && options.m_strJsonPath != "-" &&
        !WriteChangeJson(comparison, strOld, strNew, options.m_analysisParam, options.m_strJsonPath,
                         strError))
        return Error("cannot write the JSON file '" + NativePath::ToDisplay(options.m_strJsonPath) +
                         "': " + strError,
                     EXIT_FAILED);
    return EXIT_OK;
}
