#include "FrameFixture.h"
#include "ui/dialogs/CounterRuleDlg.h"
#include "ui/dialogs/SrcTypeSelDlg.h"
#include "ui/settings/UiLanguage.h"

#include <wx/propgrid/propgrid.h>

namespace
{
using namespace frame_test;

// The window in each language the chooser offers besides English: the stored
// choice brings our catalog from the program folder, as at a real start, and
// the menus and panes speak it, down to the units of the analysis parameters,
// and the report pane shows the start page written in it. The toolkit's own
// words come from its catalog (wx3.2-i18n): a dialog's Cancel button.
TEST_F(FrameTest, StoredLanguageTranslatesMenusAndPanes)
{
    const struct
    {
        const char* szLanguage;
        const char* szFileMenu;
        const char* szSettingsCaption;
        const char* szDaysUnit;
        const char* szStartPage; // a heading of the translated start page
        const char* szTypeItem;  // a file type as the source type dialog lists it
        const char* szCancel;
    } rows[] = {
        {"ja", "ファイル(&F)", "カウント設定", "日", "3 つの手順でプロジェクトをカウント",
         ".c - C source (C スタイル)", "キャンセル (&C)"},
        {"zh_CN", "文件(&F)", "统计设置", "天", "三步统计一个项目", ".c - C source（C 风格）",
         "取消(&C)"},
    };
    FileExtension type;
    type.m_strName = ".c";
    type.m_strDesc = "C source";
    type.m_strRuleType = "C";
    for (const auto& row : rows)
    {
        m_config.Config().Write("/ui_language", row.szLanguage);
        wxLocale locale;
        InitUiLocale(locale);
        LinecastFrame& frame = Open();

        EXPECT_EQ(frame.GetMenuBar()->GetMenuLabel(0), wxString::FromUTF8(row.szFileMenu))
            << row.szLanguage;
        EXPECT_EQ(Access().Panes().GetPane("Counting Settings").caption,
                  wxString::FromUTF8(row.szSettingsCaption))
            << row.szLanguage;
        EXPECT_EQ(Access()
                      .AnalysisGrid()
                      .GetPropertyAttribute("ManMonthDays", wxPG_ATTR_UNITS)
                      .GetString(),
                  wxString::FromUTF8(row.szDaysUnit))
            << row.szLanguage;
        EXPECT_TRUE(Access().ReportPageText().Contains(wxString::FromUTF8(row.szStartPage)))
            << row.szLanguage;
        EXPECT_EQ(SrcTypeSelDlg::ItemText(type), wxString::FromUTF8(row.szTypeItem))
            << row.szLanguage;
        {
            RuleTable rules;
            FileExtension record;
            CounterRuleDlg dlg(&frame, false, rules, record);
            const wxWindow* pCancel = dlg.FindWindow(wxID_CANCEL);
            ASSERT_TRUE(pCancel);
            EXPECT_EQ(pCancel->GetLabel(), wxString::FromUTF8(row.szCancel)) << row.szLanguage;
        }
        Close();
    }
}
} // namespace
