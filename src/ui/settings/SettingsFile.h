#pragma once

#include <wx/fileconf.h>

// The program's settings store: wxFileConfig's format and keys, saved the way
// the rules file and the exports are (WriteOutputFile). The whole text goes to
// a new file in the same folder, reaches the disk and then takes the old
// one's place, so a crash leaves the old settings or the new ones, never
// none; a store that is a symbolic link (kept by a dotfile manager) stays a
// link and the file it names is written.
class SettingsFile : public wxFileConfig
{
public:
    explicit SettingsFile(const wxString& strPath,
                          long nStyle = wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE);
    ~SettingsFile() override;

    // Writes the store when anything in it changed; a failure is logged as
    // an error with its reason, once until the settings change again.
    bool Flush(bool bCurrentOnly = false) override;

    bool RenameEntry(const wxString& strOld, const wxString& strNew) override;
    bool RenameGroup(const wxString& strOld, const wxString& strNew) override;
    bool DeleteEntry(const wxString& strKey, bool bGroupIfEmptyAlso = true) override;
    bool DeleteGroup(const wxString& strKey) override;
    bool DeleteAll() override;

protected:
    bool DoWriteString(const wxString& strKey, const wxString& strValue) override;
    bool DoWriteLong(const wxString& strKey, long nValue) override;
    bool DoWriteBinary(const wxString& strKey, const wxMemoryBuffer& buf) override;

private:
    // Every change passes here; wxFileConfig keeps its own flag to itself.
    bool Changed(bool bDone);

    wxString m_strPath;
    bool m_bChanged = false;
    // A failed save was reported and nothing changed since.
    bool m_bFailureTold = false;
};
