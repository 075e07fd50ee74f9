#include "ui/UpdateCheck.h"

#include "report/LatestVersion.h"
#include "report/LatestVersionRequest.h"

#include <wx/app.h>
#include <wx/config.h>
#include <wx/msgdlg.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace
{
// Every check's thread, from its start until it has ended. Never destroyed:
// a thread may end while the program is already on its way out.
struct Checks
{
    std::mutex mutex;
    std::condition_variable ended;
    int nRunning = 0;
    std::atomic<bool> bShuttingDown{false};
};

Checks& TheChecks()
{
    static Checks* pChecks = new Checks;
    return *pChecks;
}

void CountStarted()
{
    std::lock_guard<std::mutex> lock(TheChecks().mutex);
    ++TheChecks().nRunning;
}

void CountEnded()
{
    Checks& checks = TheChecks();
    std::lock_guard<std::mutex> lock(checks.mutex);
    --checks.nRunning;
    checks.ended.notify_all();
}

// Counts the thread as ended only when it really ends: its thread-local
// objects go after the toolkit's own clean-up of the thread, which touches
// the toolkit's thread bookkeeping.
struct EndOfThread
{
    bool bArmed = false;
    ~EndOfThread()
    {
        if (bArmed)
            CountEnded();
    }
};
thread_local EndOfThread t_endOfThread;

void ShowConfirm(const wxString& strText)
{
    // Not parented to the window: the window may close while it shows.
    wxMessageBox(strText, _("Confirm"), wxOK | wxCENTRE);
}
} // namespace

CheckVerThread::CheckVerThread(std::shared_ptr<LatestVersion> pVersion, const UpdateServer& server)
    : wxThread(wxTHREAD_DETACHED), m_pVersion(std::move(pVersion)), m_server(server)
{
    CountStarted();
}

CheckVerThread::~CheckVerThread()
{
    // A thread that ran is counted out at its very end; one that never ran,
    // here.
    if (!m_bEntered)
        CountEnded();
}

wxThread::ExitCode CheckVerThread::Entry()
{
    m_bEntered = true;
    t_endOfThread.bArmed = true;
    if (StopRequested())
        return 0;
    try
    {
        CheckLatestVersion();
    }
    catch (...)
    {
        ShowUpdateMessage(
            m_pVersion,
            [] { return UpdateCheckOutcome::Failure(UpdateCheckOutcome::FAILED).Message(); });
    }
    return 0;
}

void CheckVerThread::CheckLatestVersion()
{
    LatestVersionRequest request(m_server, [this] { return StopRequested(); });
    const UpdateCheckOutcome outcome = request.Run();
    if (outcome.m_kind == UpdateCheckOutcome::VERSION)
    {
        if (!m_pVersion->Set(outcome.m_strVersion))
            ShowUpdateMessage(m_pVersion, [] { return wxString("Lock not ok!"); });
    }
    else if (outcome.HasMessage())
    {
        ShowUpdateMessage(m_pVersion, [outcome] { return outcome.Message(); });
    }
}

bool CheckVerThread::StopRequested()
{
    return TestDestroy() || m_pVersion->IsAbandoned() || TheChecks().bShuttingDown;
}

void StartUpdateCheck(const std::shared_ptr<LatestVersion>& pVersion)
{
    StartUpdateCheck(pVersion, UpdateServer::FromConfig(wxConfigBase::Get()));
}

void StartUpdateCheck(const std::shared_ptr<LatestVersion>& pVersion, const UpdateServer& server)
{
    if (!server.IsSet() || TheChecks().bShuttingDown)
        return;

    auto* pThread = new CheckVerThread(pVersion, server);
    if (pThread->Create() != wxTHREAD_NO_ERROR)
        ShowConfirm(_("Can't create thread!"));
    // Run creates the system thread itself when Create could not.
    if (pThread->Run() != wxTHREAD_NO_ERROR)
    {
        ShowConfirm(_("Can't start thread!"));
        delete pThread; // a detached thread that never ran does not delete itself
    }
}

void ShowUpdateMessage(const std::shared_ptr<LatestVersion>& pVersion,
                       std::function<wxString()> fnText)
{
    // The lock keeps the application object alive while the message is
    // queued: StopUpdateChecks takes it before the program tears it down.
    Checks& checks = TheChecks();
    std::lock_guard<std::mutex> lock(checks.mutex);
    if (checks.bShuttingDown || !wxTheApp)
        return;
    wxTheApp->CallAfter(
        [pVersion, fnText]
        {
            if (!pVersion->IsAbandoned())
                ShowConfirm(fnText());
        });
}

bool WaitForUpdateChecks(int nMaxWaitMs)
{
    Checks& checks = TheChecks();
    std::unique_lock<std::mutex> lock(checks.mutex);
    return checks.ended.wait_for(lock, std::chrono::milliseconds(nMaxWaitMs),
                                 [&checks] { return checks.nRunning == 0; });
}

bool StopUpdateChecks(int nMaxWaitMs)
{
    {
        std::lock_guard<std::mutex> lock(TheChecks().mutex);
        TheChecks().bShuttingDown = true;
    }
    return WaitForUpdateChecks(nMaxWaitMs);
}
