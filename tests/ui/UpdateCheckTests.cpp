#include "FrameFixture.h"
#include "LoopbackServer.h"
#include "ui/UpdateCheck.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

using namespace frame_test;
using Mode = LoopbackServer::Mode;

namespace
{
// Answers a message box, checking its text and title.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage>
{
public:
    explicit ExpectMessage(const wxString& strText) : m_strText(strText) {}

protected:
    int OnInvoked(wxMessageDialog* pDialog) const override
    {
        EXPECT_EQ(pDialog->GetMessage(), m_strText);
        EXPECT_EQ(pDialog->GetTitle(), "Confirm");
        return wxID_OK;
    }

private:
    wxString m_strText;
};

class UpdateCheckTest : public FrameTest
{
protected:
    void PointAt(const LoopbackServer& server)
    {
        m_config.Config().Write("/update_host", "127.0.0.1");
        m_config.Config().Write("/update_port", server.Port());
    }
    // Lets the check's thread end; what it handed to the GUI thread is then
    // waiting to be run.
    static void WaitForCheck() { ASSERT_TRUE(WaitForUpdateChecks(10000)); }
};

TEST_F(UpdateCheckTest, VersionArrivesQuietlyAndOnlyWithAServer)
{
    Open();
    EXPECT_TRUE(WaitForUpdateChecks(0));
    EXPECT_FALSE(m_config.Config().HasEntry("/update_host"));
    Close();

    LoopbackServer server(Mode::ANSWER, "HTTP/1.0 200 OK\r\n\r\nLinecast\n$2.0.1$\n");
    PointAt(server);
    LinecastFrame& frame = Open();
    WaitForCheck();
    wxTheApp->ProcessPendingEvents(); // no message box
    EXPECT_EQ(frame.GetLatestVersion(), "2.0.1");
    Close();

    // A whole address wins over host, port and path.
    LoopbackServer server2(Mode::ANSWER, "HTTP/1.0 200 OK\r\n\r\n$2.1$\n");
    m_config.Config().Write("/update_url",
                            wxString::Format("http://127.0.0.1:%d/v", server2.Port()));
    LinecastFrame& frame2 = Open();
    WaitForCheck();
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(frame2.GetLatestVersion(), "2.1");
}

TEST_F(UpdateCheckTest, FailureIsToldOnTheGuiThreadWhileTheWindowIsOpen)
{
    const struct
    {
        Mode mode;
        const char* szAnswer;
        const char* szSecondLine;
    } rows[] = {{Mode::REFUSE, "", "Please check your internet connection and try again."},
                {Mode::ANSWER, "HTTP/1.1 404 Not Found\r\n\r\n",
                 "HTTP request failed, got HTTP response 404."},
                {Mode::ANSWER, "HTTP/1.1 200 OK\r\n\r\nno version here\n$\x1B\u202E$\n",
                 "The answer names no version."}};
    for (const auto& row : rows)
    {
        LoopbackServer server(row.mode, row.szAnswer);
        PointAt(server);
        LinecastFrame& frame = Open();
        WaitForCheck();
        wxTEST_DIALOG(wxTheApp->ProcessPendingEvents(),
                      ExpectMessage(wxString("An unknown error occurred while checking for "
                                             "updates.\n") +
                                    row.szSecondLine));
        EXPECT_EQ(frame.GetLatestVersion(), "unknown");

        // The same message, arriving after the window has gone, is dropped.
        Close();
        LoopbackServer server2(row.mode, row.szAnswer);
        PointAt(server2);
        Open();
        WaitForCheck();
        Close();
        wxTheApp->ProcessPendingEvents();
    }
}

// Asks the program's main window to close, as its close box does.
bool CloseWindowOf(pid_t pid)
{
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
        return false;
    const Atom pidAtom = XInternAtom(pDisplay, "_NET_WM_PID", False);
    Window root, parent, *pChildren = nullptr;
    unsigned int nChildren = 0;
    bool bSent = false;
    XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &nChildren);
    for (unsigned int i = 0; i < nChildren && !bSent; ++i)
    {
        Atom type;
        int nFormat;
        unsigned long nItems, nAfter;
        unsigned char* pData = nullptr;
        char* szName = nullptr;
        if (XGetWindowProperty(pDisplay, pChildren[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &nFormat, &nItems, &nAfter, &pData) == Success &&
            pData && nItems == 1 &&
            *reinterpret_cast<unsigned long*>(pData) == (unsigned long)pid &&
            XFetchName(pDisplay, pChildren[i], &szName) && std::string(szName) == "Linecast")
        {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = pChildren[i];
            event.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
            event.xclient.format = 32;
            event.xclient.data.l[0] = XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
            event.xclient.data.l[1] = CurrentTime;
            bSent = XSendEvent(pDisplay, pChildren[i], False, NoEventMask, &event) != 0;
        }
        if (szName)
            XFree(szName);
        if (pData)
            XFree(pData);
    }
    if (pChildren)
        XFree(pChildren);
    XCloseDisplay(pDisplay);
    return bSent;
}

// The real program, under the sanitizers it was built with: quitting while the
// check waits on a silent server ends it at once, with no report.
TEST_F(UpdateCheckTest, QuittingWhileTheServerStallsEndsTheProgramCleanly)
{
    LoopbackServer server(Mode::STALL);
    TempDir home;
    home.Write("Linecast.conf", "ui_language=default\nupdate_host=127.0.0.1\nupdate_port=" +
                                    std::to_string(server.Port()) + "\n");
    std::vector<std::string> arrEnv = {
        "XDG_CONFIG_HOME=" + home.Path(), "ASAN_OPTIONS=detect_leaks=1",
        "LSAN_OPTIONS=suppressions=" LINECAST_SOURCE_DIR "/tests/ui/lsan.supp"};
    for (char** p = environ; *p; ++p)
        if (strncmp(*p, "XDG_CONFIG_HOME=", 16) != 0 && strncmp(*p, "ASAN_OPTIONS=", 13) != 0 &&
            strncmp(*p, "LSAN_OPTIONS=", 13) != 0)
            arrEnv.push_back(*p);
    std::vector<char*> env;
    for (std::string& str : arrEnv)
        env.push_back(&str[0]);
    env.push_back(nullptr);

    const std::string strLog = home / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, m_strDir.utf8_str());
    posix_spawn_file_actions_addopen(&actions, 2, strLog.c_str(), O_WRONLY | O_CREAT, 0600);
    std::string strProgram = LINECAST_DIST_DIR "/linecast";
    char* argv[] = {&strProgram[0], nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, strProgram.c_str(), &actions, nullptr, argv, env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    ASSERT_TRUE(server.WaitForRequest(60000));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!CloseWindowOf(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    int nStatus = 0;
    deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(pid, &nStatus, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            kill(pid, SIGKILL);
            waitpid(pid, &nStatus, 0);
            FAIL() << "the program did not end";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string strErrors = ReadFileBytes(strLog);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << nStatus << "\n" << strErrors;
    for (const char* szReport : {"Sanitizer", "runtime error"})
        EXPECT_EQ(strErrors.find(szReport), std::string::npos) << strErrors;
}
} // namespace
