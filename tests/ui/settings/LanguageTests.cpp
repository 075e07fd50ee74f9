#include "ExpectSingleChoice.h"
#include "ScopedConfig.h"
#include "WxPrinters.h"
#include "ui/settings/Preference.h"
#include "ui/settings/UiLanguage.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

namespace
{
using ExpectChoice = wxExpectModal<wxSingleChoiceDialog>;

// Collects what is logged while it lives, instead of showing it.
class CapturedLog : public wxLog
{
public:
    CapturedLog() : m_pPrevious(wxLog::SetActiveTarget(this)) {}
    ~CapturedLog() override { wxLog::SetActiveTarget(m_pPrevious); }
    wxString m_strText;

protected:
    void DoLogRecord(wxLogLevel, const wxString& strMsg, const wxLogRecordInfo&) override
    {
        m_strText += strMsg;
    }

private:
    wxLog* m_pPrevious;
};

class LanguageTest : public testing::Test
{
protected:
    wxString Stored() { return m_config.Config().Read("/ui_language", wxString("<absent>")); }

    ScopedConfig m_config;
};
} // namespace

TEST_F(LanguageTest, FirstStartStoresTheChosenLanguage)
{
    // Languages are stored by the library's canonical name.
    const struct
    {
        int nRow;
        wxLanguage language;
        const char* szStored;
    } rows[] = {
        {0, wxLANGUAGE_DEFAULT, "default"},
        {1, wxLANGUAGE_CHINESE_SIMPLIFIED, "zh_CN"},
        {2, wxLANGUAGE_ENGLISH, "en"},
        {3, wxLANGUAGE_JAPANESE, "ja"},
    };
    for (const auto& row : rows)
    {
        ScopedConfig config;
        wxLanguage language = wxLANGUAGE_UNKNOWN;
        wxTEST_DIALOG(language = LanguageFromConfig(), ExpectChoice(row.nRow));
        EXPECT_EQ(language, row.language) << row.szStored;

        config.Reopen();
        EXPECT_EQ(config.Config().Read("/ui_language", wxString()), row.szStored);
        // Once chosen, the next start does not ask again (an unexpected
        // chooser would fail the test).
        EXPECT_EQ(LanguageFromConfig(), row.language) << row.szStored;
    }
}

TEST_F(LanguageTest, ChooserOffersTheFourLanguagesInOrder)
{
    SingleChoiceSeen seen;
    wxTEST_DIALOG(PromptForLanguage(), ExpectChoice(ExpectChoice::CANCEL, &seen));
    EXPECT_EQ(seen.strTitle, "Language selection");
    const wxString expected[] = {"(Use default language)", "Chinese (Simplified)", "English",
                                 "Japanese"};
    ASSERT_EQ(seen.arrRows.size(), WXSIZEOF(expected));
    for (size_t i = 0; i < WXSIZEOF(expected); ++i)
        EXPECT_EQ(seen.arrRows[i], expected[i]);
}

TEST_F(LanguageTest, FirstStartAsksBeforeTheWindowAndFillsTheStore)
{
    wxLanguage language = wxLANGUAGE_UNKNOWN;
    wxTEST_DIALOG(language = LanguageFromConfig(), ExpectChoice(2));
    EXPECT_EQ(language, wxLANGUAGE_ENGLISH);

    wxFrame* pFrame = new wxFrame(nullptr, wxID_ANY, "First start");
    Preference preference;
    preference.Load(pFrame);
    delete pFrame;

    m_config.Reopen();
    wxConfigBase& config = m_config.Config();
    for (const char* szKey :
         {"ui_language", "m_nPreserveFrameSizePos", "x", "y", "w", "h", "m_nShowFilterDirectory",
          "m_nShowFilterExtension", "m_nShowFilterModifiedDate", "m_nHideMenuBar",
          "m_nHideStatusBar", "m_nPreserveDirectory", "m_nDirectoryNum"})
        EXPECT_TRUE(config.HasEntry(wxString("/") + szKey)) << szKey;
}

TEST_F(LanguageTest, CancelledChooserStoresNothingAndAsksAgain)
{
    wxLanguage language = wxLANGUAGE_UNKNOWN;
    wxTEST_DIALOG(language = LanguageFromConfig(), ExpectChoice(ExpectChoice::CANCEL));
    EXPECT_EQ(language, wxLANGUAGE_DEFAULT);
    EXPECT_TRUE(m_config.Config().Read("/ui_language", wxString()).empty());

    m_config.Reopen();
    wxTEST_DIALOG(language = LanguageFromConfig(), ExpectChoice(3));
    EXPECT_EQ(language, wxLANGUAGE_JAPANESE);
}

TEST_F(LanguageTest, StoredChoiceDecidesWithoutAsking)
{
    const struct
    {
        const char* szStored;
        wxLanguage language;
        bool bLogged;
    } rows[] = {
        {"default", wxLANGUAGE_DEFAULT, false},
        {"ja", wxLANGUAGE_JAPANESE, false},
        {"ja_JP", wxLANGUAGE_JAPANESE_JAPAN, false},
        {"zh_CN", wxLANGUAGE_CHINESE_SIMPLIFIED, false},
        {"en", wxLANGUAGE_ENGLISH, false},
        {"xx_YY", wxLANGUAGE_DEFAULT, true},
        {"Japanese", wxLANGUAGE_DEFAULT, true}, // a description is not a locale code
        {"JA", wxLANGUAGE_DEFAULT, true},
    };
    for (const auto& row : rows)
    {
        m_config.Config().Write("/ui_language", row.szStored);
        CapturedLog log;
        EXPECT_EQ(LanguageFromConfig(), row.language) << row.szStored;
        wxLog::FlushActive();
        if (row.bLogged)
            EXPECT_EQ(log.m_strText,
                      wxString::Format("Uknown locale code '%s' in registry.", row.szStored));
        else
            EXPECT_TRUE(log.m_strText.empty()) << log.m_strText;
        EXPECT_EQ(Stored(), row.szStored) << "the stored text stays as it was";
    }
}

TEST_F(LanguageTest, LanguageCommandStoresTheChoiceAndAsksForARestart)
{
    m_config.Config().Write("/ui_language", "en");
    bool bChanged = false;
    wxTEST_DIALOG(bChanged = ChangeLanguageForNextStart(), ExpectChoice(1),
                  wxExpectModal<wxMessageDialog>(wxID_OK).Describe("restart notice"));
    EXPECT_TRUE(bChanged);
    EXPECT_EQ(Stored(), "zh_CN");
}

TEST_F(LanguageTest, CancelledLanguageCommandChangesNothing)
{
    m_config.Config().Write("/ui_language", "en");
    bool bChanged = true;
    wxTEST_DIALOG(bChanged = ChangeLanguageForNextStart(), ExpectChoice(ExpectChoice::CANCEL));
    EXPECT_FALSE(bChanged);
    EXPECT_EQ(Stored(), "en");

    StoreLanguageChoice(wxLANGUAGE_UNKNOWN);
    EXPECT_EQ(Stored(), "en");
}
