#include "FrameFixture.h"

#include "engine/MessagePump.h"
#include "ui/WxMessagePump.h"
#include "ui/dialogs/CompareWithDlg.h"

#include <wx/evtloop.h>
#include <wx/ffile.h>
#include <wx/filepicker.h>
#include <wx/radiobut.h>

using namespace frame_test;

// Fills the "Compare with" dialog as a user would, in the function given.
template <>
class wxExpectModal<CompareWithDlg>
    : public wxExpectModalBase<CompareWithDlg, wxExpectModal<CompareWithDlg>>
{
public:
    explicit wxExpectModal(std::function<int(CompareWithDlg&)> fnAnswer)
        : m_fnAnswer(std::move(fnAnswer))
    {
    }

protected:
    int OnInvoked(CompareWithDlg* pDialog) const override { return m_fnAnswer(*pDialog); }

private:
    std::function<int(CompareWithDlg&)> m_fnAnswer;
};

namespace
{
// Answers a message box with OK after checking that it holds a text.
class ExpectMessageWith : public wxExpectModalBase<wxMessageDialog, ExpectMessageWith>
{
public:
    explicit ExpectMessageWith(const wxString& strPart) : m_strPart(strPart) {}

protected:
    int OnInvoked(wxMessageDialog* pDialog) const override
    {
        EXPECT_NE(pDialog->GetMessage().Find(m_strPart), wxNOT_FOUND)
            << pDialog->GetMessage().utf8_str();
        return wxID_OK;
    }

private:
    wxString m_strPart;
};

std::string Shell(const wxString& strCommand)
{
    std::string strOut;
    if (std::FILE* pPipe = ::popen(strCommand.utf8_str(), "r"))
    {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof(buf), pPipe)) > 0;)
            strOut.append(buf, n);
        ::pclose(pPipe);
    }
    return strOut;
}

// Stops the run once the comparison has appended a number of files.
class StopAtFile : public MessagePump
{
public:
    StopAtFile(const Comparison& comparison, size_t nFiles, std::function<void()> fnStop)
        : m_comparison(comparison), m_nFiles(nFiles), m_fnStop(std::move(fnStop))
    {
    }
    void HandleOnePendingEvent() override
    {
        if (m_fnStop && m_comparison.m_arrFiles.size() >= m_nFiles)
            std::exchange(m_fnStop, nullptr)();
        m_pump.HandleOnePendingEvent();
    }

private:
    const Comparison& m_comparison;
    size_t m_nFiles;
    std::function<void()> m_fnStop;
    WxMessagePump m_pump;
};

class CompareTest : public FrameTest
{
protected:
    // Folders below the test's working folder, which outlives the file
    // choosers that may look into them.
    wxString Write(const wxString& strFile, const std::string& strBytes)
    {
        const wxString strPath = m_strDir + "/" + strFile;
        wxFileName::Mkdir(wxFileName(strPath).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        wxFFile(strPath, "wb").Write(strBytes.data(), strBytes.size());
        return strPath;
    }
    // An old version and its edit: one file modified, one added, one
    // removed, two the same (one in a subfolder).
    void WriteOld(const wxString& strDir)
    {
        Write(strDir + "/keep.c", "int a;\n");
        Write(strDir + "/edit.c", "int a;\nint b;\n// c\n");
        Write(strDir + "/gone.c", "int g;\n");
        Write(strDir + "/sub/x.h", "int h;\n");
    }
    void Edit(const wxString& strDir)
    {
        Write(strDir + "/edit.c", "int a;\nint B;\n// c\nint d;\n");
        Write(strDir + "/added.c", "int n;\n// n\n");
        wxRemoveFile(m_strDir + "/" + strDir + "/gone.c");
    }
    void Choose(const wxString& strFolder)
    {
        AddDirectory(strFolder);
        Access().CountingSettings().ShowSourceTypes(".c;.h;");
        Access().PickSourceType(0);
    }
    wxArrayString Paths() { return LinecastFrameTestAccess::ColumnTexts(Files(), 0); }
    ChangeListCtrl& Files() { return *Access().Changes().GetFileList(); }
    wxString Status(int nField) { return Access().StatusBar().GetStatusText(nField); }
    static void ClickHeading(ChangeListCtrl& list, int nColumn)
    {
        wxListEvent event(wxEVT_LIST_COL_CLICK, list.GetId());
        event.SetEventObject(&list);
        event.m_col = nColumn;
        list.ProcessWindowEvent(event);
    }
};
} // namespace

TEST_F(CompareTest, AFolderComparedIsShownSortedFilteredReportedAndExported)
{
    Open();
    WriteOld("old");
    WriteOld("new");
    Edit("new");
    const wxString strOld = m_strDir + "/old", strNew = m_strDir + "/new";
    Choose(strNew);

    // Outside a repository only a folder can be chosen.
    wxTEST_DIALOG(Access().Choose(Access().CompareEntry()),
                  wxExpectModal<CompareWithDlg>(
                      [&](CompareWithDlg& dlg)
                      {
                          EXPECT_FALSE(dlg.RevisionChoice()->IsEnabled());
                          EXPECT_FALSE(dlg.NoRepositoryText().empty());
                          dlg.FolderPicker()->SetPath(strOld);
                          return wxID_OK;
                      }));

    EXPECT_EQ(Status(0), "Completed");
    EXPECT_EQ(Access().Notebook().GetCurrentPage(), &Access().Changes());
    // The count pages show the new version, as Start counts it.
    EXPECT_EQ(Access().DetailList().GetItemCount(), 4);
    EXPECT_EQ(Paths(), Strings({"added.c", "edit.c", "gone.c", "keep.c", "sub/x.h"}));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Files(), 1),
              Strings({"added", "modified", "removed", "same", "same"}));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Files(), 3), Strings({"2", "2", "0", "0", "0"}));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Files(), 4), Strings({"0", "1", "1", "0", "0"}));
    EXPECT_EQ(Access().Changes().GetHeading(),
              "From " + strOld + " to " + strNew + ": 1 modified, 1 added, 1 removed, 2 unchanged");

    // By status, then the other way; equal rows keep their order.
    ClickHeading(Files(), 1);
    EXPECT_EQ(Paths(), Strings({"keep.c", "sub/x.h", "edit.c", "added.c", "gone.c"}));
    ClickHeading(Files(), 1);
    EXPECT_EQ(Paths(), Strings({"gone.c", "added.c", "edit.c", "keep.c", "sub/x.h"}));

    // The panes offer the removed file's folder and date too; unchecking
    // the headers hides them in every page.
    EXPECT_NE(Access().DirectoryFilter().FindString(strNew + "/sub"), wxNOT_FOUND);
    FilterCheckList& extensions = Access().ExtensionFilter();
    extensions.Check(extensions.FindString(".h"), false);
    LinecastFrameTestAccess::Click(Access().ExtensionFilterPane().GetRefreshButton());
    EXPECT_EQ(Files().GetItemCount(), 4);
    EXPECT_EQ(Access().Changes().GetExtensionList()->GetItemCount(), 1);
    EXPECT_EQ(Access().DetailList().GetItemCount(), 3);

    // The report's Changes section follows the filters; without a
    // comparison it is left out.
    const wxString strReport = Access().ReportPageText();
    EXPECT_NE(strReport.Find(EscapeHtml(strOld)), wxNOT_FOUND);
    EXPECT_EQ(strReport.Find("$n_change"), wxNOT_FOUND);
    EXPECT_EQ(strReport.Find("$changes_"), wxNOT_FOUND);
    EXPECT_NE(strReport.Find("<td>.c</td><td align=\"right\">4</td><td align=\"right\">1</td>"),
              wxNOT_FOUND);

    // Both exports hold the comparison, the CSV every file of it.
    const wxString strCsv = m_strDir + "/out.csv", strHtml = m_strDir + "/out.html";
    wxTEST_DIALOG(Access().ExportCsvTo(strCsv), wxExpectModal<wxMessageDialog>(wxID_OK));
    wxTEST_DIALOG(Access().ExportHtmlTo(strHtml), wxExpectModal<wxMessageDialog>(wxID_OK));
    const std::string strCsvText = ReadFileBytes(strCsv.ToStdString());
    EXPECT_NE(strCsvText.find("# --- Result by file ---"), std::string::npos);
    EXPECT_NE(strCsvText.find("# --- Change by file ---"), std::string::npos);
    EXPECT_NE(strCsvText.find("sub,x.h,.h,same"), std::string::npos);
    EXPECT_NE(strCsvText.find(".,gone.c,.c,removed"), std::string::npos);
    EXPECT_EQ(wxString::FromUTF8(ReadFileBytes(strHtml.ToStdString())), strReport);

    // A count alone leaves no comparison behind.
    Access().ClickStart();
    EXPECT_EQ(Files().GetItemCount(), 0);
    EXPECT_EQ(Access().ReportPageText().Find(EscapeHtml(strOld)), wxNOT_FOUND);
}

TEST_F(CompareTest, ARevisionOfTheRepositoryIsChosenFromItsTagsAndBranches)
{
    WriteOld("repo/src");
    Write("repo/README", "read me\n");
    const wxString strRepo = m_strDir + "/repo";
    Shell("cd '" + strRepo +
          "' && git init -q -b trunk && git add -A && git -c user.name=t -c user.email=t@t commit "
          "-qm one && git tag v1");
    Edit("repo/src");
    Open();
    Choose(strRepo + "/src");

    wxTEST_DIALOG(Access().Choose(Access().CompareEntry()),
                  wxExpectModal<CompareWithDlg>(
                      [](CompareWithDlg& dlg)
                      {
                          EXPECT_TRUE(dlg.RevisionChoice()->IsEnabled());
                          EXPECT_TRUE(dlg.NoRepositoryText().empty());
                          const wxArrayString arrNames = dlg.RevisionBox()->GetStrings();
                          EXPECT_EQ(arrNames, Strings({"HEAD", "trunk", "v1"}));
                          dlg.RevisionChoice()->SetValue(true);
                          dlg.RevisionBox()->SetValue("v1");
                          return wxID_OK;
                      }));
    EXPECT_EQ(Status(0), "Completed");
    EXPECT_EQ(Paths(), Strings({"added.c", "edit.c", "gone.c", "keep.c", "sub/x.h"}));
    EXPECT_EQ(LinecastFrameTestAccess::ColumnTexts(Files(), 1),
              Strings({"added", "modified", "removed", "same", "same"}));
    // A revision's files have its commit's time.
    const FileChange& gone = *Access().TheComparison().m_arrFiles[2];
    const wxString strCommitTime =
        wxString::FromUTF8(Shell("git -C '" + strRepo + "' log -1 --format=%ct"));
    long nCommitTime = 0;
    ASSERT_TRUE(strCommitTime.Strip(wxString::both).ToLong(&nCommitTime));
    EXPECT_EQ(gone.m_dtModified.GetTicks(), nCommitTime);

    // The dialog opens at the choice made last; a revision git does not
    // know is told, and what was compared stays.
    wxTEST_DIALOG(Access().Choose(Access().CompareEntry()),
                  wxExpectModal<CompareWithDlg>(
                      [](CompareWithDlg& dlg)
                      {
                          EXPECT_TRUE(dlg.RevisionChoice()->GetValue());
                          EXPECT_EQ(dlg.RevisionBox()->GetValue(), "v1");
                          return wxID_CANCEL;
                      }));
    wxTEST_DIALOG(Access().CompareWith("git:nope"), ExpectMessageWith("nope"));
    EXPECT_EQ(Files().GetItemCount(), 5);
}

TEST_F(CompareTest, StopEndsAComparisonWithWhatItComparedAndTheInputsBack)
{
    for (int i = 0; i < 120; ++i)
    {
        const std::string strName = "/f" + std::to_string(i) + ".c";
        Write("old" + strName, "int a;\n");
        Write("new" + strName, i % 2 ? "int a;\n" : "int b;\n");
    }
    Open();
    Choose(m_strDir + "/new");
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    StopAtFile pump(Access().TheComparison(), 30,
                    [&]
                    {
                        EXPECT_EQ(Access().Manager().m_nState, CountingManager::STATE_RUNNING);
                        EXPECT_FALSE(Access().CompareEntry()->IsEnabled());
                        EXPECT_FALSE(Access().CountingSettings().StartButton()->IsEnabled());
                        // Nothing that arrives now starts a second run.
                        Access().Choose(Access().StartEntry());
                        Access().ClickStop();
                    });
    Access().Manager().SetMessagePump(&pump);
    Access().CompareWith(m_strDir + "/old");

    EXPECT_EQ(Status(0), "Canceled");
    const size_t nCompared = Access().TheComparison().m_arrFiles.size();
    EXPECT_GE(nCompared, 30u);
    EXPECT_LE(nCompared, 31u);
    EXPECT_EQ(Files().GetItemCount(), static_cast<long>(nCompared));
    EXPECT_EQ(Access().DetailList().GetItemCount(), 120);
    EXPECT_TRUE(Access().CompareEntry()->IsEnabled());
    EXPECT_TRUE(Access().CountingSettings().StartButton()->IsEnabled());
    EXPECT_FALSE(Access().CountingSettings().StopButton()->IsEnabled());
}
