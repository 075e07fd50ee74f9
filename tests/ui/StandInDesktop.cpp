#include "StandInDesktop.h"

#include "TempDir.h"
#include "engine/NativePath.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/stopwatch.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace stand_in_desktop
{
namespace
{
std::string g_strDir;

std::string Script()
{
    return g_strDir + "/stand-in.sh";
}
std::string Record()
{
    return g_strDir + "/opened.txt";
}

// The data folder with everything but its applications, so GTK still finds
// its icons, schemas and MIME types while GIO finds no program in it.
void Mirror(const std::string& strFolder, const std::string& strMirror)
{
    mkdir(strMirror.c_str(), 0755);
    wxDir dir(strFolder);
    wxString strName;
    for (bool b = dir.IsOpened() && dir.GetFirst(&strName); b; b = dir.GetNext(&strName))
        if (strName != "applications")
            (void)!symlink((strFolder + "/" + strName.ToStdString()).c_str(),
                           (strMirror + "/" + strName.ToStdString()).c_str());
}
} // namespace

void Install(const TempDir& dir)
{
    const std::string& strDir = dir.Path();
    g_strDir = strDir;
    dir.Write("stand-in.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                                 Record() + ".part\"\nmv \"" + Record() + ".part\" \"" + Record() +
                                 "\"\n");
    chmod(Script().c_str(), 0755);

    dir.MakeDir("home");
    // Files and folders by their paths, web pages by their addresses.
    for (const char* szKind : {"file", "web"})
        dir.Write(std::string("data/applications/linecast-stand-in-") + szKind + ".desktop",
                  std::string("[Desktop Entry]\nType=Application\nName=Stand-in\nNoDisplay=true\n"
                              "Exec=\"") +
                      Script() + (szKind == std::string("file") ? "\" %f\n" : "\" %u\n"));
    dir.Write("data/applications/mimeapps.list",
              "[Default Applications]\n"
              "text/plain=linecast-stand-in-file.desktop\n"
              "inode/directory=linecast-stand-in-file.desktop\n"
              "x-scheme-handler/http=linecast-stand-in-web.desktop\n"
              "x-scheme-handler/https=linecast-stand-in-web.desktop\n");

    const char* szDataDirs = std::getenv("XDG_DATA_DIRS");
    wxString strDataDirs = szDataDirs && *szDataDirs ? szDataDirs : "/usr/local/share:/usr/share";
    std::string strSearch = strDir + "/data";
    int nMirror = 0;
    for (const wxString& strFolder : wxSplit(strDataDirs, ':'))
    {
        const std::string strMirror = strDir + "/share" + std::to_string(nMirror++);
        Mirror(strFolder.ToStdString(), strMirror);
        strSearch += ":" + strMirror;
    }
    setenv("XDG_DATA_DIRS", strSearch.c_str(), 1);
    setenv("XDG_DATA_HOME", (strDir + "/home").c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + strDir + "/no-bus").c_str(), 1);
}

bool HandleEventsUntil(const std::function<bool()>& fnDone, long nMaxWaitMs)
{
    const wxStopWatch watch;
    while (!fnDone() && watch.Time() < nMaxWaitMs)
    {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
    return fnDone();
}

wxArrayString TakeOpened(long nWaitMs)
{
    wxArrayString arr;
    if (!HandleEventsUntil([] { return wxFileExists(Record()); }, nWaitMs))
        return arr;
    const std::string strBytes = ReadFileBytes(Record());
    for (std::size_t nStart = 0; nStart < strBytes.size();)
    {
        std::size_t nEnd = strBytes.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strBytes.size();
        arr.Add(NativePath::FromBytes(std::string_view(strBytes).substr(nStart, nEnd - nStart)));
        nStart = nEnd + 1;
    }
    wxRemoveFile(Record());
    return arr;
}

// GIO skips an application whose program cannot be run.
NoApplications::NoApplications()
{
    chmod(Script().c_str(), 0644);
}

NoApplications::~NoApplications()
{
    chmod(Script().c_str(), 0755);
}
} // namespace stand_in_desktop
