#pragma once

#include "config/RulesSaveOutcome.h"
#include "engine/CounterRule.h"
#include "engine/CountingParam.h"
#include "engine/FileExtension.h"
#include "engine/FileId.h"
#include "engine/FilterParam.h"
#include "engine/Result.h"
#include "engine/SkippedPath.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
#include <wx/arrstr.h>
#include <wx/string.h>

class AnalysisObserver;
class AnalysisParam;
class Counter;
class CountingObserver;
class FilterObserver;
class MessagePump;
class wxXmlDocumentEx;
class wxXmlNode;

// Exact, case-sensitive keys; the tables own their values.
using RuleTable = std::unordered_map<wxString, std::unique_ptr<CounterRule>>;
using ExtensionTable = std::unordered_map<wxString, std::unique_ptr<FileExtension>>;
using CounterTable = std::unordered_map<wxString, std::unique_ptr<Counter>>;

// The engine's single object: the rules and file types, the run over the chosen
// folders, every result record and the run state.
class CountingManager
{
public:
    enum State
    {
        STATE_CLEARED = 0,
        STATE_STOPPED = 1, // stop requested; after a run: stopped by the user
        STATE_RUNNING = 2,
        STATE_COMPLETED = 3,
    };

    CountingManager();
    virtual ~CountingManager(); // saves the rules first (SaveRulesAtEnd)

    // Rules and file types.
    Counter* GetCounter(const wxString& strRuleType);
    static wxString GetFileExtension(const wxString& strPath);
    bool IsSelectedType(const wxString& strExt, wxString& strRuleType) const;

    // The rules file; none until a caller names one (the window: the per-user
    // copy; the command-line tool: the one it looked up; the tests: their own).
    void LoadRules();
    // Writes the tables back into the rules file. A file that changed on disk
    // since it was read (another window saved its own edits) is not written
    // over: it is kept, and the tables go to a new file beside it.
    RulesSaveOutcome SaveRules();
    // What the end of a window does, once: SaveRules when the tables differ
    // from the file's and writing back is on. The destructor does it when
    // nobody did before.
    RulesSaveOutcome SaveRulesAtEnd();
    // The tables differ from what was read from the rules file (or last
    // written to it).
    bool RulesChanged() const;
    void SetRulesPath(const wxString& strPath) { m_strRulesPath = strPath; }
    const wxString& GetRulesPath() const { return m_strRulesPath; }
    bool RulesLoaded() const { return m_pRoot != nullptr; }
    // Why the last LoadRules loaded nothing, in one line; empty after a load.
    const wxString& GetRulesError() const { return m_strRulesError; }
    // The command-line tool reads the rules but never writes them back.
    void SetSaveRulesOnDestroy(bool bSave) { m_bSaveRulesOnDestroy = bSave; }

    // The run.
    void ClearResults();
    void SetCountingParam(const CountingParam& param, AnalysisParam& analysisParam);
    void SetMessagePump(MessagePump* pPump) { m_pMessagePump = pPump; }
    MessagePump* GetMessagePump() const { return m_pMessagePump; }
    // How many threads count files: with more than one, worker threads open,
    // read and count files while this thread lists the folders, and the
    // results are still added and told to the observers on this thread, in
    // the order one thread would count them. One counts on this thread alone.
    void SetJobs(unsigned nJobs) { m_nJobs = nJobs > 0 ? nJobs : 1; }
    unsigned GetJobs() const { return m_nJobs; }
    // The processor's cores (at least one): what SetJobs starts with.
    static unsigned DefaultJobs();
    void DoCounting();
    // One file a run would count: its path, lower-case extension and the
    // rule type of its file type, and whether it is a symbolic link.
    struct ListedPath
    {
        wxString strPath;
        wxString strExt;
        wxString strRuleType;
        bool bLink = false;
    };
    // Walks the folders of param as DoCounting does, with the same pumps,
    // Stop and folders and links skipped as already included (in
    // m_arrSkippedPaths), and hands on each file it would count, in its
    // order, without reading any. The results are left alone.
    void ListCountedFiles(const CountingParam& param,
                          const std::function<void(ListedPath&&)>& fnFile);
    static void SplitPath(const wxString& strPath, wxString& strFolder, wxString& strFile);

    // Results.
    // Sets the estimates of a file (or of any lines counted like one) from
    // its effective code lines, m_nCodeLines plus m_nCodeCommentLines.
    static void CalcFileAnalysis(const AnalysisParam& param, Result& file);
    void Summarize();
    void Refilter(const AnalysisParam& analysisParam, const FilterParam& filterParam);
    void ApplyFilter(const FilterParam& filterParam);
    void Regroup(const AnalysisParam& analysisParam, const FilterParam& filterParam);

    std::unique_ptr<wxXmlDocumentEx> m_pDoc;
    wxXmlNode* m_pRoot = nullptr; // borrowed from m_pDoc; null until a load succeeds

    CounterTable m_counterTable;
    RuleTable m_ruleTable;
    ExtensionTable m_extensionTable;

    int m_nState = STATE_CLEARED;
    // The last run was stopped: its results hold only the files it counted
    // before. Kept until the results are cleared; a Refresh leaves the run
    // state stopped after any run.
    bool m_bPartial = false;
    CountingObserver* m_pCountingObserver = nullptr;
    AnalysisObserver* m_pAnalysisObserver = nullptr;
    FilterObserver* m_pFilterObserver = nullptr;
    AnalysisParam* m_pAnalysisParam = nullptr;

    CountingParam m_countingParam;
    TotalResult m_totalResult;
    std::vector<std::unique_ptr<FileResult>> m_arrFileResults;
    std::vector<std::unique_ptr<DirectoryResult>> m_arrDirectoryResults;
    std::vector<std::unique_ptr<ExtensionResult>> m_arrExtensionResults;
    wxArrayString m_arrDirectoryList;
    wxArrayString m_arrExtensionList;
    wxArrayString m_arrDateList;
    // What the last run left out, in the order it was met: listed folders it
    // could not count, and folders and files it met twice. CountSkipped
    // counts those of one kind and reason.
    std::vector<SkippedPath> m_arrSkippedPaths;
    std::size_t CountSkipped(SkippedPath::Kind nKind,
                             SkippedPath::Reason nReason = SkippedPath::ALREADY_INCLUDED) const;

private:
    // During a run: the id of each folder it visits and the path it is
    // visited under; each counted file's id and the index of its result.
    std::unordered_map<FileId, wxString> m_visitedFolders;
    std::unordered_map<FileId, std::size_t> m_countedFiles;
    // When the run began: the date a file that cannot be opened keeps.
    // Taken once, since the local clock costs a time-zone conversion per call.
    wxDateTime m_dtRunStarted;

    void PumpOneMessage();
    bool PumpBeforeFile();
    // Asked while a file is read or waited for: pumps, and tells whether the
    // run goes on.
    bool GoOnReading();
    std::unique_ptr<FileResult> NewFileResult(const wxString& strPath,
                                              const wxString& strExt) const;
    // bOtherNames: the file may be met again under another name (it was
    // reached through a link, or has hard links).
    void KeepFileResult(std::unique_ptr<FileResult> pFile, const FileId& id, bool bOtherNames,
                        const AnalysisParam& analysisParam);
    void ExpandSubdirectories();
    // Whether a folder is new to the run; one met before under any path is
    // kept among the skipped.
    bool IncludeFolder(const wxString& strPath, const FileId& id);
    // IncludeFolder for a folder of the run's list, which is first looked
    // at: one that is gone or cannot be opened is kept among the skipped.
    bool IncludeListedFolder(const wxString& strPath);
    // Where a link to a file is counted instead: the file it names when one
    // of the run's folders lists and counts it under its own name; else empty.
    wxString CountedAt(const wxString& strLink) const;
    void CountDirectory(const wxString& strDir);
    void CountDirectoriesInParallel();

    bool RulesFileChangedOnDisk() const;
    void PutTablesIntoDocument();

    MessagePump* m_pMessagePump = nullptr;
    unsigned m_nJobs = DefaultJobs();
    wxString m_strRulesPath;
    wxString m_strRulesError;
    bool m_bSaveRulesOnDestroy = true;
    // The tables as read or last written, in the text RulesChanged compares,
    // and a hash of the rules file's bytes then, which tells whether someone
    // else wrote the file meanwhile.
    std::string m_strSavedTables;
    std::size_t m_nRulesFileHash = 0;
};
