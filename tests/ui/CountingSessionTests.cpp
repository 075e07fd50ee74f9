#include "FrameFixture.h"
#include "engine/MessagePump.h"

#include <fcntl.h>
#include <unistd.h>
#include <wx/checkbox.h>
#include <wx/dnd.h>
#include <wx/evtloop.h>

using namespace frame_test;

namespace
{
// A message box whose text is checked before it is answered with OK.
class ExpectMessage : public wxExpectModal<wxMessageDialog>
{
public:
    explicit ExpectMessage(const wxString& strText)
        : wxExpectModal<wxMessageDialog>(wxID_OK), m_strText(strText)
    {
    }

protected:
    int OnInvoked(wxMessageDialog* pDialog) const override
    {
        EXPECT_EQ(pDialog->GetMessage(), m_strText);
        return wxID_OK;
    }

private:
    wxString m_strText;
};

// The window's own pump, with an action run once in the middle of a count,
// when it has counted nFiles: what a click or a key would do there.
class PumpAt : public MessagePump
{
public:
    PumpAt(const CountingManager& manager, size_t nFiles, std::function<void()> fnAction)
        : m_manager(manager), m_nFiles(nFiles), m_fnAction(std::move(fnAction))
    {
    }
    void HandleOnePendingEvent() override
    {
        if (m_fnAction && m_manager.m_arrFileResults.size() >= m_nFiles)
            std::exchange(m_fnAction, nullptr)();
        m_pump.HandleOnePendingEvent(); // may run wx's idle work: deferred deletions
    }

private:
    const CountingManager& m_manager;
    size_t m_nFiles;
    std::function<void()> m_fnAction;
    WxMessagePump m_pump;
};

// The window's own pump, with an action run at the nth pump in the middle of
// a file; the pumps in the middle of files are counted.
class PumpInFile : public MessagePump
{
public:
    PumpInFile(int nAt, std::function<void()> fnAction)
        : m_nAt(nAt), m_fnAction(std::move(fnAction))
    {
    }
    void HandleOnePendingEvent() override { m_pump.HandleOnePendingEvent(); }
    void HandleEventWhileWaiting() override
    {
        if (++m_nCalls == m_nAt)
            m_fnAction();
        m_pump.HandleEventWhileWaiting();
    }
    int m_nCalls = 0;

private:
    int m_nAt;
    std::function<void()> m_fnAction;
    WxMessagePump m_pump;
};

class CountingSessionTest : public FrameTest
{
protected:
    // nFolders folders of nFiles C files each, and a text file that is not
    // counted.
    wxString MakeTree(int nFolders, int nFiles)
    {
        for (int nFolder = 0; nFolder < nFolders; ++nFolder)
            for (int nFile = 0; nFile < nFiles; ++nFile)
                m_tree.Write("d" + std::to_string(nFolder) + "/f" + std::to_string(nFile) + ".c",
                             "int a; // one\n\n/* two */\n");
        m_tree.Write("notes.txt", "not counted\n");
        return wxString::FromUTF8(m_tree.Path());
    }
    // The folder listed and checked, the types chosen as the box does it.
    void Choose(const wxString& strFolder, const wxString& strTypes)
    {
        AddDirectory(strFolder);
        Access().CountingSettings().ShowSourceTypes(strTypes);
        Access().PickSourceType(0);
    }
    wxString Status(int nField) { return Access().StatusBar().GetStatusText(nField); }
    size_t Counted() { return Access().Manager().m_arrFileResults.size(); }

    // Every input, Stop, the guarded menu entries and the export tool.
    void ExpectInputsEnabled(bool bEnabled)
    {
        CountingSettingsPane& settings = Access().CountingSettings();
        wxWindow* const inputs[] = {settings.DirectoryList(),
                                    settings.AddDirectoryButton(),
                                    settings.RecursiveBox(),
                                    settings.SourceTypeBox(),
                                    settings.SourceTypeButton(),
                                    settings.StartButton(),
                                    &Access().AnalysisGrid(),
                                    Access().AnalysisRefreshButton(),
                                    &Access().DetailList(),
                                    &Access().ExtensionFilter(),
                                    Access().ExtensionFilterPane().GetRefreshButton()};
        for (wxWindow* pWindow : inputs)
            EXPECT_EQ(pWindow->IsThisEnabled(), bEnabled) << pWindow->GetName();
        EXPECT_EQ(settings.StopButton()->IsThisEnabled(), !bEnabled);
        for (wxMenuItem* pEntry : {Access().StartEntry(), Access().AddDirectoryEntry(),
                                   Access().SourceTypeEntry(), Access().ExportCsvEntry()})
            EXPECT_EQ(pEntry->IsEnabled(), bEnabled) << pEntry->GetItemLabelText();
        EXPECT_EQ(Access().ToolBar().GetToolEnabled(Access().ExportTool()), bEnabled);
    }

    TempDir m_tree;
};

TEST(CountingSessionTextTest, ProgressTextsAndSourceTypePieces)
{
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1000), "1,000");
    EXPECT_EQ(GroupThousands(1234567), "1,234,567");
    EXPECT_EQ(FilesSoFarText(1), "1 file");
    EXPECT_EQ(FilesSoFarText(12345), "12,345 files");
    EXPECT_EQ(FilesCountedText(55418, 4150), "55,418 files in 4.2 s");
    EXPECT_EQ(FilesCountedText(1, 40), "1 file in 0.0 s");
    EXPECT_EQ(SkippedText(0, 0), "");
    EXPECT_EQ(SkippedText(1, 0), "1 folder skipped as already included");
    EXPECT_EQ(SkippedText(2, 1), "2 folders skipped as already included; 1 file skipped as "
                                 "already counted under another name");
    EXPECT_EQ(LeftOutText(2), "2 folders left out as missing or unreadable");
    const std::vector<SkippedPath> arrSkipped = {
        {SkippedPath::FOLDER, "/a", "", SkippedPath::MISSING},
        {SkippedPath::FOLDER, "/b/c", "/b", SkippedPath::ALREADY_INCLUDED},
        {SkippedPath::FOLDER, "/d", "", SkippedPath::UNREADABLE},
    };
    EXPECT_EQ(LeftOutMessage(arrSkipped), "The folder \"/a\" does not exist.\nThe folder \"/d\" "
                                          "cannot be read.\n\nThey were left out of the count.");

    EXPECT_EQ(SourceTypePieces(".c;.h;"), Strings({".c", ".h"}));
    EXPECT_EQ(SourceTypePieces(".c;;.h"), Strings({".c", "", ".h"}));
    EXPECT_EQ(SourceTypePieces(".txt"), Strings({".txt"}));
}

TEST_F(CountingSessionTest, ACompleteCountFillsEveryViewGridAndTheReport)
{
    LinecastFrame& frame = Open();
    ExpectInputsEnabled(true);
    m_tree.Write("top.c", "int a;\n// b\n\n");
    m_tree.Write("sub/b.c", "int b; /* c */\n");
    m_tree.Write("sub/c.H", "/* h */\n");
    m_tree.Write("sub/d.txt", "text\n");
    const wxString strTree = wxString::FromUTF8(m_tree.Path());
    Choose(strTree, ".c;.h;");
    AddDirectory(strTree + "/sub"); // already below the first: counted once
    AddDirectory(strTree + "/gone"); // checked, then deleted: named and left out
    frame.Show();

    wxTEST_DIALOG(Access().Choose(Access().StartEntry()),
                  ExpectMessage("The folder \"" + strTree +
                                "/gone\" does not exist.\n\nIt was left out of the count."));

    EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_COMPLETED);
    EXPECT_EQ(Status(0), "Completed; 1 folder left out as missing or unreadable; 1 folder skipped "
                         "as already included");
    EXPECT_TRUE(Status(1).StartsWith("3 files in ")) << Status(1);
    EXPECT_EQ(Status(2), "Filtering result by: None");
    EXPECT_EQ(Access().Notebook().GetSelection(), 0) << "the Detail page";
    EXPECT_EQ(Access().DetailList().GetItemCount(), 3);
    EXPECT_EQ(Access().DirectoryList().GetItemCount(), 2);
    EXPECT_EQ(Access().ExtensionList().GetItemCount(), 2);
    EXPECT_EQ(Access().DirectoryFilter().GetStrings(), Strings({strTree, strTree + "/sub"}));
    EXPECT_EQ(Access().ExtensionFilter().GetStrings(), Strings({".c", ".h"}));
    EXPECT_EQ(Access().DateFilter().GetCount(), 1u);
    EXPECT_EQ(Access().Summary().GetPropertyValueAsULongLong("Files"), 3u);
    EXPECT_EQ(Access().Summary().GetPropertyValueAsULongLong("TotalLines"), 5u);
    EXPECT_TRUE(Access().ReportPageText().Contains(strTree));
    EXPECT_FALSE(Access().ReportPageText().Contains("Partial results"));
    ExpectInputsEnabled(true);
    EXPECT_EQ(frame.GetCursor().IsOk(), false) << "the arrow again";
}

struct RefusedStartRow
{
    const char* name;
    std::function<void(CountingSettingsPane&)> spoil;
    const char* message;
};

void PrintTo(const RefusedStartRow& row, std::ostream* pOut)
{
    *pOut << row.name;
}

class RefusedStartTest : public CountingSessionTest,
                         public testing::WithParamInterface<RefusedStartRow>
{
};

TEST_P(RefusedStartTest, NamesWhatIsMissingAndLeavesTheLastResults)
{
    Open();
    Choose(MakeTree(2, 3), ".c;");
    Access().ClickStart();
    ASSERT_EQ(Counted(), 6u);

    GetParam().spoil(Access().CountingSettings());
    wxTEST_DIALOG(Access().ClickStart(), ExpectMessage(GetParam().message));

    EXPECT_EQ(Counted(), 6u);
    EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_COMPLETED);
    EXPECT_EQ(Access().DetailList().GetItemCount(), 6);
    EXPECT_EQ(Access().DirectoryList().GetItemCount(), 2);
    EXPECT_EQ(Access().DirectoryFilter().GetCount(), 2u);
    EXPECT_EQ(Status(0), "Completed");
    ExpectInputsEnabled(true);
}

const RefusedStartRow REFUSED_START_ROWS[] = {
    {"NoFolderListed", [](CountingSettingsPane& pane) { pane.SetDirectories({}); },
     "Please add source directory."},
    {"NoFolderChecked", [](CountingSettingsPane& pane) { pane.DirectoryList()->Check(0, false); },
     "Please check counting directory."},
    {"NoSourceType", [](CountingSettingsPane& pane) { pane.ShowSourceTypes(""); },
     "Please select source types."},
};

INSTANTIATE_TEST_SUITE_P(Rows, RefusedStartTest, testing::ValuesIn(REFUSED_START_ROWS),
                         [](const testing::TestParamInfo<RefusedStartRow>& info)
                         { return std::string(info.param.name); });

TEST_F(CountingSessionTest, StopInTheMiddleKeepsWhatWasCountedAndGuardsTheRunMeanwhile)
{
    Open();
    Choose(MakeTree(4, 50), ".c;");
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    size_t nAtStop = 0;
    PumpAt pump(Access().Manager(), 60,
                [&]
                {
                    EXPECT_EQ(Status(0), "Counting");
                    ExpectInputsEnabled(false);
                    // Nothing that arrives now may start a second run or
                    // change what this one uses; a dialog here fails the test.
                    Access().Choose(Access().StartEntry());
                    Access().Choose(Access().SourceTypeEntry());
                    Access().Choose(Access().AddDirectoryEntry());
                    LinecastFrameTestAccess::Click(Access().AnalysisRefreshButton());
                    EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_RUNNING);
                    nAtStop = Counted();
                    Access().ClickStop();
                });
    Access().Manager().SetMessagePump(&pump);

    Access().ClickStart();

    // The file being counted when Stop came is the last one.
    EXPECT_GE(nAtStop, 60u);
    EXPECT_LE(Counted(), nAtStop + 1);
    EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_STOPPED);
    EXPECT_EQ(Status(0), "Canceled");
    EXPECT_TRUE(Status(1).StartsWith(FilesSoFarText(Counted()) + " in ")) << Status(1);
    // What was counted is summarised like a finished run.
    EXPECT_EQ(Access().DetailList().GetItemCount(), static_cast<long>(Counted()));
    EXPECT_EQ(Access().Summary().GetPropertyValueAsULongLong("Files"), Counted());
    EXPECT_EQ(Access().DirectoryFilter().GetCount(), Access().Manager().m_arrDirectoryList.size());
    EXPECT_GE(Access().DirectoryList().GetItemCount(), 2);
    ExpectInputsEnabled(true);
    // The report says its figures are partial, also when made again by a
    // Refresh.
    const wxString strPartial = "Partial results: the count was stopped";
    EXPECT_TRUE(Access().ReportPageText().Contains(strPartial));
    Access().Session().Refresh();
    EXPECT_TRUE(Access().ReportPageText().Contains(strPartial));
}

// Stop and the close come through in the middle of one large file, on one
// thread or many: the run reads no further, and the file is not shown. (Read
// through, the sparse file would take minutes and thousands of pumps.)
TEST_F(CountingSessionTest, StopAndCloseEndTheRunInTheMiddleOfALargeFile)
{
    const std::string strLarge = m_tree.Write("a/large.c", "");
    ASSERT_EQ(::truncate(strLarge.c_str(), std::int64_t(8) << 30), 0);
    m_tree.Write("b/small.c", "int b;\n");
    for (unsigned nJobs : {1u, 2u})
    {
        for (bool bClose : {false, true})
        {
            LinecastFrame& frame = Open();
            Choose(wxString::FromUTF8(m_tree.Path()), ".c;");
            Access().Manager().SetJobs(nJobs);
            wxGUIEventLoop loop;
            wxEventLoopActivator active(&loop);
            PumpInFile pump(10,
                            [&]
                            {
                                if (bClose)
                                    Access().Choose(Access().QuitEntry());
                                else
                                    Access().ClickStop();
                            });
            Access().Manager().SetMessagePump(&pump);
            Access().ClickStart();
            Access().Manager().SetMessagePump(nullptr);

            EXPECT_EQ(pump.m_nCalls, 10) << nJobs << " threads, close " << bClose;
            EXPECT_EQ(Counted(), 0u);
            EXPECT_EQ(Status(0), "Canceled");
            if (!bClose)
            {
                ExpectInputsEnabled(true);
                Close();
                continue;
            }
            ASSERT_TRUE(wxTheApp->IsScheduledForDestruction(&frame));
            m_pAccess.reset();
            m_pFrame = nullptr; // wx deletes it now
            wxTheApp->ProcessIdle();
        }
    }
}

// An export writes on a thread of its own: the window shows how far it got
// and answers meanwhile; Stop cancels it, and so does closing the window,
// without a word.
TEST_F(CountingSessionTest, ExportRunsBesideTheWindowAndStopOrCloseCancelsIt)
{
    LinecastFrame& frame = Open();
    Choose(MakeTree(4, 20), ".c;");
    Access().ClickStart();
    const std::string strPipe = m_tree / "pipe";
    ASSERT_EQ(::mkfifo(strPipe.c_str(), 0600), 0);
    // A reader that takes nothing, with room for little.
    const int nReader = ::open(strPipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(nReader, 0);
    ::fcntl(nReader, F_SETPIPE_SZ, 4096);
    const auto waitUntil = [](const std::function<bool()>& fnDone)
    {
        for (int i = 0; i < 1000 && !fnDone(); ++i)
        {
            wxTheApp->Yield(true);
            wxMilliSleep(5);
        }
        return fnDone();
    };

    for (bool bClose : {false, true})
    {
        Access().StartExportCsv(wxString::FromUTF8(strPipe));
        ASSERT_TRUE(Access().IsExporting());
        ExpectInputsEnabled(false);
        EXPECT_TRUE(waitUntil([&] { return Status(0).StartsWith("Exporting: "); })) << Status(0);
        if (bClose)
            break;
        Access().ClickStop();
        EXPECT_TRUE(waitUntil([&] { return !Access().IsExporting(); }));
        EXPECT_EQ(Status(0), "Export canceled");
        ExpectInputsEnabled(true);
    }
    Access().Choose(Access().QuitEntry());
    EXPECT_FALSE(Access().IsExporting());
    EXPECT_TRUE(wxTheApp->IsScheduledForDestruction(&frame));
    m_pAccess.reset();
    m_pFrame = nullptr;
    wxTheApp->ProcessIdle();
    ::close(nReader);
}

TEST_F(CountingSessionTest, RefreshRederivesTheViewsFromWhatIsChecked)
{
    LinecastFrame& frame = Open();
    // Nothing counted yet: nothing to derive, and no run left behind.
    LinecastFrameTestAccess::Click(Access().AnalysisRefreshButton());
    EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_STOPPED);
    EXPECT_EQ(Access().DetailList().GetItemCount(), 0);
    EXPECT_EQ(Status(0), "Ready");

    m_tree.Write("a.c", "int a;\n");
    m_tree.Write("b.c", "int b;\nint c;\n");
    m_tree.Write("c.h", "// h\n");
    Choose(wxString::FromUTF8(m_tree.Path()), ".c;.h;");
    Access().ClickStart();
    ASSERT_EQ(Access().DetailList().GetItemCount(), 3);

    FilterCheckList& extensions = Access().ExtensionFilter();
    extensions.Check(extensions.FindString(".h"), false);
    LinecastFrameTestAccess::Click(Access().ExtensionFilterPane().GetRefreshButton());

    EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_STOPPED);
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Access().DetailList(), 0).size(), 2u);
    for (long nRow = 0; nRow < Access().DetailList().GetItemCount(); ++nRow)
        EXPECT_TRUE(Access().DetailList().GetItemText(nRow).EndsWith(".c"));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Access().ExtensionList()), Strings({".c"}));
    EXPECT_EQ(Access().Summary().GetPropertyValueAsULongLong("TotalLines"), 3u);
    EXPECT_EQ(Status(2), "Filtering result by: Extension");
    EXPECT_EQ(Status(0), "Completed") << "a refresh leaves the run's outcome";
    EXPECT_FALSE(Access().Filters().m_bChanged);
    ExpectInputsEnabled(true);
    EXPECT_FALSE(frame.GetCursor().IsOk());

    // Every entry of every list unchecked takes no value at all, yet hides
    // every file, as the status text says.
    for (FilterPane* pPane : {&Access().DirectoryFilterPane(), &Access().ExtensionFilterPane(),
                              &Access().DateFilterPane()})
        pPane->CheckAll(false);
    LinecastFrameTestAccess::Click(Access().DateFilterPane().GetRefreshButton());
    EXPECT_EQ(Access().DetailList().GetItemCount(), 0);
    EXPECT_EQ(Access().Summary().GetPropertyValueAsULongLong("TotalLines"), 0u);
    EXPECT_EQ(Status(2), "Filtering result by: Directory | Extension | Modified Date");
}

TEST_F(CountingSessionTest, ClosingDuringACountWaitsForTheRunThenClosesAndSaves)
{
    LinecastFrame& frame = Open();
    Choose(MakeTree(40, 50), ".c;");
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        // File > Quit, as the close box or Alt-X would: the window asks to
        // close while the count runs on the stack below.
        PumpAt pump(Access().Manager(), 100, [&] { Access().Choose(Access().QuitEntry()); });
        Access().Manager().SetMessagePump(&pump);
        Access().ClickStart();
        Access().Manager().SetMessagePump(nullptr);
    }

    EXPECT_LT(Counted(), 2000u) << "the close stopped the count";
    ASSERT_TRUE(wxTheApp->IsScheduledForDestruction(&frame)) << "closed once the count returned";
    m_pAccess.reset();
    m_pFrame = nullptr; // wx deletes it now
    wxTheApp->ProcessIdle();
    EXPECT_EQ(g_pPreference, nullptr);
    m_config.Reopen();
    EXPECT_EQ(m_config.Config().Read("/Directory/0", wxString()),
              wxString::FromUTF8(m_tree.Path()));
}

TEST_F(CountingSessionTest, QuittingInFullScreenSavesTheWindowAsItWasBefore)
{
    LinecastFrame& frame = Open();
    frame.Show();
    frame.SetClientSize(1000, 700);
    Access().ClickTool(Access().FullscreenTool());
    ASSERT_TRUE(frame.IsFullScreen());

    Close();

    EXPECT_EQ(m_config.Config().ReadLong("/w", -1), 1000);
    EXPECT_EQ(m_config.Config().ReadLong("/h", -1), 700);
}

TEST_F(CountingSessionTest, FoldersChosenOrDroppedMustBeThereAndReadable)
{
    Open();
    CountingSettingsPane& settings = Access().CountingSettings();
    EXPECT_EQ(settings.ChooserStartFolder(), wxGetHomeDir());

    const wxString strMissing = wxString::FromUTF8(m_tree / "gone");
    wxTEST_DIALOG(Access().AddSourceDirectory(strMissing),
                  ExpectMessage("The folder \"" + strMissing + "\" does not exist."));
    EXPECT_EQ(Access().SourceDirectories().GetCount(), 0u);

    // From the file manager: folders are added checked; files and what is
    // gone are passed over.
    const wxString strFolder = wxString::FromUTF8(m_tree.MakeDir("src"));
    const wxString strFile = wxString::FromUTF8(m_tree.Write("a.c", ""));
    auto* pDrop = dynamic_cast<wxFileDropTarget*>(Access().SourceDirectories().GetDropTarget());
    ASSERT_NE(pDrop, nullptr);
    EXPECT_TRUE(pDrop->OnDropFiles(0, 0, Strings({strFile, strMissing, strFolder})));
    ASSERT_EQ(Access().SourceDirectories().GetStrings(), Strings({strFolder}));
    EXPECT_TRUE(Access().SourceDirectories().IsChecked(0));
    EXPECT_EQ(settings.ChooserStartFolder(), strFolder);
}
} // namespace
