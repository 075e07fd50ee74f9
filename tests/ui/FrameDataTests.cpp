#include "FrameFixture.h"

using namespace frame_test;

namespace
{
// The warning about a rules file that cannot be loaded: titled "Confirm",
// naming the file and why, and saying that the file is kept.
class ExpectRulesMessage : public wxExpectModalBase<wxMessageDialog, ExpectRulesMessage>
{
public:
    explicit ExpectRulesMessage(const wxString& strPath) : m_strPath(strPath) {}

protected:
    int OnInvoked(wxMessageDialog* pDialog) const override
    {
        EXPECT_EQ(pDialog->GetTitle(), "Confirm");
        const wxString strMessage = pDialog->GetMessage();
        for (const wxString& strPart : {"\"" + m_strPath + "\"", wxString("not well-formed"),
                                        wxString("left untouched"), wxString("no file types")})
            EXPECT_TRUE(strMessage.Contains(strPart)) << strMessage << " lacks " << strPart;
        return wxID_OK;
    }

private:
    wxString m_strPath;
};

TEST_F(FrameTest, StartedFromAnEmptyFolderTheWindowFindsItsImagesAndRules)
{
    Open();
    EXPECT_TRUE(Access().Manager().RulesLoaded());
    EXPECT_EQ(Access().Manager().GetRulesPath(), UserRules());
    EXPECT_FALSE(Access().Manager().m_extensionTable.empty());
    for (const char* szButton : {"ID_BITMAPBUTTON_START", "ID_BITMAPBUTTON7"})
    {
        auto* pButton =
            dynamic_cast<wxBitmapButton*>(wxWindow::FindWindowByName(szButton, m_pFrame));
        ASSERT_NE(pButton, nullptr) << szButton;
        EXPECT_TRUE(pButton->GetBitmap().IsOk()) << szButton;
    }
    EXPECT_TRUE(Access().ToolBar().FindTool(Access().AboutTool())->GetBitmapBundle().IsOk());

    Close();
    wxArrayString arrLeft;
    wxDir::GetAllFiles(m_strDir, &arrLeft, wxEmptyString, wxDIR_FILES | wxDIR_DIRS);
    for (const wxString& strPath : arrLeft)
        EXPECT_TRUE(strPath.StartsWith(m_strDir + "/config/"))
            << strPath << " in the working folder";
}

TEST_F(FrameTest, UserRulesAreCopiedOnceKeptAcrossRestartsAndADamagedCopyIsLeftAlone)
{
    const std::string strShippedPath = LINECAST_DIST_DIR "/conf/conf.xml";
    const std::string strShipped = ReadFileBytes(strShippedPath);
    const std::string strUser(UserRules().utf8_str());
    ASSERT_FALSE(strShipped.empty());
    ASSERT_FALSE(wxFileExists(UserRules()));

    Open();
    EXPECT_EQ(ReadFileBytes(strUser), strShipped) << "copied before it is read";
    wxTheApp->Yield(); // a missing copy is made anew, without a word

    // An edit of a file type is written into the copy and read back from it.
    FileExtension& ext = *Access().Manager().m_extensionTable.begin()->second;
    const wxString strName = ext.m_strName;
    ext.m_strDesc = "Edited in a test";
    Reopen();
    EXPECT_EQ(Access().Manager().m_extensionTable.at(strName)->m_strDesc, "Edited in a test");
    EXPECT_NE(ReadFileBytes(strUser).find("Edited in a test"), std::string::npos);

    // A copy that does not load is neither replaced nor written back, and
    // the user is told so once, when the window is up.
    Close();
    const std::string strDamaged = "<rules><rule><type>C</ty";
    ASSERT_TRUE(wxFile(UserRules(), wxFile::write).Write(strDamaged.data(), strDamaged.size()));
    Open();
    EXPECT_FALSE(Access().Manager().RulesLoaded());
    wxTEST_DIALOG(wxTheApp->Yield(), ExpectRulesMessage(UserRules()));
    wxTheApp->Yield(); // nothing more: an unexpected box fails the test
    Close();
    EXPECT_EQ(ReadFileBytes(strUser), strDamaged);

    EXPECT_EQ(ReadFileBytes(strShippedPath), strShipped) << "the shipped file is never written";
}

// Another window saved the rules file after this one read it. Closing this
// one, whose file types were edited, keeps the other's file, saves this one's
// beside it and says where.
TEST_F(FrameTest, ClosingKeepsRulesAnotherWindowSavedAndSaysWhereTheseWent)
{
    LinecastFrame& frame = Open();
    Access().Manager().m_extensionTable.begin()->second->m_strDesc = "Edited in this window";
    const std::string strOther = "<rules><rule><type>C</type></rule></rules>\n";
    ASSERT_TRUE(wxFile(UserRules(), wxFile::write).Write(strOther.data(), strOther.size()));

    // The message's text is RulesSaveMessage's (see the rules file tests).
    wxTEST_DIALOG(Access().Choose(Access().QuitEntry()), wxExpectModal<wxMessageDialog>(wxID_OK));
    ASSERT_TRUE(wxTheApp->IsScheduledForDestruction(&frame));
    m_pAccess.reset();
    m_pFrame = nullptr; // wx deletes it now
    wxTheApp->ProcessIdle();

    wxArrayString arrBeside;
    wxDir::GetAllFiles(m_strDir + "/config/linecast", &arrBeside, "conf.xml.*.xml");
    ASSERT_EQ(arrBeside.size(), 1u);
    EXPECT_EQ(ReadFileBytes(UserRules().utf8_string()), strOther);
    EXPECT_NE(ReadFileBytes(arrBeside[0].utf8_string()).find("Edited in this window"),
              std::string::npos);
}
} // namespace
