#pragma once

// Stand-ins for the programs DesktopOpen starts (xdg-open, gdbus): each writes
// the arguments it received, one a line, so a test sees exactly how a path
// arrived.
#include "TempDir.h"
#include "engine/NativePath.h"

#include <string>
#include <sys/stat.h>
#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/stopwatch.h>

// A script in dir that records its arguments in strRecord (written whole, so
// a reader never sees half of it) and then runs strExit.
inline std::string WriteStandIn(const TempDir& dir, const char* szName, const wxString& strRecord,
                                const std::string& strExit = "exit 0")
{
    const std::string record(strRecord.utf8_str());
    const std::string script = dir.Write(
        szName, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + record +
                    ".part\"\nmv \"" + record + ".part\" \"" + record + "\"\n" + strExit + "\n");
    chmod(script.c_str(), 0755);
    return script;
}

// The arguments a stand-in recorded, once it has run (empty when it has not
// within nWaitMs); the record is taken away for the next call. Events are
// handled meanwhile: the end of a started program arrives as one. Each
// argument is decoded as NativePath decodes names, so bytes that are not
// UTF-8 compare equal to the path they came from.
inline wxArrayString TakeRecord(const wxString& strRecord, long nWaitMs = 5000)
{
    const wxStopWatch watch;
    while (!wxFileExists(strRecord) && watch.Time() < nWaitMs)
    {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
    wxArrayString arr;
    if (!wxFileExists(strRecord))
        return arr;
    const std::string strBytes = ReadFileBytes(std::string(strRecord.utf8_str()));
    for (std::size_t nStart = 0; nStart < strBytes.size();)
    {
        std::size_t nEnd = strBytes.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strBytes.size();
        arr.Add(NativePath::FromBytes(std::string_view(strBytes).substr(nStart, nEnd - nStart)));
        nStart = nEnd + 1;
    }
    wxRemoveFile(strRecord);
    return arr;
}
