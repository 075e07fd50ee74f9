#pragma once

#include "TempDir.h"

#include <wx/fileconf.h>

#include <memory>

// A configuration store of its own for one test: an empty file in a fresh
// temporary folder, installed as the program's global store (recording
// defaults, as the application sets it up) and removed again at the end, so
// no test ever reads or touches the developer's own settings.
class ScopedConfig
{
public:
    ScopedConfig();
    ~ScopedConfig();
    ScopedConfig(const ScopedConfig&) = delete;
    ScopedConfig& operator=(const ScopedConfig&) = delete;

    wxFileConfig& Config() { return *m_pConfig; }
    // Writes the store to its file and opens it again, as the next start would.
    void Reopen();
    // The number of entries (keys) in a group, "/" for the root.
    size_t EntryCount(const wxString& strGroup);

private:
    void Open();

    TempDir m_dir;
    std::unique_ptr<wxFileConfig> m_pConfig;
    wxConfigBase* m_pPrevious = nullptr;
};
