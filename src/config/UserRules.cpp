#include "config/UserRules.h"

#include "config/DataFiles.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "report/MessagePath.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <wx/ffile.h>
#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace fs = std::filesystem;

wxString UserRulesPath()
{
    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    wxString strBase;
    if (!wxGetEnv("XDG_CONFIG_HOME", &strBase) || !wxIsAbsolutePath(strBase))
        strBase = wxGetHomeDir() + "/.config";
    return strBase + "/linecast/conf.xml";
}

bool PathIsTaken(const wxString& strPath)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(NativePath::ToBytes(strPath), ec));
}

bool EnsureUserRules(const wxString& strUserPath, const wxString& strShippedPath)
{
    wxLogNull noLog;
    if (PathIsTaken(strUserPath))
        return true;

    // Regular files only: a FIFO at the shipped path would block the start.
    if (!wxFileName::FileExists(strShippedPath))
        return false;
    wxFFile shipped(strShippedPath, "rb");
    std::string strBytes;
    {
        char buf[64 * 1024];
        size_t nRead;
        while (shipped.IsOpened() && (nRead = shipped.Read(buf, sizeof(buf))) > 0)
            strBytes.append(buf, nRead);
        if (!shipped.IsOpened() || shipped.Error())
            return false;
    }

    // The folder holds one user's settings only.
    const wxString strDir = wxFileName(strUserPath).GetPath();
    if (!wxFileName::DirExists(strDir) && !wxFileName::Mkdir(strDir, 0700, wxPATH_MKDIR_FULL))
        return false;

    const wxString strTemp =
        wxString::Format("%s.%lu.tmp", strUserPath, static_cast<unsigned long>(wxGetProcessId()));
    bool bOk = false;
    {
        wxFile file;
        if (!file.Create(strTemp, true, wxS_DEFAULT))
            return false;
        bOk = file.Write(strBytes.data(), strBytes.size()) == strBytes.size();
        bOk = bOk && file.Flush();
        bOk = file.Close() && bOk;
    }
    // Another start may have made its copy meanwhile; that one stays.
    const bool bMoved = bOk && wxRenameFile(strTemp, strUserPath, false);
    if (!bMoved)
        wxRemoveFile(strTemp);
    return PathIsTaken(strUserPath);
}

void UseUserRules(CountingManager& manager)
{
    const wxString strUser = UserRulesPath();
    const wxString strShipped = DataFilePath("conf/conf.xml");
    if (EnsureUserRules(strUser, strShipped))
    {
        manager.SetRulesPath(strUser);
        return;
    }
    manager.SetRulesPath(strShipped);
    manager.SetSaveRulesOnDestroy(false);
}

RulesSaveOutcome SaveUserRulesAtEnd(CountingManager& manager)
{
    // Only the shipped file is ever read without a copy (UseUserRules).
    if (manager.RulesChanged() && manager.GetRulesPath() == DataFilePath("conf/conf.xml"))
    {
        const wxString strUser = UserRulesPath();
        // The whole tables go there, so the copy is complete. One made
        // meanwhile by another window is kept unless it is still the shipped
        // file this window read (SaveRules).
        wxLogNull noLog;
        const wxString strDir = wxFileName(strUser).GetPath();
        if (!wxFileName::DirExists(strDir))
            wxFileName::Mkdir(strDir, 0700, wxPATH_MKDIR_FULL);
        manager.SetRulesPath(strUser);
        manager.SetSaveRulesOnDestroy(true);
    }
    return manager.SaveRulesAtEnd();
}

wxString RefusedRulesMessage(const CountingManager& manager)
{
    if (manager.RulesLoaded() || manager.GetRulesError().empty() ||
        !PathIsTaken(manager.GetRulesPath()))
        return wxString();
    wxString strMessage = wxString::Format(
        _("The rules file \"%s\" cannot be loaded: %s.\n\nThe file is left untouched, and no "
          "file types are available until it is mended."),
        NativePath::ToDisplay(manager.GetRulesPath()), manager.GetRulesError());
    // Only the per-user copy is the user's to remove; a new one is made from
    // the shipped file when it is missing.
    if (manager.GetRulesPath() == UserRulesPath())
        strMessage += " " + _("Or remove it to start from the shipped rules next time.");
    return strMessage;
}

wxString RulesSaveMessage(const RulesSaveOutcome& outcome)
{
    switch (outcome.m_kind)
    {
    case RulesSaveOutcome::SAVED_BESIDE:
        return wxString::Format(
            _("The rules file was changed by another window after this one read it; it is kept "
              "as it is. The file types as this window had them are saved in\n\n%s"),
            PathForMessage(outcome.m_strPath));
    case RulesSaveOutcome::FAILED:
        return wxString::Format(_("The file types could not be saved to the file\n\n%s\n\n%s. "
                                  "The changes made to them in this window are lost."),
                                PathForMessage(outcome.m_strPath), outcome.m_strError);
    default:
        return wxString();
    }
}
