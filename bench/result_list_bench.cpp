// The detail list at 100,000 rows, timed in the ways a user meets it:
// appending the rows one at a time as a count does (the count's event pump
// turning between rows), sorting by a number, a text and the date column, and
// refilling after a filter change. Every step ends with the list painted.
// Needs a display:
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/bench/linecast_result_list_bench [ROWS]
// The targets are absolute, 0.5 s each on the project's 2-core machine.
// Baselines measured in the same run are printed beside: the count's pumping
// alone beside the appending, and the record pointers sorted with the
// comparator alone beside each sort.
#include "engine/Result.h"
#include "ui/WxMessagePump.h"
#include "ui/results/ResultListCtrl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/stopwatch.h>

namespace
{
class BenchApp : public wxApp
{
public:
    bool OnInit() override { return true; }
};

constexpr double TARGET_SECONDS = 0.5;
constexpr int CODE_LINES = 4, FOLDER = 2, MODIFIED_DATE = 15;

// A tree shaped like a kernel's: a few thousand folders, a handful of types.
std::vector<std::unique_ptr<FileResult>> MakeFiles(size_t nCount)
{
    std::mt19937 random(11);
    const char* const exts[] = {".c", ".h", ".cpp", ".hpp", ".py"};
    std::vector<std::unique_ptr<FileResult>> arrFiles;
    for (size_t i = 0; i < nCount; ++i)
    {
        auto pFile = std::make_unique<FileResult>();
        pFile->m_strFolder = wxString::Format("/usr/src/linux/drivers/sub%u/part%u",
                                              unsigned(random() % 60), unsigned(random() % 40));
        pFile->m_strExt = exts[random() % std::size(exts)];
        pFile->m_strFile =
            wxString::Format("file%06u", unsigned(random() % 1000000)) + pFile->m_strExt;
        pFile->m_strPath = pFile->m_strFolder + "/" + pFile->m_strFile;
        pFile->m_nCodeLines = random() % 5000;
        pFile->m_nCommentLines = random() % 1000;
        pFile->m_nBlankLines = random() % 800;
        pFile->m_nLines = pFile->m_nCodeLines + pFile->m_nCommentLines + pFile->m_nBlankLines;
        pFile->m_nSize = pFile->m_nLines * 31;
        pFile->m_fCost = pFile->m_nCodeLines * 2.5f;
        pFile->m_dtModified = wxDateTime(time_t(1500000000 + random() % 200000000));
        arrFiles.push_back(std::move(pFile));
    }
    return arrFiles;
}

// Lets every pending event and the idle work (the list's relayout and
// repaint) run, then paints what is left.
void Settle(wxWindow& window)
{
    wxEventLoopBase* pLoop = wxEventLoopBase::GetActive();
    while (pLoop->Pending())
        pLoop->Dispatch();
    wxTheApp->ProcessPendingEvents();
    pLoop->ProcessIdle();
    window.Update();
}

void Report(const char* szWhat, double fSeconds)
{
    std::printf("%-52s %7.3f s  %s\n", szWhat, fSeconds,
                fSeconds < TARGET_SECONDS ? "(under 0.5 s)" : "(OVER 0.5 s)");
}

template <class Step> double Time(wxWindow& window, Step step)
{
    wxStopWatch watch;
    step();
    Settle(window);
    return watch.TimeInMicro().ToDouble() / 1e6;
}

double FloorSort(const std::vector<std::unique_ptr<FileResult>>& arrFiles, int nSortWord)
{
    std::vector<const Result*> arr;
    for (const auto& pFile : arrFiles)
        arr.push_back(pFile.get());
    wxStopWatch watch;
    std::stable_sort(arr.begin(), arr.end(),
                     [nSortWord](const Result* a, const Result* b)
                     { return CompareResultRows(ResultRowKind::File, a, b, nSortWord) < 0; });
    return watch.TimeInMicro().ToDouble() / 1e6;
}
} // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv)
{
    const size_t nRows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    if (!wxEntryStart(argc, argv))
    {
        std::fprintf(stderr, "linecast_result_list_bench: cannot open a display (run under "
                             "xvfb-run)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    int nResult = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator activate(&loop);

        auto* pFrame = new wxFrame(nullptr, wxID_ANY, "Linecast list benchmark", wxPoint(0, 0),
                                   wxSize(1280, 800));
        auto* pList = new ResultListCtrl(pFrame, ResultRowKind::File, "ID_LC_DETAIL");
        pList->InitColumns();
        pFrame->Show();
        Settle(*pFrame);

        const auto arrFiles = MakeFiles(nRows);
        std::printf("%zu detail rows\n", nRows);

        // The count's pumping alone first, while the list is empty.
        WxMessagePump pump;
        const double fPumpOnly = Time(*pFrame,
                                      [&]
                                      {
                                          for (size_t i = 0; i < arrFiles.size(); ++i)
                                              pump.HandleOnePendingEvent();
                                      });
        const double fAppend = Time(*pFrame,
                                    [&]
                                    {
                                        for (const auto& pFile : arrFiles)
                                        {
                                            pump.HandleOnePendingEvent();
                                            pList->AppendRecord(pFile.get());
                                        }
                                    });
        Report("append one at a time, pumping as a count does", fAppend);
        std::printf("%-52s %7.3f s\n", "  the same pumping without the list", fPumpOnly);

        const struct
        {
            const char* szWhat;
            int nColumn;
        } sorts[] = {{"sort by \"Code lines\" (number)", CODE_LINES},
                     {"sort by \"Folder\" (text)", FOLDER},
                     {"sort by \"Modified Date\" (date)", MODIFIED_DATE}};
        for (const auto& sort : sorts)
        {
            const double fSort = Time(*pFrame, [&] { pList->ClickColumn(sort.nColumn); });
            Report(sort.szWhat, fSort);
            std::printf("%-52s %7.3f s\n", "  std::stable_sort with CompareDetailRows, no list",
                        FloorSort(arrFiles, sort.nColumn));
            nResult |= fSort >= TARGET_SECONDS;
        }

        // An extension unchecked in the filter: what OnAnalysisUpdate does to
        // the detail list.
        std::vector<const Result*> arrVisible;
        for (const auto& pFile : arrFiles)
            if (pFile->m_strExt != ".h")
                arrVisible.push_back(pFile.get());
        const double fRefill = Time(*pFrame,
                                    [&]
                                    {
                                        pList->DeleteAllItems();
                                        pList->AppendRecords(arrVisible);
                                        pList->SortAscending();
                                    });
        Report("refill after a filter change, sorted", fRefill);
        nResult |= fAppend >= TARGET_SECONDS || fRefill >= TARGET_SECONDS;

        pFrame->Destroy();
        wxTheApp->ProcessIdle(); // deletes the frame
    }
    wxEntryCleanup();
    return nResult;
}
