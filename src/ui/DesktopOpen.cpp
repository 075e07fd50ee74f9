#include "ui/DesktopOpen.h"

#include "engine/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/process.h>
#include <wx/utils.h>

namespace
{
// A path as the system has it: relative ones from the working folder. An
// absolute path never starts with '-', so the launcher cannot take it for one
// of its options.
wxString AbsolutePath(const wxString& strPath)
{
    if (strPath.StartsWith("/"))
        return strPath;
    return NativePath::GetCwd() + "/" + strPath;
}

// The folder that holds the file at an absolute path.
wxString FolderOf(const wxString& strAbsolutePath)
{
    const size_t nSlash = strAbsolutePath.rfind('/');
    return nSlash == 0 || nSlash == wxString::npos ? wxString("/") : strAbsolutePath.Left(nSlash);
}

// The program a bare name runs, searched in PATH as a shell would; a name with
// a slash is used as it is. Empty when there is none.
std::string FindProgram(const std::string& strName)
{
    if (strName.empty() || strName.find('/') != std::string::npos)
        return strName;
    const char* szPath = std::getenv("PATH");
    const std::string strPath = szPath ? szPath : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t nStart = 0; nStart <= strPath.size();)
    {
        std::size_t nEnd = strPath.find(':', nStart);
        if (nEnd == std::string::npos)
            nEnd = strPath.size();
        const std::string strDir = nEnd > nStart ? strPath.substr(nStart, nEnd - nStart) : ".";
        const std::string strCandidate = strDir + "/" + strName;
        struct stat st;
        if (::stat(strCandidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(strCandidate.c_str(), X_OK) == 0)
            return strCandidate;
        nStart = nEnd + 1;
    }
    return std::string();
}

// Marks every descriptor from nFirst on to close at exec; non-zero where the
// system cannot do it in one call.
int CloseOnExecFrom(unsigned nFirst)
{
#ifdef CLOSE_RANGE_CLOEXEC
    return ::close_range(nFirst, ~0U, CLOSE_RANGE_CLOEXEC);
#else
    (void)nFirst;
    return -1;
#endif
}

// Starts the launcher with the path's real bytes as its one argument and
// does not wait for it. wxExecute would re-encode the argument as text and
// lose the bytes of a name that is not UTF-8, so the launcher is started here:
// through a short-lived middle process, so that it never stays behind as a
// zombie of ours, and with a pipe that closes on a successful exec, so that a
// launcher that cannot be run is reported.
bool Launch(const wxString& strLauncher, const wxString& strPath)
{
    if (strPath.empty())
        return false;
    const std::string strProgram = FindProgram(NativePath::ToBytes(strLauncher));
    if (strProgram.empty())
        return false;
    std::string strName = NativePath::ToBytes(strLauncher);
    std::string strArgument = NativePath::ToBytes(AbsolutePath(strPath));
    char* const argv[] = {strName.data(), strArgument.data(), nullptr};

    const long nMaxFd = std::min(::sysconf(_SC_OPEN_MAX), 65536L);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    // Only async-signal-safe calls between fork and exec: the window has
    // threads of its own.
    const pid_t nMiddle = ::fork();
    if (nMiddle == 0)
    {
        ::close(fds[0]);
        const pid_t nLauncher = ::fork();
        if (nLauncher == 0)
        {
            ::setsid(); // not in our terminal's process group
            // The window's own files and connections are not the launcher's
            // (nor those of the program it starts, which may run for hours).
            if (CloseOnExecFrom(3) != 0)
                for (long nFd = 3; nFd < nMaxFd; ++nFd)
                    ::fcntl(static_cast<int>(nFd), F_SETFD, FD_CLOEXEC);
            ::execv(strProgram.c_str(), argv);
            const int nError = errno;
            (void)!::write(fds[1], &nError, sizeof(nError));
            ::_exit(127);
        }
        ::_exit(nLauncher < 0 ? 1 : 0);
    }
    ::close(fds[1]);
    if (nMiddle < 0)
    {
        ::close(fds[0]);
        return false;
    }
    int nStatus = 0;
    while (::waitpid(nMiddle, &nStatus, 0) < 0 && errno == EINTR)
    {
    }
    // End of file: the launcher runs. An errno: it could not be started. The
    // middle process failing to fork leaves the pipe closed too, so its
    // status is checked as well.
    int nError = 0;
    ssize_t nRead;
    while ((nRead = ::read(fds[0], &nError, sizeof(nError))) < 0 && errno == EINTR)
    {
    }
    ::close(fds[0]);
    return nRead == 0 && WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

// The file manager call runs without waiting; when it fails (no session bus,
// no file manager offering the call, no gdbus) the folder is opened instead.
class ShowItemsCall : public wxProcess
{
public:
    ShowItemsCall(const wxString& strLauncher, const wxString& strFolder)
        : m_strLauncher(strLauncher), m_strFolder(strFolder)
    {
        Redirect(); // its answer and errors are not ours to print
    }

    void OnTerminate(int, int nStatus) override
    {
        if (nStatus != 0)
            Launch(m_strLauncher, m_strFolder);
        delete this;
    }

private:
    wxString m_strLauncher;
    wxString m_strFolder;
};
} // namespace

DesktopOpen::DesktopOpen(const wxString& strLauncher, const wxString& strBusCaller)
    : m_strLauncher(strLauncher), m_strBusCaller(strBusCaller)
{
}

bool DesktopOpen::OpenFile(const wxString& strPath) const
{
    return Launch(m_strLauncher, strPath);
}

bool DesktopOpen::OpenFolder(const wxString& strPath) const
{
    return Launch(m_strLauncher, strPath);
}

bool DesktopOpen::ShowInFolder(const wxString& strFilePath) const
{
    if (strFilePath.empty())
        return false;
    const wxString strFile = AbsolutePath(strFilePath);
    const wxString strFolder = FolderOf(strFile);
    const wxString strUri = FileUri(strFile);
    if (m_strBusCaller.empty() || strUri.empty())
        return Launch(m_strLauncher, strFolder);

    // The item list is a GVariant text; the URI holds no quote or backslash,
    // so it cannot end the quoted text early.
    const wxString strItems = "['" + strUri + "']";
    const wchar_t* const argv[] = {m_strBusCaller.wc_str(),
                                   L"call",
                                   L"--session",
                                   L"--timeout",
                                   L"10",
                                   L"--dest",
                                   L"org.freedesktop.FileManager1",
                                   L"--object-path",
                                   L"/org/freedesktop/FileManager1",
                                   L"--method",
                                   L"org.freedesktop.FileManager1.ShowItems",
                                   strItems.wc_str(),
                                   L"''", // no startup notification id
                                   nullptr};
    // The URI is plain ASCII, so wxExecute passes it on unchanged.
    auto* pCall = new ShowItemsCall(m_strLauncher, strFolder);
    if (wxExecute(argv, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE, pCall) != 0)
        return true; // the call deletes itself when it ends
    delete pCall;
    return Launch(m_strLauncher, strFolder);
}

wxString DesktopOpen::FileUri(const wxString& strPath)
{
    // The bytes the file system knows the name by, so a name that is not
    // UTF-8 keeps its bytes.
    const std::string strBytes = NativePath::ToBytes(strPath);
    if (strBytes.empty())
        return wxString();
    wxString strUri = "file://";
    static const char HEX[] = "0123456789ABCDEF";
    for (const char ch : strBytes)
    {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/')
        {
            strUri += static_cast<char>(c);
        }
        else
        {
            strUri += '%';
            strUri += HEX[c >> 4];
            strUri += HEX[c & 0xF];
        }
    }
    return strUri;
}
