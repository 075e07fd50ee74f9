#include "LoopbackServer.h"
#include "config/Version.h"
#include "report/LatestVersionRequest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace
{
using Kind = UpdateCheckOutcome::Kind;
using Mode = LoopbackServer::Mode;
using Clock = std::chrono::steady_clock;

wxString Message(const char* szSecondLine)
{
    return wxString("An unknown error occurred while checking for updates.\n") + szSecondLine;
}
const wxString NO_CONNECTION = Message("Please check your internet connection and try again.");

UpdateCheckOutcome Check(
    const char* szHost, int nPort, int nTimeoutMs = 10000,
    const wxString& strPath = UpdateServer::DEFAULT_PATH,
    std::function<bool()> fnStop = [] { return false; })
{
    UpdateServer server;
    server.m_strHost = szHost;
    server.m_nPort = nPort;
    server.m_nTimeoutMs = nTimeoutMs;
    server.m_strPath = strPath;
    return LatestVersionRequest(server, std::move(fnStop)).Run();
}

UpdateCheckOutcome CheckUrl(const std::string& strUrl, const std::string& strCaFile = "")
{
    UpdateServer server;
    server.m_strHost = "192.0.2.1"; // never asked: the URL wins
    server.m_strUrl = strUrl;
    server.m_strCaFile = strCaFile;
    server.m_nTimeoutMs = 10000;
    return LatestVersionRequest(server, [] { return false; }).Run();
}

std::string Ok(const std::string& strBody)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n" + strBody;
}

struct AnswerCase
{
    const char* szName;
    std::string strAnswer;
    Kind kind;
    wxString strVersion;
    wxString strMessage;
};
void PrintTo(const AnswerCase& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class AnswerTest : public testing::TestWithParam<AnswerCase>
{
};

TEST_P(AnswerTest, GivesTheVersionOrTheMessage)
{
    const AnswerCase& row = GetParam();
    LoopbackServer server(Mode::ANSWER, row.strAnswer);
    const UpdateCheckOutcome outcome = Check("127.0.0.1", server.Port());
    EXPECT_EQ(outcome.m_kind, row.kind);
    EXPECT_EQ(outcome.m_strVersion, row.strVersion);
    EXPECT_EQ(outcome.Message(), row.strMessage);
}

const std::string UTF16LE_BODY("\xFF\xFEx\0\r\0\n\0v\0 \0$\0"
                               "3\0.\0"
                               "1\0$\0\n\0",
                               24);
INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, AnswerTest,
    testing::Values(
        AnswerCase{"SecondLine", Ok("Linecast\r\nversion $2.0.1$ out now\r\n$9$\r\n"),
                   Kind::VERSION, "2.0.1", ""},
        AnswerCase{"FirstToLastDollar", Ok("$1.2$ and $beta$\n"), Kind::VERSION, "1.2$ and $beta",
                   ""},
        AnswerCase{"SingleDollar", Ok("see $1.3\r\nnext $line$\r\n"), Kind::VERSION, "1.3", ""},
        AnswerCase{"SingleDollarAtTheEnd", Ok("see $1.3"), Kind::VERSION, "1.3", ""},
        AnswerCase{"CarriageReturnEndsALine", Ok("a\r$5.0\rb$"), Kind::VERSION, "5.0", ""},
        AnswerCase{"NoDollarIsNoVersion", Ok("no version\nhere\n"), Kind::NO_VERSION, "",
                   Message("The answer names no version.")},
        AnswerCase{"BareLineFeeds", "HTTP/1.0 200 OK\n\n$4$\n", Kind::VERSION, "4", ""},
        AnswerCase{"Utf8", Ok("\xEF\xBB\xBF$2.0 \xE2\x80\x93 b\xC3\xA9ta$\n"), Kind::VERSION,
                   wxString::FromUTF8("2.0 \xE2\x80\x93 b\xC3\xA9ta"), ""},
        AnswerCase{"NotUtf8", Ok("$caf\xE9$\n"), Kind::VERSION, wxString::FromUTF8("caf\xC3\xA9"),
                   ""},
        AnswerCase{"Utf16", Ok(UTF16LE_BODY), Kind::VERSION, "3.1", ""},
        AnswerCase{"LongVersionIsCut", Ok("$" + std::string(1000, 'a') + "$\n"), Kind::VERSION,
                   wxString(64, 'a'), ""},
        AnswerCase{"HugeBodyIsReadTo64KiB", Ok(std::string(70000, 'x') + "\n$9.9$\n"),
                   Kind::NO_VERSION, "", Message("The answer names no version.")},
        AnswerCase{"NotFound", "HTTP/1.1 404 Not Found\r\n\r\n$1$\n", Kind::HTTP_FAILED, "",
                   Message("HTTP request failed, got HTTP response 404.")},
        AnswerCase{"NotHttp", "hello\r\n\r\n$1$\n", Kind::HTTP_FAILED, "",
                   Message("HTTP request failed, got HTTP response 0.")},
        AnswerCase{"ClosedWithoutAnswer", "", Kind::HTTP_FAILED, "",
                   Message("HTTP request failed, got HTTP response 0.")},
        AnswerCase{"ClosedInTheHeaders", "HTTP/1.1 200 OK\r\nServer: x", Kind::HTTP_FAILED, "",
                   Message("HTTP request failed, got HTTP response 0.")}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return info.param.szName; });

TEST(UpdateCheck, RequestNamesThePathAndClosesTheConnection)
{
    LoopbackServer server(Mode::ANSWER, Ok("$1$\n"));
    EXPECT_EQ(Check("127.0.0.1", server.Port()).m_strVersion, "1");
    ASSERT_TRUE(server.WaitForRequest(1000));
    EXPECT_EQ(server.Request(), "GET /p/quorvel/wiki/LinecastVersion HTTP/1.1\r\n"
                                "Host: 127.0.0.1:" +
                                    std::to_string(server.Port()) +
                                    "\r\n"
                                    "User-Agent: Linecast/" +
                                    LinecastVersion::TEXT +
                                    "\r\nAccept: */*\r\nConnection: Close\r\n\r\n");

    // A path from the settings file cannot add lines to the request.
    LoopbackServer server2(Mode::ANSWER, Ok("$1$\n"));
    Check("127.0.0.1", server2.Port(), 10000, "/a b\r\nX-Evil: 1");
    ASSERT_TRUE(server2.WaitForRequest(1000));
    EXPECT_EQ(server2.Request().substr(0, server2.Request().find("\r\n")),
              "GET /a%20b%0d%0aX-Evil:%201 HTTP/1.1");
}

TEST(UpdateCheck, AUrlWinsAndHttpsServersAreCheckedAgainstTheCertificates)
{
    LoopbackServer tls(Mode::ANSWER, Ok("$3.0$\n"), true);
    const std::string strUrl = "https://localhost:" + std::to_string(tls.Port()) + "/v?a=1";
    EXPECT_EQ(CheckUrl(strUrl, LoopbackServer::CertificateFile()).m_strVersion, "3.0");
    ASSERT_TRUE(tls.WaitForRequest(1000));
    EXPECT_EQ(tls.Request().substr(0, tls.Request().find("\r\n")), "GET /v?a=1 HTTP/1.1");
    // The system's store does not know the test's certificate.
    EXPECT_EQ(CheckUrl(strUrl).Message(), NO_CONNECTION);

    LoopbackServer plain(Mode::ANSWER, Ok("$4$\n"));
    EXPECT_EQ(CheckUrl("http://127.0.0.1:" + std::to_string(plain.Port()) + "/").m_strVersion, "4");
    // Not a web address: no hint at the connection.
    for (const char* szUrl : {"ftp://127.0.0.1/v", "127.0.0.1/v", "http://"})
        EXPECT_EQ(CheckUrl(szUrl).Message(),
                  "An unknown error occurred while checking for updates.")
            << szUrl;
}

TEST(UpdateCheck, UnreachableHostIsAConnectionFailure)
{
    LoopbackServer refusing(Mode::REFUSE);
    // "localhost" goes through the name lookup, and may name ::1 before
    // 127.0.0.1: each address is tried.
    for (const char* szHost : {"127.0.0.1", "localhost"})
        EXPECT_EQ(Check(szHost, refusing.Port()).Message(), NO_CONNECTION) << szHost;
    EXPECT_EQ(Check("127.0.0.1", 70000).Message(), NO_CONNECTION);

    LoopbackServer server(Mode::ANSWER, Ok("$7$\n"));
    EXPECT_EQ(Check("localhost", server.Port()).m_strVersion, "7");
}

TEST(UpdateCheck, SilentServerTimesOutAndAStopRequestEndsTheWait)
{
    LoopbackServer server(Mode::STALL);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(Check("127.0.0.1", server.Port(), 300).Message(),
              Message("HTTP request failed, got HTTP response 0."));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    LoopbackServer server2(Mode::STALL);
    const auto fnStop = [&server2] { return server2.WaitForRequest(0); };
    start = Clock::now();
    const UpdateCheckOutcome outcome =
        Check("127.0.0.1", server2.Port(), 60000, UpdateServer::DEFAULT_PATH, fnStop);
    EXPECT_EQ(outcome.m_kind, Kind::STOPPED);
    EXPECT_EQ(outcome.Message(), "");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(UpdateCheck, EndlessBodyIsCutOff)
{
    LoopbackServer server(Mode::ENDLESS);
    const UpdateCheckOutcome outcome = Check("127.0.0.1", server.Port());
    EXPECT_EQ(outcome.m_kind, Kind::NO_VERSION);
    EXPECT_EQ(outcome.m_strVersion, "");
    // The check hung up: the server got rid of the 64 KiB read and whatever
    // the two socket buffers took in, not its 256 MiB.
    const long long nSent = server.BytesSentUntilHangUp(2000);
    EXPECT_GT(nSent, 0);
    EXPECT_LT(nSent, 32LL * 1024 * 1024);
}
} // namespace
