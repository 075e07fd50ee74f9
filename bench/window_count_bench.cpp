// A count from the main window, timed as a user meets it: the real frame on a
// (virtual) display, the folders listed and checked, the source types picked
// from the box, Start pressed. The run pumps the window's events between files
// as it does for a user. Prints, as "name value" lines for the script:
//   engine_s     median wall time of the same count by the engine alone in
//                this process (no window, no pump): the floor for the window
//   count_s      median wall time of a whole count from the window, from Start
//                to the views filled and the report rendered
//   count_cpu_s  median CPU time (user and system) this process used for it
//   files        the files the window counted
//   max_gap_ms   the longest the window went without answering a 20 ms timer
//                during a count (how long it could not paint or react)
//   status_paints, list_paints  paints of the status bar and of the detail
//                list during the last count
//   stop_ms      median time from a real Stop click (an X server event) in the
//                middle of a count to the end of the run
// Needs a display:
//   xvfb-run -a -s "-screen 0 1280x800x24" bench/linecast_window_bench RUNS TYPES FOLDER...
// Settings and the rules copy go wherever XDG_CONFIG_HOME points.
#include "config/DataFiles.h"
#include "engine/CountingManager.h"
#include "report/AnalysisParam.h"
#include "ui/LinecastFrame.h"
#include "ui/settings/SourceTypeChoice.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>
#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/image.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

namespace
{
// CPU seconds this process has used so far, user and system.
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& tv) { return tv.tv_sec + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Median(std::vector<double> arr)
{
    std::sort(arr.begin(), arr.end());
    const size_t n = arr.size();
    return n % 2 ? arr[n / 2] : (arr[n / 2 - 1] + arr[n / 2]) / 2;
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

void Settle(int nMs)
{
    const wxStopWatch watch;
    while (watch.Time() < nMs)
    {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
}

// Counts the paints of a window and of its children.
void CountPaints(wxWindow* pWindow, int& nPaints)
{
    for (wxWindow* pChild : pWindow->GetChildren())
        CountPaints(pChild, nPaints);
    pWindow->Bind(wxEVT_PAINT,
                  [&nPaints](wxPaintEvent& event)
                  {
                      ++nPaints;
                      event.Skip();
                  });
}

class BenchApp : public wxApp
{
public:
    bool OnInit() override
    {
        if (argc < 4)
        {
            std::fprintf(stderr, "usage: linecast_window_bench RUNS TYPES FOLDER...\n");
            return false;
        }
        m_nRuns = std::max(1L, std::strtol(argv[1].utf8_str(), nullptr, 10));
        m_strTypes = argv[2];
        for (int i = 3; i < argc; ++i)
            m_arrFolders.Add(argv[i]);

        SetVendorName("Quorvel");
        SetAppName("Linecast");
        wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
        SetDataDir(LINECAST_DIST_DIR);
        wxInitAllImageHandlers();
        m_pFrame = new LinecastFrame(nullptr);
        m_pFrame->SetSize(0, 0, 1280, 800);
        m_pFrame->Show();
        CallAfter(&BenchApp::Run);
        return true;
    }

private:
    void Run()
    {
        Settle(1000);
        const double fEngine = TimeEngineAlone();

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

        m_pStart = Find<wxBitmapButton>(m_pFrame, "ID_BITMAPBUTTON_START");
        m_pStop = Find<wxBitmapButton>(m_pFrame, "ID_BITMAPBUTTON_STOP");
        wxStatusBar* pStatus = m_pFrame->GetStatusBar();
        CountPaints(pStatus, m_nStatusPaints);
        CountPaints(Find<wxWindow>(m_pFrame, "ID_LC_DETAIL"), m_nListPaints);
        m_ticks.Bind(wxEVT_TIMER, &BenchApp::OnTick, this);

        std::vector<double> arrCounts, arrCpu;
        for (long i = 0; i < m_nRuns; ++i)
        {
            m_nStatusPaints = m_nListPaints = 0;
            const double fCpu = CpuSeconds();
            arrCounts.push_back(TimeStart());
            arrCpu.push_back(CpuSeconds() - fCpu);
            std::fprintf(stderr, "count %ld: %.3f s (CPU %.3f s), \"%s\", \"%s\", gap %ld ms\n",
                         i + 1, arrCounts.back(), arrCpu.back(), Utf8(pStatus->GetStatusText(0)),
                         Utf8(pStatus->GetStatusText(1)), m_nMaxGap);
            Settle(300);
        }
        std::printf("engine_s %.3f\n", fEngine);
        std::printf("count_s %.3f\n", Median(arrCounts));
        std::printf("count_cpu_s %.3f\n", Median(arrCpu));
        std::printf("files %s\n", Utf8(pStatus->GetStatusText(1).BeforeFirst(' ')));
        std::printf("max_gap_ms %ld\n", m_nMaxGap);
        std::printf("status_paints %d\n", m_nStatusPaints);
        std::printf("list_paints %d\n", m_nListPaints);

        // Stop clicked at a quarter, half and three quarters of a count.
        m_pDisplay = XOpenDisplay(nullptr);
        std::vector<double> arrStops;
        m_stopTimer.Bind(wxEVT_TIMER, &BenchApp::OnStopTimer, this);
        for (double fShare : {0.25, 0.5, 0.75})
        {
            m_stopTimer.StartOnce(static_cast<int>(Median(arrCounts) * 1000 * fShare));
            m_bClicked = false;
            TimeStart();
            const double fStop = m_stopClock.Time();
            std::fprintf(stderr,
                         "Stop at %.0f%%: \"%s\", \"%s\", run ended %.0f ms after the click\n",
                         fShare * 100, Utf8(pStatus->GetStatusText(0)),
                         Utf8(pStatus->GetStatusText(1)), fStop);
            if (m_bClicked && pStatus->GetStatusText(0) == "Canceled")
                arrStops.push_back(fStop);
            Settle(300);
        }
        XCloseDisplay(m_pDisplay);
        if (!arrStops.empty())
            std::printf("stop_ms %.0f\n", Median(arrStops));
        std::fflush(stdout);
        m_pFrame->Close(true);
    }

    // The same count by the engine alone, as linecast-cli runs it, in this
    // process: what the window adds is the rest.
    double TimeEngineAlone()
    {
        CountingManager manager;
        manager.SetRulesPath(DataFilePath("conf/conf.xml"));
        manager.SetSaveRulesOnDestroy(false);
        manager.LoadRules();
        SelectSourceTypes(manager.m_extensionTable, m_strTypes);
        std::vector<double> arrTimes;
        for (long i = 0; i < m_nRuns; ++i)
        {
            CountingParam param;
            param.m_arrDirs = m_arrFolders;
            AnalysisParam analysis;
            manager.ClearResults();
            manager.m_nState = CountingManager::STATE_RUNNING;
            manager.SetCountingParam(param, analysis);
            const wxStopWatch watch;
            manager.DoCounting();
            arrTimes.push_back(watch.Time() / 1000.0);
        }
        return Median(arrTimes);
    }

    // One count; the ticks measure how long the window went unanswered.
    double TimeStart()
    {
        m_nMaxGap = 0;
        m_tickClock.Start();
        m_ticks.Start(20);
        const wxStopWatch watch;
        Click(m_pStart);
        const double fSeconds = watch.Time() / 1000.0;
        m_ticks.Stop();
        m_stopClock.Pause();
        return fSeconds;
    }

    void OnTick(wxTimerEvent&)
    {
        m_nMaxGap = std::max(m_nMaxGap, m_tickClock.Time());
        m_tickClock.Start();
    }

    void OnStopTimer(wxTimerEvent&)
    {
        // A real click through the X server, as a user's would come.
        const wxRect rect = m_pStop->GetScreenRect();
        const wxPoint center = rect.GetPosition() + rect.GetSize() / 2;
        XTestFakeMotionEvent(m_pDisplay, -1, center.x, center.y, CurrentTime);
        XTestFakeButtonEvent(m_pDisplay, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_pDisplay, 1, False, CurrentTime);
        XFlush(m_pDisplay);
        m_stopClock.Start();
        m_bClicked = true;
    }

    long m_nRuns = 1;
    wxString m_strTypes;
    wxArrayString m_arrFolders;
    LinecastFrame* m_pFrame = nullptr;
    wxBitmapButton* m_pStart = nullptr;
    wxBitmapButton* m_pStop = nullptr;
    wxTimer m_ticks;
    wxStopWatch m_tickClock;
    long m_nMaxGap = 0;
    int m_nStatusPaints = 0;
    int m_nListPaints = 0;
    wxTimer m_stopTimer;
    wxStopWatch m_stopClock;
    bool m_bClicked = false;
    Display* m_pDisplay = nullptr;
};
} // namespace

wxIMPLEMENT_APP(BenchApp);
