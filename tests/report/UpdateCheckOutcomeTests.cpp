#include "report/UpdateCheckOutcome.h"

#include <gtest/gtest.h>

// The version comes from a server: what is shown and written into a report
// is only what reads as it is. A 2xx answer without one is a failed check.
TEST(UpdateCheckOutcome, VersionKeepsOnlyWhatShowsAsItIs)
{
    const char* const rows[][2] = {
        {"3.6.0-rc1+b2", "3.6.0-rc1+b2"},
        {"2.0 \xE2\x80\x93 b\xC3\xA9ta", "2.0 \xE2\x80\x93 b\xC3\xA9ta"},
        {"1.0\xE2\x80\xAE\x1B[31mgpj.exe\x1B[0m\x07", "1.0[31mgpj.exe[0m"},
        {"\xE2\x80\x8F"
         "4\xE2\x81\xA6.\xE2\x81\xA9"
         "1\xE2\x80\x8B\xEF\xBB\xBF\xC2\xAD",
         "4.1"},
        {"5\r\n.\xC2\x85"
         "0\xE2\x80\xA8",
         "5.0"},
        {"  \t 2.1  ", "2.1"},
        {"", ""},
        {"\xE2\x80\xAE\x1B \t", ""},
    };
    for (const auto& row : rows)
    {
        const UpdateCheckOutcome outcome = UpdateCheckOutcome::Version(wxString::FromUTF8(row[0]));
        EXPECT_EQ(outcome.m_strVersion, wxString::FromUTF8(row[1])) << row[0];
        EXPECT_EQ(outcome.m_kind,
                  *row[1] ? UpdateCheckOutcome::VERSION : UpdateCheckOutcome::NO_VERSION);
        EXPECT_EQ(outcome.Message(), *row[1] ? ""
                                             : "An unknown error occurred while checking for "
                                               "updates.\nThe answer names no version.");
    }
}
