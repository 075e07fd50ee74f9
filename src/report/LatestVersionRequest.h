#pragma once

#include "report/UpdateCheckOutcome.h"
#include "report/UpdateServer.h"

#include <functional>
#include <string>

// One GET of the page that names the latest published version, through
// libcurl, safe against any server: the whole request is bounded by the
// server's timeout, a stop request ends it within STOP_POLL_MS, and no more of
// the answer is read than the version can need. Runs on the update check's
// thread; opens no window.
class LatestVersionRequest
{
public:
    // Most of the body that is read (and so of any one body line).
    static constexpr size_t MAX_BODY_BYTES = 64 * 1024;
    // The version is shown in the report; a server cannot fill the page.
    static constexpr size_t MAX_VERSION_CHARS = 64;
    // How often the request looks whether it should give up.
    static constexpr int STOP_POLL_MS = 50;

    // fnStopRequested is asked at least every STOP_POLL_MS while it runs.
    LatestVersionRequest(const UpdateServer& server, std::function<bool()> fnStopRequested);

    UpdateCheckOutcome Run();

    // The version in a page body: the text between the first and the last "$"
    // of the first line that has one (all of the rest after a single "$"),
    // empty when no line has one; cut to MAX_VERSION_CHARS.
    static wxString VersionFromBody(const std::string& strBody);

private:
    UpdateServer m_server;
    std::function<bool()> m_fnStopRequested;
};
