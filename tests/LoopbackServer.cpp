#include "LoopbackServer.h"

#include <chrono>
#include <csignal>
#include <stdexcept>

#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
const int SLICE_MS = 20;

// Waits in short slices until fn says done or the time is up.
template <class Fn> bool WaitUntil(int nMaxWaitMs, Fn fn)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMaxWaitMs);
    while (!fn())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool Ready(int nSocket, short nEvents)
{
    pollfd fd{nSocket, nEvents, 0};
    return poll(&fd, 1, SLICE_MS) > 0;
}
} // namespace

std::string LoopbackServer::CertificateFile()
{
    return LINECAST_SOURCE_DIR "/tests/data/loopback-cert.pem";
}

LoopbackServer::LoopbackServer(Mode mode, std::string strAnswer, bool bTls)
    : m_mode(mode), m_strAnswer(std::move(strAnswer))
{
    if (bTls)
    {
        // OpenSSL writes without MSG_NOSIGNAL: a client that hangs up early
        // must not end the tests.
        signal(SIGPIPE, SIG_IGN);
        m_pTlsContext = SSL_CTX_new(TLS_server_method());
        const std::string strKey = LINECAST_SOURCE_DIR "/tests/data/loopback-key.pem";
        if (!m_pTlsContext ||
            SSL_CTX_use_certificate_file(m_pTlsContext, CertificateFile().c_str(),
                                         SSL_FILETYPE_PEM) != 1 ||
            SSL_CTX_use_PrivateKey_file(m_pTlsContext, strKey.c_str(), SSL_FILETYPE_PEM) != 1)
            throw std::runtime_error("no test certificate");
    }
    m_nListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    // A bound port where nobody listens refuses connections.
    if (m_nListen < 0 || bind(m_nListen, reinterpret_cast<sockaddr*>(&address), nLength) != 0 ||
        getsockname(m_nListen, reinterpret_cast<sockaddr*>(&address), &nLength) != 0 ||
        (mode != Mode::REFUSE && listen(m_nListen, 4) != 0))
        throw std::runtime_error("no loopback port");
    m_nPort = ntohs(address.sin_port);
    if (mode != Mode::REFUSE)
        m_thread = std::thread(&LoopbackServer::Serve, this);
}

LoopbackServer::~LoopbackServer()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    close(m_nListen);
    SSL_CTX_free(m_pTlsContext);
}

bool LoopbackServer::WaitForRequest(int nMaxWaitMs) const
{
    return WaitUntil(nMaxWaitMs, [this] { return m_bRequestReady.load(); });
}

long long LoopbackServer::BytesSentUntilHangUp(int nMaxWaitMs) const
{
    return WaitUntil(nMaxWaitMs, [this] { return m_bHungUp.load(); }) ? m_nBytesSent.load() : -1;
}

void LoopbackServer::Serve()
{
    while (!m_bStop)
    {
        const int nClient =
            Ready(m_nListen, POLLIN) ? accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (nClient < 0)
            continue;
        SSL* pTls = nullptr;
        if (m_pTlsContext)
        {
            // A client that gives up on the handshake is not waited for long.
            const timeval limit{5, 0};
            setsockopt(nClient, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
            pTls = SSL_new(m_pTlsContext);
            SSL_set_fd(pTls, nClient);
            if (SSL_accept(pTls) != 1)
            {
                SSL_free(pTls);
                close(nClient);
                continue;
            }
        }
        const std::string strRequest = ReadRequest(nClient, pTls);
        if (!m_bRequestReady)
        {
            m_strRequest = strRequest;
            m_bRequestReady = true;
        }

        if (m_mode == Mode::ANSWER)
            SendAll(nClient, pTls, m_strAnswer);
        while (m_mode == Mode::STALL && !m_bStop)
            std::this_thread::sleep_for(std::chrono::milliseconds(SLICE_MS));
        if (m_mode == Mode::ENDLESS && SendAll(nClient, pTls, "HTTP/1.0 200 OK\r\n\r\n"))
        {
            const std::string strChunk(65536, 'x');
            while (m_nBytesSent < (1LL << 28) && SendAll(nClient, pTls, strChunk))
            {
            }
            m_bHungUp = !m_bStop;
        }
        if (pTls)
        {
            SSL_shutdown(pTls);
            SSL_free(pTls);
        }
        close(nClient);
    }
}

std::string LoopbackServer::ReadRequest(int nClient, SSL* pTls)
{
    std::string strRequest;
    char buffer[4096];
    for (int i = 0; i < 250 && strRequest.find("\r\n\r\n") == std::string::npos; ++i)
    {
        if (!(pTls && SSL_pending(pTls) > 0) && !Ready(nClient, POLLIN))
            continue;
        const ssize_t n = pTls ? SSL_read(pTls, buffer, sizeof(buffer))
                               : recv(nClient, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        strRequest.append(buffer, static_cast<size_t>(n));
    }
    return strRequest;
}

bool LoopbackServer::SendAll(int nClient, SSL* pTls, const std::string& strBytes)
{
    for (size_t nSent = 0; nSent < strBytes.size();)
    {
        if (m_bStop)
            return false;
        if (!Ready(nClient, POLLOUT))
            continue;
        const ssize_t n =
            pTls ? SSL_write(pTls, strBytes.data() + nSent,
                             static_cast<int>(strBytes.size() - nSent))
                 : send(nClient, strBytes.data() + nSent, strBytes.size() - nSent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        nSent += static_cast<size_t>(n);
        m_nBytesSent += n;
    }
    return true;
}
