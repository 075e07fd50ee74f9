#pragma once

#include <wx/string.h>
#include <wx/thread.h>

#include <atomic>

// The latest published version as the update check found it. The main window
// and the check's thread each hold a share of it, so a check that ends after
// the window has closed writes here and never into a destroyed window.
class LatestVersion
{
public:
    explicit LatestVersion(const wxString& strInitial);
    virtual ~LatestVersion() = default;
    LatestVersion(const LatestVersion&) = delete;
    LatestVersion& operator=(const LatestVersion&) = delete;

    // Both take m_mutexVersion. Set returns false, keeping the old text, when
    // the lock cannot be taken.
    bool Set(const wxString& strVersion);
    wxString Get() const;

    // The window has gone: nobody reads the text or answers a message any
    // more, so a check still running may as well give up.
    void Abandon() { m_bAbandoned = true; }
    bool IsAbandoned() const { return m_bAbandoned; }

private:
    mutable wxMutex m_mutexVersion;
    wxString m_strLatestVersion;
    std::atomic<bool> m_bAbandoned{false};
};
