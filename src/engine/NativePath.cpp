#include "engine/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#include <vector>
#include <wx/strconv.h>

namespace
{
// wx keeps each byte that is not part of valid UTF-8 as U+100000 plus the byte
// and writes it back as that byte, so the round trip is exact.
constexpr wxUniChar::value_type FIRST_RAW_BYTE = 0x100000;
constexpr wxUniChar::value_type END_RAW_BYTES = FIRST_RAW_BYTE + 0x100;

const wxMBConv& Conv()
{
    static const wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

// A path too long for one system call is reached piece by piece: each piece
// shorter than the limit is opened as a folder relative to the one before.
// Leaves in nDirFd the folder to which strRest is relative (AT_FDCWD for a
// short path); the caller closes it when it is not AT_FDCWD.
bool Descend(const std::string& strPath, int& nDirFd, std::string& strRest)
{
    nDirFd = AT_FDCWD;
    if (strPath.size() < PATH_MAX)
    {
        strRest = strPath;
        return true;
    }
    std::size_t nPos = 0;
    if (strPath[0] == '/')
    {
        nDirFd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (nDirFd < 0)
            return false;
        nPos = strPath.find_first_not_of('/');
    }
    while (nPos != std::string::npos && strPath.size() - nPos >= PATH_MAX)
    {
        const std::size_t nSlash = strPath.rfind('/', nPos + PATH_MAX - 2);
        if (nSlash == std::string::npos || nSlash <= nPos)
        {
            // One name longer than the limit: no file can have it.
            if (nDirFd != AT_FDCWD)
                ::close(nDirFd);
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string strPiece = strPath.substr(nPos, nSlash - nPos);
        const int nNext = ::openat(nDirFd, strPiece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int nError = errno;
        if (nDirFd != AT_FDCWD)
            ::close(nDirFd);
        nDirFd = nNext;
        if (nDirFd < 0)
        {
            errno = nError;
            return false;
        }
        nPos = strPath.find_first_not_of('/', nSlash);
    }
    strRest = nPos == std::string::npos ? std::string(".") : strPath.substr(nPos);
    return true;
}

void CloseKeepingErrno(int nDirFd)
{
    if (nDirFd == AT_FDCWD)
        return;
    const int nError = errno;
    ::close(nDirFd);
    errno = nError;
}
} // namespace

wxString NativePath::FromBytes(std::string_view bytes)
{
    if (bytes.empty())
        return wxString();
    const wxString str(bytes.data(), Conv(), bytes.size());
    // wx decodes a few sequences that are not UTF-8 (an encoded surrogate, a
    // code point past U+10FFFF) to characters no text may hold, which could
    // then be neither shown nor written out as UTF-8. Their bytes are kept
    // one by one, as every other byte that is not UTF-8.
    const auto isNoCharacter = [](wxUniChar c)
    {
        const wxUniChar::value_type n = c.GetValue();
        return (n >= 0xD800 && n <= 0xDFFF) || n > 0x10FFFF;
    };
    if (std::none_of(str.begin(), str.end(), isNoCharacter))
        return str;
    wxString strOut;
    for (const wxUniChar c : str)
    {
        if (!isNoCharacter(c))
        {
            strOut += c;
            continue;
        }
        const wxCharBuffer buf = wxString(c).mb_str(Conv());
        for (std::size_t i = 0; i < buf.length(); ++i)
            strOut += wxUniChar(FIRST_RAW_BYTE + static_cast<unsigned char>(buf.data()[i]));
    }
    return strOut;
}

std::string NativePath::ToBytes(const wxString& strPath)
{
    if (strPath.empty())
        return std::string();
    const wxCharBuffer buf = strPath.mb_str(Conv());
    if (buf.length() > 0)
        return std::string(buf.data(), buf.length());
    // Only text no file name can hold (a lone surrogate) fails above.
    const wxScopedCharBuffer utf8 = strPath.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxString NativePath::ToDisplay(const wxString& strPath)
{
    wxString strOut;
    strOut.reserve(strPath.length());
    for (wxUniChar c : strPath)
    {
        const wxUniChar::value_type nValue = c.GetValue();
        strOut += nValue >= FIRST_RAW_BYTE && nValue < END_RAW_BYTES ? wxUniChar(0xFFFD) : c;
    }
    return strOut;
}

int NativePath::Open(const wxString& strPath, int nFlags, mode_t nMode)
{
    return Open(ToBytes(strPath), nFlags, nMode);
}

int NativePath::Open(const std::string& strBytes, int nFlags, mode_t nMode)
{
    if (strBytes.empty())
    {
        errno = ENOENT;
        return -1;
    }
    int nDirFd;
    std::string strRest;
    if (!Descend(strBytes, nDirFd, strRest))
        return -1;
    const int nFd = ::openat(nDirFd, strRest.c_str(), nFlags, nMode);
    CloseKeepingErrno(nDirFd);
    return nFd;
}

bool NativePath::Stat(const wxString& strPath, struct stat& st, bool bFollowLinks)
{
    return Stat(ToBytes(strPath), st, bFollowLinks);
}

bool NativePath::Stat(const std::string& strBytes, struct stat& st, bool bFollowLinks)
{
    if (strBytes.empty())
    {
        errno = ENOENT;
        return false;
    }
    int nDirFd;
    std::string strRest;
    if (!Descend(strBytes, nDirFd, strRest))
        return false;
    const int nResult =
        ::fstatat(nDirFd, strRest.c_str(), &st, bFollowLinks ? 0 : AT_SYMLINK_NOFOLLOW);
    CloseKeepingErrno(nDirFd);
    return nResult == 0;
}

bool NativePath::ReadLink(const std::string& strBytes, std::string& strTarget)
{
    int nDirFd;
    std::string strRest;
    if (strBytes.empty() || !Descend(strBytes, nDirFd, strRest))
        return false;
    std::vector<char> arrBuffer(256);
    ssize_t nLen;
    while ((nLen = ::readlinkat(nDirFd, strRest.c_str(), arrBuffer.data(), arrBuffer.size())) >=
           static_cast<ssize_t>(arrBuffer.size()))
        arrBuffer.resize(arrBuffer.size() * 2);
    CloseKeepingErrno(nDirFd);
    if (nLen < 0)
        return false;
    strTarget.assign(arrBuffer.data(), static_cast<std::size_t>(nLen));
    return true;
}

wxString NativePath::GetCwd()
{
    std::vector<char> arrBuffer(PATH_MAX);
    while (!::getcwd(arrBuffer.data(), arrBuffer.size()))
    {
        if (errno != ERANGE)
            return wxString();
        arrBuffer.resize(arrBuffer.size() * 2);
    }
    return FromBytes(arrBuffer.data());
}
