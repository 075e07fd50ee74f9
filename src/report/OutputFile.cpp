#include "report/OutputFile.h"

#include "engine/NativePath.h"

#include <wx/intl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
wxString ErrorText(int nError)
{
    return wxString::FromUTF8(std::strerror(nError));
}

std::string FolderOf(const std::string& strPath)
{
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? std::string("/") : strPath.substr(0, nSlash);
}

// The file a chain of symbolic links ends at, existing or not: writing
// "through" a link writes that file and keeps the link. A path that is no
// link is its own end.
bool FollowLinks(std::string strPath, std::string& strEnd, int& nError)
{
    // As many links as the system itself follows before it gives up.
    for (int nLinks = 0; nLinks < 40; ++nLinks)
    {
        struct stat st;
        if (!NativePath::Stat(strPath, st, false) || !S_ISLNK(st.st_mode))
        {
            strEnd = strPath;
            return true;
        }
        std::string strLink;
        if (!NativePath::ReadLink(strPath, strLink))
        {
            nError = errno;
            return false;
        }
        strPath = strLink[0] == '/' ? strLink : FolderOf(strPath) + "/" + strLink;
    }
    nError = ELOOP;
    return false;
}

// A new file beside strTarget, hidden, open for writing. Its name is short
// whatever the target's, so a target whose name is as long as a name may be
// still gets one. It is made with the permissions a new file gets (the umask
// applies).
int CreateTemporary(const std::string& strTarget, std::string& strTemp)
{
    const std::string strFolder = FolderOf(strTarget) + "/";
    unsigned long nSeed =
        static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<unsigned long>(getpid()) << 16);
    for (int nTry = 0; nTry < 100; ++nTry)
    {
        nSeed = nSeed * 6364136223846793005ULL + 1442695040888963407ULL;
        char szName[16];
        std::snprintf(szName, sizeof(szName), ".lc-%06lx", (nSeed >> 20) & 0xFFFFFF);
        strTemp = strFolder + szName;
        const int nFd = NativePath::Open(strTemp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (nFd >= 0 || errno != EEXIST)
            return nFd;
    }
    return -1;
}

// Once renamed, the new name is made durable too: without this a crash can
// bring back the old file, or none at all.
void SyncFolder(const std::string& strFile)
{
    const int nFd = NativePath::Open(FolderOf(strFile), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd < 0)
        return;
    fsync(nFd);
    ::close(nFd);
}

// errno of a write that waited longer than it may for its reader.
constexpr int STALLED = ETIMEDOUT;
// A followed write goes in pieces of this size, so that its progress shows
// and a cancel is seen between them; a wait for the reader is cut into
// slices of the other.
constexpr std::size_t FOLLOWED_PIECE = 64 * 1024;
constexpr int CANCEL_CHECK_MS = 50;

bool Cancelled(const OutputProgress* pProgress)
{
    return pProgress && pProgress->bCancel.load(std::memory_order_relaxed);
}

// Waits until nFd takes more bytes, at most nStallLimitMs (forever when
// negative), looking for a cancel meanwhile. The result is poll's, with errno
// set to ECANCELED for a cancel.
int WaitForRoom(int nFd, int nStallLimitMs, const OutputProgress* pProgress)
{
    int nWaited = 0;
    for (;;)
    {
        int nSlice = nStallLimitMs < 0 ? -1 : nStallLimitMs - nWaited;
        if (pProgress && (nSlice < 0 || nSlice > CANCEL_CHECK_MS))
            nSlice = CANCEL_CHECK_MS;
        pollfd waitFor{nFd, POLLOUT, 0};
        const int nReady = ::poll(&waitFor, 1, nSlice);
        if (nReady != 0)
            return nReady;
        if (Cancelled(pProgress))
        {
            errno = ECANCELED;
            return -1;
        }
        nWaited += nSlice;
        if (nStallLimitMs >= 0 && nWaited >= nStallLimitMs)
            return 0;
    }
}

// Writes everything, or fails with errno set. A reader that goes away (a
// FIFO closed at its other end) must make the write fail, not end the program
// with SIGPIPE; the signal is held back for this thread while writing and a
// pending one is taken away again. On a descriptor that does not block, a
// full pipe is waited on for at most nStallLimitMs at a time. pProgress, when
// given, hears of every piece written and may cancel (errno ECANCELED).
bool WriteAll(int nFd, const std::string& strBytes, int nStallLimitMs = -1,
              OutputProgress* pProgress = nullptr)
{
    sigset_t pipeSet, oldSet;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &oldSet);
    const bool bWasPending = [&]
    {
        sigset_t pending;
        return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
    }();

    const char* p = strBytes.data();
    std::size_t nLeft = strBytes.size();
    bool bOk = true;
    while (nLeft > 0)
    {
        if (Cancelled(pProgress))
        {
            errno = ECANCELED;
            bOk = false;
            break;
        }
        const ssize_t nWritten =
            ::write(nFd, p, pProgress ? std::min(nLeft, FOLLOWED_PIECE) : nLeft);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        {
            const int nReady = WaitForRoom(nFd, nStallLimitMs, pProgress);
            if (nReady > 0 || (nReady < 0 && errno == EINTR))
                continue; // room again, or the reader is gone: write tells
            if (nReady == 0)
                errno = STALLED;
            bOk = false;
            break;
        }
        if (nWritten <= 0)
        {
            bOk = false;
            break;
        }
        p += nWritten;
        nLeft -= static_cast<std::size_t>(nWritten);
        if (pProgress)
            pProgress->nWritten += static_cast<std::uint64_t>(nWritten);
    }

    const int nError = errno;
    if (!bOk && nError == EPIPE && !bWasPending)
    {
        const timespec noWait{0, 0};
        sigtimedwait(&pipeSet, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &oldSet, nullptr);
    errno = nError;
    return bOk;
}

bool Fail(wxString& strError, int nError)
{
    strError = nError == STALLED ? _("the program reading from it stopped taking data")
                                 : ErrorText(nError);
    return false;
}

bool IsFifo(const std::string& strPath)
{
    struct stat st;
    return NativePath::Stat(strPath, st) && S_ISFIFO(st.st_mode);
}

bool ReplaceRegularFile(const std::string& strTarget, const std::string& strBytes,
                        wxString& strError, OutputProgress* pProgress)
{
    std::string strTemp;
    const int nFd = CreateTemporary(strTarget, strTemp);
    if (nFd < 0)
        return Fail(strError, errno);

    // The export keeps the permissions (and, where allowed, the owner) of the
    // file it replaces.
    struct stat old;
    if (NativePath::Stat(strTarget, old) && S_ISREG(old.st_mode))
    {
        fchmod(nFd, old.st_mode & 07777);
        if (fchown(nFd, old.st_uid, old.st_gid) != 0)
        {
            // Only root may give a file away; anyone else's export stays theirs.
        }
    }
    bool bOk = WriteAll(nFd, strBytes, -1, pProgress) && fsync(nFd) == 0;
    int nError = errno;
    if (::close(nFd) != 0 && bOk)
    {
        bOk = false;
        nError = errno;
    }
    if (bOk && rename(strTemp.c_str(), strTarget.c_str()) != 0)
    {
        bOk = false;
        nError = errno;
    }
    if (!bOk)
    {
        unlink(strTemp.c_str());
        return Fail(strError, nError);
    }
    SyncFolder(strTarget);
    return true;
}

// What is at the path: nothing yet (a new file), a regular file (perhaps at
// the end of links), or something to write in place.
enum class Target
{
    Replace,
    InPlace,
};

bool Examine(const std::string& strPath, Target& target, std::string& strFile, wxString& strError)
{
    struct stat st;
    if (NativePath::Stat(strPath, st))
    {
        if (S_ISDIR(st.st_mode))
        {
            strError = _("it is a folder");
            return false;
        }
        if (!S_ISREG(st.st_mode))
        {
            target = Target::InPlace;
            strFile = strPath;
            return true;
        }
    }
    // Nothing there, or a folder on the way is missing or no folder: a new
    // file, whose folder is looked at when it is made.
    else if (errno != ENOENT && errno != ENOTDIR)
        return Fail(strError, errno);
    // A regular file or a new one; a dangling link names where the new one goes.
    int nError = 0;
    if (!FollowLinks(strPath, strFile, nError))
        return Fail(strError, nError);
    // A file the user may not write is not theirs to replace either, though
    // the folder would let a new one take its place. (Root may write any file,
    // and so replaces it.)
    if (NativePath::Stat(strFile, st) && access(strFile.c_str(), W_OK) != 0)
        return Fail(strError, errno);
    target = Target::Replace;
    return true;
}

// Checks that the folder of a new or replaced file exists and takes a new
// file, by making one and removing it again.
bool CheckFolder(const std::string& strFile, wxString& strError)
{
    const std::string strFolder = FolderOf(strFile);
    struct stat st;
    if (!NativePath::Stat(strFolder, st) || !S_ISDIR(st.st_mode))
    {
        strError = wxString::Format(_("no folder '%s'"),
                                    NativePath::ToDisplay(NativePath::FromBytes(strFolder)));
        return false;
    }
    std::string strTemp;
    const int nFd = CreateTemporary(strFile, strTemp);
    if (nFd < 0)
        return Fail(strError, errno);
    ::close(nFd);
    unlink(strTemp.c_str());
    return true;
}

// The user's name for the target, turned into the bytes the system knows it by
// and looked at.
bool ExamineTarget(const wxString& strPath, Target& target, std::string& strFile,
                   wxString& strError)
{
    const std::string strPathBytes = NativePath::ToBytes(strPath);
    if (strPathBytes.empty())
        return Fail(strError, ENOENT);
    return Examine(strPathBytes, target, strFile, strError);
}
} // namespace

bool WriteOutputFile(const wxString& strPath, const std::string& strBytes, wxString& strError,
                     OutputWait wait, OutputProgress* pProgress)
{
    Target target;
    std::string strFile;
    if (!ExamineTarget(strPath, target, strFile, strError))
        return false;
    if (target == Target::Replace)
        return ReplaceRegularFile(strFile, strBytes, strError, pProgress);

    // A FIFO waits here for its reader, as a shell's redirection would;
    // without waiting, one that nobody reads fails to open (ENXIO).
    const bool bBriefly = wait == OutputWait::Briefly;
    const int nFd =
        NativePath::Open(strFile, O_WRONLY | O_NOCTTY | O_CLOEXEC | (bBriefly ? O_NONBLOCK : 0));
    if (nFd < 0)
    {
        if (errno == ENXIO && IsFifo(strFile))
        {
            strError = _("no program is reading from it");
            return false;
        }
        return Fail(strError, errno);
    }
    struct stat st;
    if (fstat(nFd, &st) == 0 && S_ISREG(st.st_mode))
    {
        // Replaced by a regular file since it was looked at: that one is
        // replaced whole, not written over.
        ::close(nFd);
        return WriteOutputFile(strPath, strBytes, strError, wait, pProgress);
    }
    const bool bOk = WriteAll(nFd, strBytes, bBriefly ? OUTPUT_STALL_LIMIT_MS : -1, pProgress);
    const int nError = errno;
    ::close(nFd);
    return bOk || Fail(strError, nError);
}

bool CheckOutputTarget(const wxString& strPath, wxString& strError)
{
    Target target;
    std::string strFile;
    if (!ExamineTarget(strPath, target, strFile, strError))
        return false;
    if (target == Target::InPlace)
        return access(strFile.c_str(), W_OK) == 0 || Fail(strError, errno);
    return CheckFolder(strFile, strError);
}
