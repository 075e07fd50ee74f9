#pragma once

// The engine tells the window what happened through these; it never owns them.

class CountingObserver
{
public:
    virtual ~CountingObserver() = default;
    // After each counted file has been appended to the file results.
    virtual void OnCountingUpdate() = 0;
};

class AnalysisObserver
{
public:
    virtual ~AnalysisObserver() = default;
    // After stored results have been refiltered and regrouped.
    virtual void OnAnalysisUpdate() = 0;
};

class FilterObserver
{
public:
    virtual ~FilterObserver() = default;
    // At the end of every run, after the summary lists and groups are built.
    virtual void OnFilterUpdate() = 0;
};
