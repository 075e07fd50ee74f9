#pragma once

#include "report/UpdateCheckOutcome.h"
#include "report/UpdateServer.h"

#include <chrono>
#include <functional>
#include <string>

struct addrinfo;

// One GET of the page that names the latest published version, safe against
// any server: every wait is bounded by the server's timeout and cut into short
// slices that look at the stop request, and no more of the answer is read than
// the version can need. Runs on the update check's thread; opens no window.
class LatestVersionRequest
{
public:
    // Most of the answer that is read: header lines, and separately the body
    // (and so any one body line).
    static constexpr size_t MAX_HEAD_BYTES = 64 * 1024;
    static constexpr size_t MAX_BODY_BYTES = 64 * 1024;
    // The version is shown in the report; a server cannot fill the page.
    static constexpr size_t MAX_VERSION_CHARS = 64;
    // How often a wait looks whether it should give up.
    static constexpr int STOP_POLL_MS = 50;

    // fnStopRequested is asked between the slices of every wait.
    LatestVersionRequest(const UpdateServer& server, std::function<bool()> fnStopRequested);
    ~LatestVersionRequest();
    LatestVersionRequest(const LatestVersionRequest&) = delete;
    LatestVersionRequest& operator=(const LatestVersionRequest&) = delete;

    UpdateCheckOutcome Run();

    // The version in a page body: the text between the first and the last "$"
    // of the first line that has one (all of the rest after a single "$"),
    // empty when no line has one; cut to MAX_VERSION_CHARS.
    static wxString VersionFromBody(const std::string& strBody);

private:
    using Clock = std::chrono::steady_clock;
    enum class Step
    {
        DONE,
        FAILED,
        STOPPED
    };

    Step Connect(Clock::time_point deadline);
    Step Resolve(addrinfo*& pAddresses, Clock::time_point deadline);
    Step ConnectTo(const addrinfo& address, Clock::time_point deadline);
    Step Send(const std::string& strBytes, Clock::time_point deadline);
    // Reads what is there; nRead is 0 at the end of the answer.
    Step Receive(char* pBuffer, size_t nSize, size_t& nRead, Clock::time_point deadline);
    Step WaitFor(short nEvents, Clock::time_point deadline);
    UpdateCheckOutcome ReadAnswer(Clock::time_point deadline);
    std::string RequestBytes() const;
    void CloseSocket();

    UpdateServer m_server;
    std::function<bool()> m_fnStopRequested;
    int m_nSocket = -1;
};
