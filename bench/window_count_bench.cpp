// The main window timed as a user meets it: the real frame on a (virtual)
// display, the folders listed and checked, the source types picked from the
// box, Start pressed; Stop, Alt-X and the window manager's close coming
// through the X server. One measurement per process, so that each starts from
// a fresh window and its peak memory is its own:
//
//   settle TYPES FOLDER...     Start, then wait until the window is settled:
//                              views filled, report rendered and no CPU used
//                              for a whole second.
//   stop MS TYPES FOLDER...    Stop clicked MS after Start.
//   quit MS TYPES FOLDER...    Alt-X pressed MS after Start.
//   close MS TYPES FOLDER...   the window manager's close MS after Start.
//   export MS TARGET TYPES FOLDER...
//                              a count, then Export CSV to TARGET with Stop
//                              clicked MS after the export began.
//
// Prints "name value" lines for bench/run-window-count.sh:
//   count_s      from Start until its handler returned (the run, the views,
//                the report)
//   settled_s    from Start until the first second without CPU use began
//   cpu_s        CPU time (every thread) from Start until settled
//   report_ms    then, the Report page clicked: until its page was laid out
//                and drawn
//   files        the files the window counted
//   max_gap_ms   the longest the window went without answering a 20 ms timer
//   peak_kb      the process's peak resident memory (VmHWM)
//   stop_ms      from the Stop click (or the key, or the close) until the run
//                ended (quit, close: until the window was destroyed)
//   export_ms    from the Stop click until the export had ended
// Needs a display:
//   xvfb-run -a -s "-screen 0 1280x800x24" bench/linecast_window_bench MODE ...
// Settings and the rules copy go wherever XDG_CONFIG_HOME points.
#include "engine/CountingManager.h"
#include "ui/LinecastFrame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wx/app.h>
#include <wx/aui/auibook.h>
#include <wx/bmpbuttn.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/modalhook.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include "config/DataFiles.h"
#include "ui/GtkSetup.h"
#include "ui/settings/SourceTypeChoice.h"

// The frame's insides the export measurement needs: what choosing a file in
// the export's chooser leads to, and whether the export is still going on.
class LinecastFrameTestAccess
{
public:
    explicit LinecastFrameTestAccess(LinecastFrame& frame) : m_frame(frame) {}
    void ExportCsvTo(const wxString& strPath) { m_frame.ExportCsvTo(strPath); }
    // The report pane to the front, where it lays the report out.
    void ShowReport() { m_frame.m_pResultNotebook->SetSelection(2); }
    bool IsExporting() const { return m_frame.IsExporting(); }

private:
    LinecastFrame& m_frame;
};

namespace
{
// A second is quiet when the process used less CPU than this in it: what an
// idle window with the bench's own timers costs is far below.
constexpr double QUIET_CPU_S = 0.02;

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

long PeakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    while (std::getline(status, strLine))
        if (strLine.rfind("VmHWM:", 0) == 0)
            return std::strtol(strLine.c_str() + 6, nullptr, 10);
    return -1;
}

const char* Utf8(const wxString& str)
{
    static wxScopedCharBuffer buffer;
    buffer = str.utf8_str();
    return buffer.data();
}

template <class Window> Window* Find(wxWindow* pParent, const char* szName)
{
    auto* pWindow = dynamic_cast<Window*>(wxWindow::FindWindowByName(szName, pParent));
    if (!pWindow)
    {
        std::fprintf(stderr, "linecast_window_bench: no %s\n", szName);
        std::exit(1);
    }
    return pWindow;
}

void Click(wxWindow* pButton)
{
    wxCommandEvent event(wxEVT_BUTTON, pButton->GetId());
    event.SetEventObject(pButton);
    pButton->ProcessWindowEvent(event);
}

// The process's CPU time, sampled every few milliseconds on a thread of its
// own, so that a quiet second is found wherever it begins.
class CpuSampler
{
public:
    CpuSampler()
        : m_thread(
              [this]
              {
                  while (!m_bStop)
                  {
                      {
                          std::lock_guard<std::mutex> lock(m_mutex);
                          m_arrSamples.push_back({Now(), CpuSeconds()});
                      }
                      std::this_thread::sleep_for(std::chrono::milliseconds(5));
                  }
              })
    {
    }
    ~CpuSampler()
    {
        m_bStop = true;
        m_thread.join();
    }

    // The start of the first quiet second from fFrom on, once one has been
    // seen whole; false until then. fCpu: the CPU time at that start.
    bool FindQuietSecond(double fFrom, double& fStart, double& fCpu)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::size_t j = 0;
        for (std::size_t i = 0; i < m_arrSamples.size(); ++i)
        {
            if (m_arrSamples[i].fTime < fFrom)
                continue;
            j = std::max(j, i);
            while (j < m_arrSamples.size() && m_arrSamples[j].fTime < m_arrSamples[i].fTime + 1)
                ++j;
            if (j == m_arrSamples.size())
                return false;
            if (m_arrSamples[j].fCpu - m_arrSamples[i].fCpu < QUIET_CPU_S)
            {
                fStart = m_arrSamples[i].fTime;
                fCpu = m_arrSamples[i].fCpu;
                return true;
            }
        }
        return false;
    }

private:
    struct Sample
    {
        double fTime;
        double fCpu;
    };
    std::mutex m_mutex;
    std::vector<Sample> m_arrSamples;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

// Message boxes (an export's outcome) are answered at once.
class AnswerDialogs : public wxModalDialogHook
{
protected:
    int Enter(wxDialog* pDialog) override
    {
        std::fprintf(stderr, "dialog \"%s\" answered\n", Utf8(pDialog->GetTitle()));
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

class BenchApp : public wxApp
{
public:
    BenchApp() { PrepareGtk(); } // as the program does
    bool OnInit() override
    {
        const wxString strUsage =
            "usage: linecast_window_bench settle TYPES FOLDER...\n"
            "       linecast_window_bench stop|quit|close MS TYPES FOLDER...\n"
            "       linecast_window_bench export MS TARGET TYPES FOLDER...\n";
        int nArg = 1;
        m_strMode = argc > 1 ? argv[nArg++] : wxString();
        if (m_strMode != "settle")
            m_nDelayMs = argc > nArg ? std::strtol(argv[nArg++].utf8_str(), nullptr, 10) : 0;
        if (m_strMode == "export")
            m_strTarget = argc > nArg ? argv[nArg++] : wxString();
        m_strTypes = argc > nArg ? argv[nArg++] : wxString();
        for (; nArg < argc; ++nArg)
            m_arrFolders.Add(argv[nArg]);
        const wxString arrModes[] = {"settle", "stop", "quit", "close", "export"};
        if (std::find(std::begin(arrModes), std::end(arrModes), m_strMode) == std::end(arrModes) ||
            m_arrFolders.empty())
        {
            std::fputs(strUsage.utf8_str(), stderr);
            return false;
        }

        SetVendorName("Quorvel");
        SetAppName("Linecast");
        wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
        SetDataDir(LINECAST_DIST_DIR);
        wxInitAllImageHandlers();
        m_answer.Register();
        m_pFrame = new LinecastFrame(nullptr);
        m_pFrame->SetSize(0, 0, 1280, 800);
        m_pFrame->Show();
        m_pFrame->Bind(wxEVT_DESTROY, &BenchApp::OnFrameDestroyed, this);
        m_pDisplay = XOpenDisplay(nullptr);
        CallAfter(&BenchApp::Run);
        return true;
    }

    int OnExit() override
    {
        if (m_pDisplay)
            XCloseDisplay(m_pDisplay);
        m_answer.Unregister();
        std::fflush(stdout);
        return wxApp::OnExit();
    }

private:
    void Run()
    {
        auto* pFolders = Find<wxCheckListBox>(m_pFrame, "ID_CHECKLISTBOX1");
        pFolders->Clear();
        for (const wxString& strFolder : m_arrFolders)
            pFolders->Check(pFolders->Append(strFolder));
        // Picked from the box, as a user does: that selects the types.
        auto* pTypes = Find<wxComboBox>(m_pFrame, "ID_COMBOBOX1");
        pTypes->Set(wxArrayString(1, &m_strTypes));
        pTypes->SetSelection(0);
        wxCommandEvent picked(wxEVT_COMBOBOX, pTypes->GetId());
        picked.SetEventObject(pTypes);
        picked.SetInt(0);
        pTypes->ProcessWindowEvent(picked);
        RunFor(1.0); // the window shown with the user's choice, and idle
        m_pStart = Find<wxBitmapButton>(m_pFrame, "ID_BITMAPBUTTON_START");
        m_pStop = Find<wxBitmapButton>(m_pFrame, "ID_BITMAPBUTTON_STOP");
        m_ticks.Bind(wxEVT_TIMER, &BenchApp::OnTick, this);
        m_interrupt.Bind(wxEVT_TIMER, &BenchApp::OnInterrupt, this);

        if (m_strMode == "settle")
            MeasureSettle();
        else if (m_strMode == "export")
            MeasureExport();
        else
            MeasureInterrupt();
    }

    void MeasureSettle()
    {
        CpuSampler sampler;
        StartTicks();
        const double fStart = Now();
        const double fCpuStart = CpuSeconds();
        Click(m_pStart);
        const double fReturned = Now();
        // The ticks measure how the window answers during the count. Left
        // running, their fifty events a second, each followed by the idle
        // events of every window, cost about as much CPU as a quiet second
        // allows, and the window would seldom be seen settled.
        m_ticks.Stop();
        double fQuiet = 0, fCpuQuiet = 0;
        // The window's own loop runs meanwhile: its idle work is what is
        // waited for.
        RunUntil([&] { return sampler.FindQuietSecond(fReturned, fQuiet, fCpuQuiet); }, 300);
        // Then the Report page clicked: it lays the report out now.
        const double fReport = Now();
        LinecastFrameTestAccess(*m_pFrame).ShowReport();
        m_pFrame->Update();
        std::printf("count_s %.3f\n", fReturned - fStart);
        std::printf("settled_s %.3f\n", fQuiet - fStart);
        std::printf("cpu_s %.3f\n", fCpuQuiet - fCpuStart);
        std::printf("report_ms %.0f\n", (Now() - fReport) * 1000);
        PrintCommon();
        m_pFrame->Close(true);
    }

    // Stop, Alt-X or the close, MS after Start.
    void MeasureInterrupt()
    {
        StartTicks();
        m_interrupt.StartOnce(static_cast<int>(m_nDelayMs));
        Click(m_pStart);
        if (m_strMode != "stop")
            return; // the window closes when the run has ended
        m_ticks.Stop();
        std::printf("stop_ms %.0f\n", (Now() - m_fInterrupted) * 1000);
        PrintCommon();
        m_pFrame->Close(true);
    }

    void MeasureExport()
    {
        Click(m_pStart);
        RunFor(1.0);
        LinecastFrameTestAccess access(*m_pFrame);
        StartTicks();
        m_interrupt.StartOnce(static_cast<int>(m_nDelayMs));
        access.ExportCsvTo(m_strTarget);
        // Stop ends the export; a window that waits no longer than needed for
        // it answers the timer meanwhile.
        RunUntil([&] { return m_fInterrupted > 0 && !access.IsExporting(); }, 60);
        m_ticks.Stop();
        if (m_fInterrupted > 0 && !access.IsExporting())
            std::printf("export_ms %.0f\n", (Now() - m_fInterrupted) * 1000);
        PrintCommon();
        m_pFrame->Close(true);
    }

    void PrintCommon()
    {
        std::printf("status %s\n", Utf8(m_pFrame->GetStatusBar()->GetStatusText(0)));
        std::printf("files %s\n",
                    Utf8(m_pFrame->GetStatusBar()->GetStatusText(1).BeforeFirst(' ')));
        std::printf("max_gap_ms %ld\n", m_nMaxGap);
        std::printf("peak_kb %ld\n", PeakKilobytes());
        std::fflush(stdout);
    }

    void OnFrameDestroyed(wxWindowDestroyEvent& event)
    {
        event.Skip();
        if (event.GetEventObject() != m_pFrame || m_strMode == "settle" || m_strMode == "stop" ||
            m_strMode == "export")
            return;
        m_ticks.Stop();
        std::printf("stop_ms %.0f\n", (Now() - m_fInterrupted) * 1000);
        std::printf("max_gap_ms %ld\n", m_nMaxGap);
        std::fflush(stdout);
    }

    void OnInterrupt(wxTimerEvent&)
    {
        // As a user's would come: through the X server.
        m_fInterrupted = Now();
        if (m_strMode == "quit")
        {
            // Where a window manager would put the keyboard: on the window.
            XSetInputFocus(m_pDisplay, FindFrameWindow(), RevertToParent, CurrentTime);
            const KeyCode nAlt = XKeysymToKeycode(m_pDisplay, XK_Alt_L);
            const KeyCode nX = XKeysymToKeycode(m_pDisplay, XK_x);
            XTestFakeKeyEvent(m_pDisplay, nAlt, True, CurrentTime);
            XTestFakeKeyEvent(m_pDisplay, nX, True, CurrentTime);
            XTestFakeKeyEvent(m_pDisplay, nX, False, CurrentTime);
            XTestFakeKeyEvent(m_pDisplay, nAlt, False, CurrentTime);
        }
        else if (m_strMode == "close")
            SendCloseRequest();
        else
        {
            const wxRect rect = m_pStop->GetScreenRect();
            const wxPoint center = rect.GetPosition() + rect.GetSize() / 2;
            XTestFakeMotionEvent(m_pDisplay, -1, center.x, center.y, CurrentTime);
            XTestFakeButtonEvent(m_pDisplay, 1, True, CurrentTime);
            XTestFakeButtonEvent(m_pDisplay, 1, False, CurrentTime);
        }
        XFlush(m_pDisplay);
    }

    // The frame's X window: Xvfb runs no window manager, so it is the
    // top-level window on screen that this process made (GTK tells the
    // process in _NET_WM_PID).
    Window FindFrameWindow()
    {
        Window nRoot, nParent, *pChildren = nullptr;
        unsigned nChildren = 0;
        XQueryTree(m_pDisplay, DefaultRootWindow(m_pDisplay), &nRoot, &nParent, &pChildren,
                   &nChildren);
        const Atom pidAtom = XInternAtom(m_pDisplay, "_NET_WM_PID", False);
        Window nFrame = None;
        for (unsigned i = 0; i < nChildren && nFrame == None; ++i)
        {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(m_pDisplay, pChildren[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            Atom type;
            int nFormat;
            unsigned long nItems, nAfter;
            unsigned char* pData = nullptr;
            if (XGetWindowProperty(m_pDisplay, pChildren[i], pidAtom, 0, 1, False, XA_CARDINAL,
                                   &type, &nFormat, &nItems, &nAfter, &pData) == Success &&
                pData && nItems == 1 &&
                *reinterpret_cast<unsigned long*>(pData) == static_cast<unsigned long>(getpid()))
                nFrame = pChildren[i];
            if (pData)
                XFree(pData);
        }
        if (pChildren)
            XFree(pChildren);
        return nFrame;
    }

    // What a window manager sends when its close button is clicked.
    void SendCloseRequest()
    {
        const Window nFrame = FindFrameWindow();
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = nFrame;
        event.xclient.message_type = XInternAtom(m_pDisplay, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(m_pDisplay, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_pDisplay, nFrame, False, NoEventMask, &event);
    }

    void StartTicks()
    {
        m_nMaxGap = 0;
        m_tickClock.Start();
        m_ticks.Start(20);
    }

    void OnTick(wxTimerEvent&)
    {
        m_nMaxGap = std::max(m_nMaxGap, m_tickClock.Time());
        m_tickClock.Start();
    }

    // Runs the window's event loop, as the main loop would, for a while or
    // until fnDone says so (looked at ten times a second).
    template <class Done> void RunUntil(Done fnDone, double fMaxSeconds)
    {
        wxGUIEventLoop loop;
        wxTimer check;
        const double fEnd = Now() + fMaxSeconds;
        check.Bind(wxEVT_TIMER,
                   [&](wxTimerEvent&)
                   {
                       if (fnDone() || Now() > fEnd)
                           loop.Exit();
                   });
        check.Start(100);
        loop.Run();
    }
    void RunFor(double fSeconds)
    {
        RunUntil([] { return false; }, fSeconds);
    }

    wxString m_strMode;
    long m_nDelayMs = 0;
    wxString m_strTarget;
    wxString m_strTypes;
    wxArrayString m_arrFolders;
    AnswerDialogs m_answer;
    LinecastFrame* m_pFrame = nullptr;
    wxBitmapButton* m_pStart = nullptr;
    wxBitmapButton* m_pStop = nullptr;
    Display* m_pDisplay = nullptr;
    wxTimer m_ticks;
    wxStopWatch m_tickClock;
    long m_nMaxGap = 0;
    wxTimer m_interrupt;
    double m_fInterrupted = 0;
};
} // namespace

wxIMPLEMENT_APP(BenchApp);
