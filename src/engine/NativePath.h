#pragma once

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <wx/string.h>

// File and folder names as the system has them: bytes, not text. A name is
// carried in a wxString that maps each byte of invalid UTF-8 to a private code
// point, so every name the listing yields opens again by its real bytes, in any
// locale; ToDisplay turns those code points into a visible replacement for
// showing or writing the name as text. Open and Stat also reach paths longer
// than the system's path limit, one piece at a time.
class NativePath
{
public:
    // Bytes of a name or path as a lossless wxString, and back.
    static wxString FromBytes(std::string_view bytes);
    static std::string ToBytes(const wxString& strPath);

    // The path as text: every byte that was not UTF-8 becomes U+FFFD.
    static wxString ToDisplay(const wxString& strPath);

    // open(2), stat(2) and readlink(2) on a path of any length (errno set
    // on failure).
    static int Open(const wxString& strPath, int nFlags, mode_t nMode = 0);
    static int Open(const std::string& strBytes, int nFlags, mode_t nMode = 0);
    static bool Stat(const wxString& strPath, struct stat& st, bool bFollowLinks = true);
    static bool Stat(const std::string& strBytes, struct stat& st, bool bFollowLinks = true);
    static bool ReadLink(const std::string& strBytes, std::string& strTarget);

    // The working folder, losslessly; empty when it cannot be read.
    static wxString GetCwd();
};
