#pragma once

#include "compare/ChangeResult.h"
#include "engine/SkippedPath.h"

#include <memory>
#include <string>
#include <vector>

class AnalysisParam;
class CountingManager;
class VersionSource;

// Told after each compared file has been appended to the results.
class ComparisonObserver
{
public:
    virtual ~ComparisonObserver() = default;
    virtual void OnComparisonUpdate() = 0;
};

// Compares an old and a new version of the chosen folders, file by file and
// line by line, with the manager's rules, selected file types, worker
// threads, message pump and run state: the caller sets the state running
// before Run, Stop sets it stopped, and a run that was not stopped ends
// completed. Each file is read and classified by the counters as a count
// does; files that are the same in both versions are classified once and not
// diffed.
class Comparison
{
public:
    explicit Comparison(CountingManager& manager) : m_manager(manager) {}
    virtual ~Comparison() = default;

    void SetObserver(ComparisonObserver* pObserver) { m_pObserver = pObserver; }

    // Compares the files below arrFolders (paths below both versions' roots,
    // '/'-separated; "" for the roots themselves), with their subfolders when
    // bRecursive. Replaces the results: the files by path, their sums by
    // folder and extension and in total, with the estimates of the changed
    // code from param.
    void Run(const VersionSource& oldVersion, const VersionSource& newVersion,
             const std::vector<std::string>& arrFolders, bool bRecursive,
             const AnalysisParam& param);

    // The estimates again from other parameters, without comparing again.
    void Reestimate(const AnalysisParam& param);

    void Clear();

    std::vector<std::unique_ptr<FileChange>> m_arrFiles; // by path
    std::vector<std::unique_ptr<ChangeGroup>> m_arrFolders;
    std::vector<std::unique_ptr<ChangeGroup>> m_arrExtensions;
    ChangeResult m_total; // partial while the run goes on
    // What either version's walk left out as already included, or a file
    // met again under another name.
    std::vector<SkippedPath> m_arrSkippedPaths;

private:
    // The sums by folder and extension and in total, from the files.
    void Summarize();

    CountingManager& m_manager;
    ComparisonObserver* m_pObserver = nullptr;
};
