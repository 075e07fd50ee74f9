#pragma once

#include <atomic>
#include <string>
#include <thread>

// A small HTTP server on 127.0.0.1, on a free port, for the update check's
// tests. It reads each request and then answers it with fixed bytes, holds
// the connection open without a word, or sends body bytes until the client
// hangs up; or it refuses every connection. It stops by itself when it goes,
// and never sends more than a bounded amount.
class LoopbackServer
{
public:
    enum class Mode
    {
        ANSWER,  // the given bytes, then close
        STALL,   // accept, read the request, never answer
        ENDLESS, // a status line, then body bytes until the client hangs up
        REFUSE   // the port is taken but nobody listens
    };

    explicit LoopbackServer(Mode mode, std::string strAnswer = std::string());
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_nPort; }
    int Connections() const { return m_nConnections; }
    // Waits until a client has connected and sent its request.
    bool WaitForRequest(int nMaxWaitMs) const;
    // The last request as received (after WaitForRequest).
    std::string Request() const;
    // ENDLESS: what was sent before the client hung up.
    long long BytesSent() const { return m_nBytesSent; }
    bool ClientHungUp() const { return m_bClientHungUp; }

private:
    void Serve();
    void Handle(int nClient);
    bool SendAll(int nClient, const char* pData, size_t nSize);

    Mode m_mode;
    std::string m_strAnswer;
    int m_nListen = -1;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nConnections{0};
    std::atomic<int> m_nRequests{0};
    std::atomic<long long> m_nBytesSent{0};
    std::atomic<bool> m_bClientHungUp{false};
    mutable std::atomic<bool> m_bRequestReady{false};
    std::string m_strRequest;
    std::thread m_thread;
};
