#include "report/LatestVersionRequest.h"

#include "config/Version.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

// A name lookup handed to the C library's resolver thread. It owns what that
// thread reads and writes, so it must outlive a lookup that could not be
// cancelled.
struct PendingLookup
{
    PendingLookup(const wxString& strHost, int nPort)
        : strHost(strHost.utf8_string()), strPort(std::to_string(nPort))
    {
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        request.ar_name = this->strHost.c_str();
        request.ar_service = strPort.c_str();
        request.ar_request = &hints;
    }

    std::string strHost;
    std::string strPort;
    addrinfo hints{};
    gaicb request{};
};

// A lookup still running when its check gave up (a stalled name server) is
// parked here for good: the resolver thread may write into it at any time
// until the process ends.
void ParkUncancelledLookup(std::unique_ptr<PendingLookup> pLookup)
{
    static std::mutex mutexParked;
    static auto* pParked = new std::vector<std::unique_ptr<PendingLookup>>;
    std::lock_guard<std::mutex> lock(mutexParked);
    pParked->push_back(std::move(pLookup));
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto remaining =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return remaining <= 0 ? 0 : static_cast<int>(std::min<long long>(remaining, 1 << 30));
}

// Characters that would break the request line or smuggle in a header are
// sent escaped; everything else of the configured path goes as written.
std::string EscapedPath(const wxString& strPath)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string strEscaped;
    for (const unsigned char c : strPath.utf8_string())
    {
        if (c <= ' ' || c >= 0x7F)
        {
            strEscaped += '%';
            strEscaped += HEX[c >> 4];
            strEscaped += HEX[c & 0x0F];
        }
        else
        {
            strEscaped += static_cast<char>(c);
        }
    }
    if (strEscaped.empty() || strEscaped[0] != '/')
        strEscaped.insert(0, "/");
    return strEscaped;
}

// The status of a status line such as "HTTP/1.1 404 Not Found"; 0 when the
// line is none.
int StatusOf(const std::string& strLine)
{
    if (strLine.compare(0, 5, "HTTP/") != 0)
        return 0;
    const size_t nSpace = strLine.find(' ');
    if (nSpace == std::string::npos || nSpace + 4 > strLine.size())
        return 0;
    int nStatus = 0;
    for (size_t i = nSpace + 1; i < nSpace + 4; ++i)
    {
        if (strLine[i] < '0' || strLine[i] > '9')
            return 0;
        nStatus = nStatus * 10 + (strLine[i] - '0');
    }
    return nStatus;
}

// Where the header lines end and the body begins; npos while incomplete.
size_t BodyStart(const std::string& strHead)
{
    const size_t nCrLf = strHead.find("\r\n\r\n");
    const size_t nLf = strHead.find("\n\n");
    if (nCrLf != std::string::npos && (nLf == std::string::npos || nCrLf < nLf))
        return nCrLf + 4;
    return nLf == std::string::npos ? std::string::npos : nLf + 2;
}

// A body that may be UTF-16 or UTF-32 cannot be searched byte by byte.
bool MayBeWide(const std::string& strBody)
{
    if (strBody.empty())
        return false;
    const unsigned char c = strBody[0];
    return c == 0xFF || c == 0xFE || c == 0x00;
}

// Once the line that holds the first "$" has ended, the rest of the body
// cannot change the version.
bool HasVersionLine(const std::string& strBody)
{
    if (MayBeWide(strBody))
        return false;
    const size_t nDollar = strBody.find('$');
    return nDollar != std::string::npos &&
           strBody.find_first_of("\r\n", nDollar) != std::string::npos;
}

// The first "$" of a text lies on the first line that has one; the version
// runs from there to the last "$" of that line (lines end at LF, CR LF or CR).
template <class Text> Text VersionSpan(const Text& text)
{
    const size_t nFirst = text.find('$');
    if (nFirst == Text::npos)
        return Text();
    size_t nLineEnd = text.find_first_of("\r\n", nFirst);
    if (nLineEnd == Text::npos)
        nLineEnd = text.size();
    const size_t nLast = text.rfind('$', nLineEnd - 1);
    if (nLast == nFirst)
        return text.substr(nFirst + 1, nLineEnd - nFirst - 1);
    return text.substr(nFirst + 1, nLast - nFirst - 1);
}

// A body with a byte-order mark of UTF-16 or UTF-32 is decoded by it; the
// names of the marks are tried longest first, UTF-32LE starting like UTF-16LE.
bool DecodeWide(const std::string& strBody, wxString& strText)
{
    struct Mark
    {
        const char* szBytes;
        size_t nLength;
        const wxMBConv& conv;
    };
    static const wxMBConvUTF32LE utf32le;
    static const wxMBConvUTF32BE utf32be;
    static const wxMBConvUTF16LE utf16le;
    static const wxMBConvUTF16BE utf16be;
    const Mark marks[] = {
        {"\xFF\xFE\x00\x00", 4, utf32le},
        {"\x00\x00\xFE\xFF", 4, utf32be},
        {"\xFF\xFE", 2, utf16le},
        {"\xFE\xFF", 2, utf16be},
    };
    for (const Mark& mark : marks)
    {
        if (strBody.compare(0, mark.nLength, mark.szBytes, mark.nLength) != 0)
            continue;
        // A cut-off last character (the body is read up to a limit) is dropped.
        const size_t nUnit = mark.nLength;
        const size_t nUsable = (strBody.size() - mark.nLength) / nUnit * nUnit;
        strText = wxString(strBody.data() + mark.nLength, mark.conv, nUsable);
        return true;
    }
    return false;
}
} // namespace

LatestVersionRequest::LatestVersionRequest(const UpdateServer& server,
                                           std::function<bool()> fnStopRequested)
    : m_server(server), m_fnStopRequested(std::move(fnStopRequested))
{
}

LatestVersionRequest::~LatestVersionRequest()
{
    CloseSocket();
}

void LatestVersionRequest::CloseSocket()
{
    if (m_nSocket >= 0)
        close(m_nSocket);
    m_nSocket = -1;
}

UpdateCheckOutcome LatestVersionRequest::Run()
{
    const auto timeout = std::chrono::milliseconds(m_server.m_nTimeoutMs);
    switch (Connect(Clock::now() + timeout))
    {
    case Step::STOPPED:
        return UpdateCheckOutcome::Failure(UpdateCheckOutcome::STOPPED);
    case Step::FAILED:
        return UpdateCheckOutcome::Failure(UpdateCheckOutcome::NO_CONNECTION);
    case Step::DONE:
        break;
    }

    const Clock::time_point deadline = Clock::now() + timeout;
    UpdateCheckOutcome outcome;
    switch (Send(RequestBytes(), deadline))
    {
    case Step::STOPPED:
        outcome = UpdateCheckOutcome::Failure(UpdateCheckOutcome::STOPPED);
        break;
    case Step::FAILED:
        outcome = UpdateCheckOutcome::Failure(UpdateCheckOutcome::HTTP_FAILED, 0);
        break;
    case Step::DONE:
        outcome = ReadAnswer(deadline);
        break;
    }
    CloseSocket();
    return outcome;
}

std::string LatestVersionRequest::RequestBytes() const
{
    // HTTP/1.0, so that no server answers in chunks.
    std::string strHost = m_server.m_strHost.utf8_string();
    if (strHost.find(':') != std::string::npos)
        strHost = "[" + strHost + "]"; // an IPv6 address
    if (m_server.m_nPort != UpdateServer::DEFAULT_PORT)
        strHost += ":" + std::to_string(m_server.m_nPort);
    return "GET " + EscapedPath(m_server.m_strPath) +
           " HTTP/1.0\r\n"
           "Host: " +
           strHost +
           "\r\n"
           "User-Agent: Linecast/" +
           LinecastVersion::TEXT +
           "\r\n"
           "Accept: */*\r\n"
           "Connection: Close\r\n"
           "\r\n";
}

LatestVersionRequest::Step LatestVersionRequest::Connect(Clock::time_point deadline)
{
    if (m_server.m_nPort <= 0 || m_server.m_nPort > 65535)
        return Step::FAILED;
    // A host name with a line break in it could never be looked up, and
    // would otherwise end up in the Host line.
    if (m_server.m_strHost.find_first_of("\r\n") != wxString::npos)
        return Step::FAILED;

    addrinfo* pAddresses = nullptr;
    Step step = Resolve(pAddresses, deadline);
    if (step == Step::DONE)
    {
        // A host with several addresses (IPv6 and IPv4) is tried one after
        // the other until one answers.
        step = Step::FAILED;
        for (const addrinfo* p = pAddresses; p && step == Step::FAILED; p = p->ai_next)
            step = ConnectTo(*p, deadline);
    }
    if (pAddresses)
        freeaddrinfo(pAddresses);
    return step;
}

LatestVersionRequest::Step LatestVersionRequest::Resolve(addrinfo*& pAddresses,
                                                         Clock::time_point deadline)
{
    // An address needs no name server: no thread, no wait.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    const std::string strHost = m_server.m_strHost.utf8_string();
    const std::string strPort = std::to_string(m_server.m_nPort);
    if (getaddrinfo(strHost.c_str(), strPort.c_str(), &hints, &pAddresses) == 0)
        return Step::DONE;
    pAddresses = nullptr;

    // A name is looked up by the C library's resolver thread, so that a name
    // server that never answers holds up neither the check's timeout nor its
    // stop request.
    auto pLookup = std::make_unique<PendingLookup>(m_server.m_strHost, m_server.m_nPort);
    gaicb* arrRequests[] = {&pLookup->request};
    sigevent notify{};
    notify.sigev_notify = SIGEV_NONE;
    if (getaddrinfo_a(GAI_NOWAIT, arrRequests, 1, &notify) != 0)
        return Step::FAILED;

    for (;;)
    {
        const int nError = gai_error(&pLookup->request);
        if (nError == 0)
        {
            pAddresses = pLookup->request.ar_result;
            return pAddresses ? Step::DONE : Step::FAILED;
        }
        if (nError != EAI_INPROGRESS)
            return Step::FAILED;

        const bool bStop = m_fnStopRequested();
        if (bStop || Clock::now() >= deadline)
        {
            if (gai_cancel(&pLookup->request) == EAI_NOTCANCELED)
                ParkUncancelledLookup(std::move(pLookup));
            else if (gai_error(&pLookup->request) == 0 && pLookup->request.ar_result)
                freeaddrinfo(pLookup->request.ar_result); // finished meanwhile
            return bStop ? Step::STOPPED : Step::FAILED;
        }
        const int nSlice = std::min(STOP_POLL_MS, MillisecondsUntil(deadline));
        const timespec slice{nSlice / 1000, (nSlice % 1000) * 1000000L};
        gai_suspend(arrRequests, 1, &slice);
    }
}

LatestVersionRequest::Step LatestVersionRequest::ConnectTo(const addrinfo& address,
                                                           Clock::time_point deadline)
{
    CloseSocket();
    m_nSocket = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                       address.ai_protocol);
    if (m_nSocket < 0)
        return Step::FAILED;
    if (connect(m_nSocket, address.ai_addr, address.ai_addrlen) == 0)
        return Step::DONE;
    if (errno != EINPROGRESS)
        return Step::FAILED;

    const Step step = WaitFor(POLLOUT, deadline);
    if (step != Step::DONE)
        return step;
    int nError = 0;
    socklen_t nLength = sizeof(nError);
    if (getsockopt(m_nSocket, SOL_SOCKET, SO_ERROR, &nError, &nLength) != 0 || nError != 0)
        return Step::FAILED;
    return Step::DONE;
}

LatestVersionRequest::Step LatestVersionRequest::Send(const std::string& strBytes,
                                                      Clock::time_point deadline)
{
    size_t nSent = 0;
    while (nSent < strBytes.size())
    {
        // MSG_NOSIGNAL: a server that hangs up must not kill the program.
        const ssize_t n =
            send(m_nSocket, strBytes.data() + nSent, strBytes.size() - nSent, MSG_NOSIGNAL);
        if (n > 0)
        {
            nSent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return Step::FAILED;
        const Step step = WaitFor(POLLOUT, deadline);
        if (step != Step::DONE)
            return step;
    }
    return Step::DONE;
}

LatestVersionRequest::Step LatestVersionRequest::Receive(char* pBuffer, size_t nSize, size_t& nRead,
                                                         Clock::time_point deadline)
{
    for (;;)
    {
        const Step step = WaitFor(POLLIN, deadline);
        if (step != Step::DONE)
            return step;
        const ssize_t n = recv(m_nSocket, pBuffer, nSize, 0);
        if (n >= 0)
        {
            nRead = static_cast<size_t>(n);
            return Step::DONE;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return Step::FAILED;
    }
}

LatestVersionRequest::Step LatestVersionRequest::WaitFor(short nEvents, Clock::time_point deadline)
{
    for (;;)
    {
        if (m_fnStopRequested())
            return Step::STOPPED;
        const int nRemaining = MillisecondsUntil(deadline);
        if (nRemaining == 0)
            return Step::FAILED;
        pollfd fd{m_nSocket, nEvents, 0};
        const int n = poll(&fd, 1, std::min(STOP_POLL_MS, nRemaining));
        if (n > 0)
            return Step::DONE; // readable, writable, or an error the next call reports
        if (n < 0 && errno != EINTR)
            return Step::FAILED;
    }
}

UpdateCheckOutcome LatestVersionRequest::ReadAnswer(Clock::time_point deadline)
{
    std::string strHead;
    std::string strBody;
    bool bInBody = false;
    int nStatus = 0;
    char buffer[4096];

    for (;;)
    {
        size_t nRead = 0;
        const Step step = Receive(buffer, sizeof(buffer), nRead, deadline);
        if (step == Step::STOPPED)
            return UpdateCheckOutcome::Failure(UpdateCheckOutcome::STOPPED);
        // The end of the answer, a broken connection and the timeout all end
        // the reading; what has arrived by then counts.
        if (step == Step::FAILED || nRead == 0)
            break;

        if (bInBody)
        {
            strBody.append(buffer, std::min(nRead, MAX_BODY_BYTES - strBody.size()));
        }
        else
        {
            strHead.append(buffer, nRead);
            const size_t nLineEnd = strHead.find('\n');
            if (nLineEnd != std::string::npos)
            {
                nStatus = StatusOf(strHead.substr(0, nLineEnd));
                if (nStatus < 200 || nStatus > 299)
                    return UpdateCheckOutcome::Failure(UpdateCheckOutcome::HTTP_FAILED, nStatus);
            }
            const size_t nBodyStart = BodyStart(strHead);
            if (nBodyStart != std::string::npos)
            {
                bInBody = true;
                strBody = strHead.substr(nBodyStart, MAX_BODY_BYTES);
                strHead.resize(nBodyStart);
            }
            else if (strHead.size() > MAX_HEAD_BYTES)
            {
                break;
            }
        }
        if (bInBody && (strBody.size() >= MAX_BODY_BYTES || HasVersionLine(strBody)))
            break;
    }
    CloseSocket();

    // A 2xx answer cut off before its body is an answer that never arrived.
    if (!bInBody)
        return UpdateCheckOutcome::Failure(UpdateCheckOutcome::HTTP_FAILED, 0);
    return UpdateCheckOutcome::Version(VersionFromBody(strBody));
}

wxString LatestVersionRequest::VersionFromBody(const std::string& strBody)
{
    wxString strVersion;
    wxString strWide;
    if (DecodeWide(strBody, strWide))
    {
        strVersion = VersionSpan(strWide);
    }
    else
    {
        const bool bUtf8Mark = strBody.compare(0, 3, "\xEF\xBB\xBF") == 0;
        const std::string strBytes = VersionSpan(bUtf8Mark ? strBody.substr(3) : strBody);
        strVersion = wxString::FromUTF8(strBytes);
        // Not UTF-8 after all: one byte per character rather than nothing.
        if (strVersion.empty() && !strBytes.empty())
            strVersion = wxString(strBytes.data(), wxConvISO8859_1, strBytes.size());
    }
    return strVersion.Left(MAX_VERSION_CHARS);
}
