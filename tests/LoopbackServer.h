#pragma once

#include <openssl/types.h>

#include <atomic>
#include <string>
#include <thread>

// A small HTTP server on 127.0.0.1, on a free port, for the update check's
// tests: it reads each request, then answers with fixed bytes, keeps silent,
// or sends body bytes until the client hangs up (bounded); or it refuses every
// connection. Over TLS it shows the certificate of CertificateFile(), made
// out to "localhost" and 127.0.0.1. It stops by itself when it goes.
class LoopbackServer
{
public:
    enum class Mode
    {
        ANSWER,
        STALL,
        ENDLESS,
        REFUSE
    };

    explicit LoopbackServer(Mode mode, std::string strAnswer = std::string(), bool bTls = false);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    static std::string CertificateFile();

    int Port() const { return m_nPort; }
    // Waits until a client has sent its request, and gives the first one.
    bool WaitForRequest(int nMaxWaitMs) const;
    std::string Request() const { return m_bRequestReady ? m_strRequest : std::string(); }
    // ENDLESS: what was sent until the client hung up, or -1 while it has not.
    long long BytesSentUntilHangUp(int nMaxWaitMs) const;

private:
    void Serve();
    // pTls is null on a plain connection.
    std::string ReadRequest(int nClient, SSL* pTls);
    bool SendAll(int nClient, SSL* pTls, const std::string& strBytes);

    Mode m_mode;
    std::string m_strAnswer;
    SSL_CTX* m_pTlsContext = nullptr;
    int m_nListen = -1;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bRequestReady{false};
    std::atomic<long long> m_nBytesSent{0};
    std::atomic<bool> m_bHungUp{false};
    std::string m_strRequest;
    std::thread m_thread;
};
