// What both fuzz targets need before their first input: wx initialised, and a
// failed wx assertion turned into a crash libFuzzer reports as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <wx/debug.h>
#include <wx/init.h>
#include <wx/string.h>

inline void SetUpWxForFuzzing()
{
    static wxInitializer init;
    // A failed wx assertion is a finding, not a message to go on after.
    wxSetAssertHandler(
        [](const wxString& strFile, int nLine, const wxString& strFunc, const wxString& strCond,
           const wxString& strMsg)
        {
            std::fprintf(stderr, "wx assertion %s failed in %s (%s:%d): %s\n",
                         static_cast<const char*>(strCond.utf8_str()),
                         static_cast<const char*>(strFunc.utf8_str()),
                         static_cast<const char*>(strFile.utf8_str()), nLine,
                         static_cast<const char*>(strMsg.utf8_str()));
            std::abort();
        });
}
