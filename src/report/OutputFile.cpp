#include "report/OutputFile.h"

#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace
{
wxString LastErrorText()
{
    return wxString::FromUTF8(std::strerror(errno));
}
} // namespace

bool WriteOutputFile(const wxString& strPath, const std::string& strBytes, wxString& strError)
{
    // A file error must not become a dialog here; the caller reports it.
    wxLogNull noLog;
    // Absolute, so the temporary file lands beside the target even for a bare
    // file name (a prefix without a folder would put it in the system's
    // temporary folder, perhaps on another file system).
    wxFileName target(strPath);
    target.MakeAbsolute();
    errno = 0;
    const wxString strTemp =
        wxFileName::CreateTempFileName(target.GetPathWithSep() + "." + target.GetFullName() + ".");
    if (strTemp.empty())
    {
        strError = LastErrorText();
        return false;
    }
    bool bOk = false;
    {
        wxFile file(strTemp, wxFile::write);
        bOk = file.IsOpened() && file.Write(strBytes.data(), strBytes.size()) == strBytes.size() &&
              file.Flush() && file.Close();
        if (!bOk)
            strError = LastErrorText();
    }
    if (bOk)
    {
        // The temporary file is created private to its owner; the export keeps
        // the permissions of the file it replaces, or those of any new file.
        struct stat old;
        mode_t nMode;
        if (stat(strPath.fn_str(), &old) == 0)
            nMode = old.st_mode & 07777;
        else
        {
            const mode_t nMask = umask(0);
            umask(nMask);
            nMode = 0666 & ~nMask;
        }
        chmod(strTemp.fn_str(), nMode);
        if (rename(strTemp.fn_str(), target.GetFullPath().fn_str()) != 0)
        {
            strError = LastErrorText();
            bOk = false;
        }
    }
    if (!bOk)
        wxRemoveFile(strTemp);
    return bOk;
}
