#include "config/DataFiles.h"

#include <climits>
#include <unistd.h>
#include <wx/filename.h>

// From the installed program's folder to its data: "../share/linecast" for the
// usual bin/ and share/, computed by the build from the install folders, so
// the installed tree can be moved to another prefix as a whole.
#ifndef LINECAST_DATA_FROM_PROGRAM
#define LINECAST_DATA_FROM_PROGRAM "../share/linecast"
#endif

namespace
{
wxString& DataDirOverride()
{
    static wxString strDir;
    return strDir;
}
} // namespace

wxString DataFilePath(const wxString& strRelative)
{
    wxString strPath = DataDir() + wxFILE_SEP_PATH + strRelative;
    strPath.Replace("/", wxString(wxFILE_SEP_PATH));
    return strPath;
}

wxString DataDir()
{
    if (!DataDirOverride().empty())
        return DataDirOverride();
    static const wxString strFound = DataDirFor(ExecutableDir());
    return strFound;
}

wxString DataDirFor(const wxString& strProgramDir)
{
    if (wxFileName::FileExists(strProgramDir + "/conf/conf.xml"))
        return strProgramDir;
    // Not found anywhere: the installed place is still the one to name in a
    // message about the missing rules.
    wxFileName dir = wxFileName::DirName(strProgramDir + "/" + LINECAST_DATA_FROM_PROGRAM);
    dir.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    return dir.GetPath();
}

wxString ExecutableDir()
{
    char buf[PATH_MAX];
    const ssize_t nLen = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (nLen <= 0)
        return ".";
    // The bytes of the file name as the file functions will get them back.
    wxString strPath(buf, *wxConvFileName, static_cast<size_t>(nLen));
    if (strPath.empty())
        strPath = wxString::FromUTF8(buf, static_cast<size_t>(nLen));
    return wxFileName(strPath).GetPath();
}

void SetDataDir(const wxString& strDir)
{
    DataDirOverride() = strDir;
}
