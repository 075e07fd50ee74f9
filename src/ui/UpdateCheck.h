#pragma once

#include "report/UpdateServer.h"

#include <functional>
#include <memory>
#include <wx/string.h>
#include <wx/thread.h>

class LatestVersion;

// The once-per-start check for the latest published version: a detached
// worker asks the update server and writes the answer into the LatestVersion
// it shares with the main window. Its messages are shown on the GUI thread,
// and only while that window is still open.
class CheckVerThread : public wxThread
{
public:
    CheckVerThread(std::shared_ptr<LatestVersion> pVersion, const UpdateServer& server);
    ~CheckVerThread() override;

protected:
    ExitCode Entry() override;

private:
    void CheckLatestVersion();
    bool StopRequested();

    std::shared_ptr<LatestVersion> m_pVersion;
    UpdateServer m_server;
    bool m_bEntered = false;
};

// Starts the check for the window that holds pVersion, against the server
// named in the preferences store; without one no check is made. Called on the
// GUI thread.
void StartUpdateCheck(const std::shared_ptr<LatestVersion>& pVersion);
void StartUpdateCheck(const std::shared_ptr<LatestVersion>& pVersion, const UpdateServer& server);

// Shows a message of the check titled "Confirm", on the GUI thread whichever
// thread asks, and not at all once the window holding pVersion has gone.
void ShowUpdateMessage(const std::shared_ptr<LatestVersion>& pVersion,
                       std::function<wxString()> fnText);

// Waits up to nMaxWaitMs until every check's thread has ended; false when one
// still runs.
bool WaitForUpdateChecks(int nMaxWaitMs);
// For the end of the program: asks every check to give up at once, holds back
// their messages, starts none any more, and waits as WaitForUpdateChecks does.
// A thread still running while the toolkit is torn down would use freed parts
// of it.
bool StopUpdateChecks(int nMaxWaitMs);
