#include "LoopbackServer.h"

#include <chrono>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
const int SLICE_MS = 20;
const long long MAX_ENDLESS_BYTES = 256LL * 1024 * 1024;
} // namespace

LoopbackServer::LoopbackServer(Mode mode, std::string strAnswer)
    : m_mode(mode), m_strAnswer(std::move(strAnswer))
{
    m_nListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    if (m_nListen < 0 || bind(m_nListen, reinterpret_cast<sockaddr*>(&address), nLength) != 0 ||
        getsockname(m_nListen, reinterpret_cast<sockaddr*>(&address), &nLength) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    m_nPort = ntohs(address.sin_port);
    if (m_mode == Mode::REFUSE)
        return;
    if (listen(m_nListen, 4) != 0)
        throw std::runtime_error("cannot listen on a loopback port");
    m_thread = std::thread(&LoopbackServer::Serve, this);
}

LoopbackServer::~LoopbackServer()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    close(m_nListen);
}

bool LoopbackServer::WaitForRequest(int nMaxWaitMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMaxWaitMs);
    while (!m_bRequestReady)
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string LoopbackServer::Request() const
{
    return m_bRequestReady ? m_strRequest : std::string();
}

void LoopbackServer::Serve()
{
    while (!m_bStop)
    {
        pollfd fd{m_nListen, POLLIN, 0};
        if (poll(&fd, 1, SLICE_MS) <= 0)
            continue;
        const int nClient = accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (nClient < 0)
            continue;
        ++m_nConnections;
        Handle(nClient);
        close(nClient);
    }
}

void LoopbackServer::Handle(int nClient)
{
    // The request, up to its empty line (bounded by size and time).
    std::string strRequest;
    char buffer[4096];
    for (int nSlices = 0; nSlices < 5000 / SLICE_MS && !m_bStop; ++nSlices)
    {
        if (strRequest.find("\r\n\r\n") != std::string::npos || strRequest.size() > 65536)
            break;
        pollfd fd{nClient, POLLIN, 0};
        if (poll(&fd, 1, SLICE_MS) <= 0)
            continue;
        const ssize_t n = recv(nClient, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        strRequest.append(buffer, static_cast<size_t>(n));
    }
    if (!m_bRequestReady)
    {
        m_strRequest = strRequest;
        m_bRequestReady = true;
    }

    switch (m_mode)
    {
    case Mode::ANSWER:
        SendAll(nClient, m_strAnswer.data(), m_strAnswer.size());
        break;
    case Mode::STALL:
        while (!m_bStop)
            std::this_thread::sleep_for(std::chrono::milliseconds(SLICE_MS));
        break;
    case Mode::ENDLESS:
    {
        const std::string strHead = "HTTP/1.0 200 OK\r\n\r\n";
        if (!SendAll(nClient, strHead.data(), strHead.size()))
            break;
        const std::string strChunk(65536, 'x');
        while (!m_bStop && m_nBytesSent < MAX_ENDLESS_BYTES)
        {
            if (!SendAll(nClient, strChunk.data(), strChunk.size()))
            {
                m_bClientHungUp = !m_bStop;
                break;
            }
        }
        break;
    }
    case Mode::REFUSE:
        break;
    }
}

bool LoopbackServer::SendAll(int nClient, const char* pData, size_t nSize)
{
    size_t nSent = 0;
    while (nSent < nSize)
    {
        if (m_bStop)
            return false;
        pollfd fd{nClient, POLLOUT, 0};
        if (poll(&fd, 1, SLICE_MS) <= 0)
            continue;
        const ssize_t n = send(nClient, pData + nSent, nSize - nSent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        nSent += static_cast<size_t>(n);
        m_nBytesSent += n;
    }
    return true;
}
