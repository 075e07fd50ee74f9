#include "ui/settings/SettingsFile.h"

#include "report/MessagePath.h"
#include "report/OutputFile.h"

#include <wx/log.h>
#include <wx/mstream.h>

SettingsFile::SettingsFile(const wxString& strPath, long nStyle)
    : wxFileConfig(wxString(), wxString(), strPath, wxString(), nStyle), m_strPath(strPath)
{
}

SettingsFile::~SettingsFile()
{
    Flush();
    // wxFileConfig's own destructor would save what is left its own way.
    DisableAutoSave();
}

bool SettingsFile::Flush(bool)
{
    if (!m_bChanged)
        return true;
    wxMemoryOutputStream stream;
    if (!Save(stream, wxConvUTF8))
        return false;
    std::string strText(stream.GetLength(), '\0');
    stream.CopyTo(&strText[0], strText.size());
    wxString strError;
    if (!WriteOutputFile(m_strPath, strText, strError))
    {
        // Once for the same settings: the close saves them and the end of the
        // program tries again, and the user would read the message twice.
        if (!m_bFailureTold)
            wxLogError(_("The settings could not be saved to the file\n\n%s\n\n%s."),
                       PathForMessage(m_strPath), strError);
        m_bFailureTold = true;
        return false;
    }
    m_bChanged = false;
    return true;
}

bool SettingsFile::Changed(bool bDone)
{
    m_bChanged = m_bChanged || bDone;
    m_bFailureTold = m_bFailureTold && !bDone;
    return bDone;
}

bool SettingsFile::RenameEntry(const wxString& strOld, const wxString& strNew)
{
    return Changed(wxFileConfig::RenameEntry(strOld, strNew));
}

bool SettingsFile::RenameGroup(const wxString& strOld, const wxString& strNew)
{
    return Changed(wxFileConfig::RenameGroup(strOld, strNew));
}

bool SettingsFile::DeleteEntry(const wxString& strKey, bool bGroupIfEmptyAlso)
{
    return Changed(wxFileConfig::DeleteEntry(strKey, bGroupIfEmptyAlso));
}

bool SettingsFile::DeleteGroup(const wxString& strKey)
{
    return Changed(wxFileConfig::DeleteGroup(strKey));
}

bool SettingsFile::DeleteAll()
{
    // wxFileConfig removes the file itself: nothing is left to write.
    const bool bDone = wxFileConfig::DeleteAll();
    m_bChanged = false;
    return bDone;
}

bool SettingsFile::DoWriteString(const wxString& strKey, const wxString& strValue)
{
    return Changed(wxFileConfig::DoWriteString(strKey, strValue));
}

bool SettingsFile::DoWriteLong(const wxString& strKey, long nValue)
{
    return Changed(wxFileConfig::DoWriteLong(strKey, nValue));
}

bool SettingsFile::DoWriteBinary(const wxString& strKey, const wxMemoryBuffer& buf)
{
    return Changed(wxFileConfig::DoWriteBinary(strKey, buf));
}
