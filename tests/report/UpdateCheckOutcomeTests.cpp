#include "report/UpdateCheckOutcome.h"

#include <gtest/gtest.h>

namespace
{
struct VersionRow
{
    const char* szName;
    const char* szSent; // UTF-8, between the dollar signs
    const char* szShown;
};

void PrintTo(const VersionRow& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class VersionText : public testing::TestWithParam<VersionRow>
{
};

// The version comes from a server: what is shown and written into a report
// is only what can be read as it is.
TEST_P(VersionText, KeepsOnlyWhatShowsAsItIs)
{
    const VersionRow& row = GetParam();
    const UpdateCheckOutcome outcome = UpdateCheckOutcome::Version(wxString::FromUTF8(row.szSent));
    EXPECT_EQ(outcome.m_strVersion, wxString::FromUTF8(row.szShown));
    if (*row.szShown)
    {
        EXPECT_EQ(outcome.m_kind, UpdateCheckOutcome::VERSION);
        EXPECT_EQ(outcome.Message(), "");
    }
    else
    {
        // A 2xx answer without a version is a failed check.
        EXPECT_EQ(outcome.m_kind, UpdateCheckOutcome::NO_VERSION);
        EXPECT_EQ(outcome.Message(), "An unknown error occurred while checking for updates.\n"
                                     "The answer names no version.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VersionText,
    testing::Values(VersionRow{"PlainVersion", "3.6.0-rc1+b2", "3.6.0-rc1+b2"},
                    VersionRow{"LettersAndBlanksOfAnyScript", "2.0 \xE2\x80\x93 b\xC3\xA9ta",
                               "2.0 \xE2\x80\x93 b\xC3\xA9ta"},
                    VersionRow{"RightToLeftOverrideAndEscapes",
                               "1.0\xE2\x80\xAE\x1B[31mgpj.exe\x1B[0m\x07", "1.0[31mgpj.exe[0m"},
                    VersionRow{"BidiMarksIsolatesAndInvisibles",
                               "\xE2\x80\x8F"
                               "4\xE2\x81\xA6.\xE2\x81\xA9"
                               "1\xE2\x80\x8B\xEF\xBB\xBF\xC2\xAD",
                               "4.1"},
                    VersionRow{"LineBreaksAndC1Controls",
                               "5\r\n.\xC2\x85"
                               "0\xE2\x80\xA8",
                               "5.0"},
                    VersionRow{"BlanksAroundAreTrimmed", "  \t 2.1  ", "2.1"},
                    VersionRow{"EmptyIsNoVersion", "", ""},
                    VersionRow{"OnlyControlsIsNoVersion", "\xE2\x80\xAE\x1B \t", ""}),
    [](const testing::TestParamInfo<VersionRow>& info) { return info.param.szName; });
} // namespace
