#include "FrameFixture.h"

#include "report/MessagePath.h"
#include "report/ReportPage.h"

#include <sys/stat.h>
#include <wx/filedlg.h>

using namespace frame_test;

namespace
{
// Answers a message box with OK after checking that its text holds every
// one of the given parts.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage>
{
public:
    explicit ExpectMessage(std::vector<wxString> arrParts) : m_arrParts(std::move(arrParts)) {}

protected:
    int OnInvoked(wxMessageDialog* pDialog) const override
    {
        for (const wxString& strPart : m_arrParts)
            EXPECT_NE(pDialog->GetMessage().Find(strPart), wxNOT_FOUND)
                << "\"" << pDialog->GetMessage().utf8_str() << "\" lacks \"" << strPart.utf8_str()
                << "\"";
        return wxID_OK;
    }

private:
    std::vector<wxString> m_arrParts;
};

std::string Utf8(const wxString& str)
{
    return std::string(str.utf8_str());
}

class ReportTest : public FrameTest
{
protected:
    // Counts the folder's C files as Start does, the frame hearing back.
    void Count(const std::string& strDir)
    {
        LinecastFrame& frame = *m_pFrame;
        CountingManager& manager = Access().Manager();
        for (auto& [strExt, pExt] : manager.m_extensionTable)
            pExt->m_bSelected = strExt == ".c";
        CountingParam param;
        param.m_arrDirs.Add(wxString::FromUTF8(strDir));
        manager.ClearResults();
        manager.m_nState = CountingManager::STATE_RUNNING;
        manager.SetCountingParam(param, Access().Analysis());
        manager.m_pCountingObserver = &frame;
        manager.m_pAnalysisObserver = &frame;
        manager.m_pFilterObserver = &frame;
        manager.DoCounting();
    }
};

TEST_F(ReportTest, StartPageThenAReportAfterEveryCountAndRefilter)
{
    Open();
    EXPECT_NE(Access().ReportWindow().ToText().Find("Latest Version - unknown"), wxNOT_FOUND);
    EXPECT_NE(Access().ReportPageText().Find("Your Version - 3.5.33.73"), wxNOT_FOUND);

    // 4 effective code lines cost 10 to code, 34 over all four phases.
    TempDir dir;
    dir.Write("a.c", "int a;\n// note\nint b; // why\n\nint c;\nint d;\n");
    Count(dir.Path());
    const wxString strReport = Access().ReportPageText();
    EXPECT_NE(strReport.Find("<b>34.00</b>"), wxNOT_FOUND);
    EXPECT_NE(Access().ReportWindow().ToText().Find("Linecast Analysis Report"), wxNOT_FOUND);

    // Behind another page the pane lays the new report out only when it is
    // brought to the front.
    Access().Notebook().SetSelection(0);
    Access().Analysis().m_nManMonthCost = 20000;
    Access().Manager().Refilter(Access().Analysis(), FilterParam());
    EXPECT_NE(Access().ReportPageText().Find("<b>68.00</b>"), wxNOT_FOUND);
    EXPECT_EQ(Access().ReportWindow().ToText().Find("68.00"), wxNOT_FOUND);
    Access().Notebook().SetSelection(2);
    EXPECT_NE(Access().ReportWindow().ToText().Find("68.00"), wxNOT_FOUND);
}

TEST_F(ReportTest, ExportsSayWhetherTheFileWasWrittenAndNeverHarmAFileOnFailure)
{
    Open();
    TempDir dir;
    dir.Write("src/a.c", "int a;\n");
    Count(dir / "src");

    // Each export offers its own file types; cancelled, nothing is written
    // and nothing said.
    wxTEST_DIALOG(Access().Choose(Access().ExportCsvEntry()),
                  wxExpectModal<wxFileDialog>(wxString::FromUTF8(dir / "never.csv"), wxID_CANCEL));
    EXPECT_EQ(Access().FileDialog().GetWildcard(), "CSV files (*.csv)|*.csv");
    wxTEST_DIALOG(Access().Choose(Access().ExportHtmlEntry()),
                  wxExpectModal<wxFileDialog>(wxString::FromUTF8(dir / "never.html"), wxID_CANCEL));
    EXPECT_EQ(Access().FileDialog().GetWildcard(), "HTML files (*.html;*.htm)|*.html;*.htm");
    EXPECT_FALSE(wxFileExists(wxString::FromUTF8(dir / "never.csv")));
    EXPECT_FALSE(wxFileExists(wxString::FromUTF8(dir / "never.html")));

    wxTEST_DIALOG(Access().ExportCsvTo(wxString::FromUTF8(dir / "counts.csv")),
                  ExpectMessage({"Export completed!"}));
    EXPECT_NE(ReadFileBytes(dir / "counts.csv").find("\r\nUT Cases,  0\r\n"), std::string::npos);

    // The page of the report pane, byte for byte.
    const wxString strHtml = wxString::FromUTF8(dir / "report.html");
    wxTEST_DIALOG(Access().ExportHtmlTo(strHtml), ExpectMessage({"Export completed!"}));
    const std::string strPage = Utf8(Access().ReportPageText());
    EXPECT_NE(strPage.find("Linecast Analysis Report"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "report.html"), strPage);

    // Targets that cannot be written, known before anything is written: the
    // message names the file and the reason, and the file in the way keeps
    // its contents.
    const wxString strUnderFile = strHtml + "/inside.html";
    wxTEST_DIALOG(Access().ExportHtmlTo(strUnderFile),
                  ExpectMessage({strUnderFile, "no folder '" + strHtml + "'"}));
    EXPECT_EQ(ReadFileBytes(dir / "report.html"), strPage);
    const wxString strNoFolder = wxString::FromUTF8(dir / "missing/counts.csv");
    wxTEST_DIALOG(
        Access().ExportCsvTo(strNoFolder),
        ExpectMessage({strNoFolder, "no folder '" + wxString::FromUTF8(dir / "missing'")}));
    const wxString strFolder = wxString::FromUTF8(dir / "src");
    wxTEST_DIALOG(Access().ExportHtmlTo(strFolder), ExpectMessage({strFolder, "it is a folder"}));
    // A long path is told in lines, so that the box is no wider than the screen.
    const wxString strLong = strNoFolder + wxString(250, 'x');
    wxTEST_DIALOG(Access().ExportCsvTo(strLong), ExpectMessage({PathForMessage(strLong)}));

    // A FIFO that nobody reads would hold the window until someone did: the
    // export is refused at once and the FIFO stays.
    const std::string strPipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(strPipe.c_str(), 0600), 0);
    const wxString strTarget = wxString::FromUTF8(strPipe);
    wxTEST_DIALOG(Access().ExportCsvTo(strTarget),
                  ExpectMessage({strTarget, "no program is reading from it"}));
    wxTEST_DIALOG(Access().ExportHtmlTo(strTarget),
                  ExpectMessage({strTarget, "no program is reading from it"}));
    struct stat st;
    ASSERT_EQ(::lstat(strPipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}
} // namespace
