#include "LoopbackServer.h"
#include "report/LatestVersionRequest.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
using Kind = UpdateCheckOutcome::Kind;
using Clock = std::chrono::steady_clock;

const char* const NO_CONNECTION_MESSAGE = "An unknown error occurred while checking for updates.\n"
                                          "Please check your internet connection and try again.";
wxString HttpMessage(int nStatus)
{
    return wxString::Format("An unknown error occurred while checking for updates.\n"
                            "HTTP request failed, got HTTP response %d.",
                            nStatus);
}

UpdateServer Server(const char* szHost, int nPort, int nTimeoutMs = 10000)
{
    UpdateServer server;
    server.m_strHost = szHost;
    server.m_nPort = nPort;
    server.m_nTimeoutMs = nTimeoutMs;
    return server;
}

UpdateCheckOutcome Check(
    const UpdateServer& server, std::function<bool()> fnStop = [] { return false; })
{
    LatestVersionRequest request(server, std::move(fnStop));
    return request.Run();
}

std::string Ok(const std::string& strBody)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n" + strBody;
}

std::string Utf16Le(const std::string& strAscii)
{
    std::string strBytes = "\xFF\xFE";
    for (char c : strAscii)
        strBytes += std::string{c, '\0'};
    return strBytes;
}

struct AnswerCase
{
    const char* szName;
    std::string strAnswer;
    Kind kind;
    wxString strVersion; // VERSION only
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
    LoopbackServer server(LoopbackServer::Mode::ANSWER, row.strAnswer);
    const UpdateCheckOutcome outcome = Check(Server("127.0.0.1", server.Port()));
    EXPECT_EQ(outcome.m_kind, row.kind);
    EXPECT_EQ(outcome.m_strVersion, row.strVersion);
    EXPECT_EQ(outcome.Message(), row.strMessage);
}

const std::string LONG_LINE(70000, 'x');
INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, AnswerTest,
    testing::Values(
        AnswerCase{"VersionOnTheSecondLine", Ok("Linecast\r\nversion $2.0.1$ out now\r\n$9$\r\n"),
                   Kind::VERSION, "2.0.1", ""},
        AnswerCase{"FirstToLastDollar", Ok("$1.2$ and $beta$\n"), Kind::VERSION, "1.2$ and $beta",
                   ""},
        AnswerCase{"SingleDollar", Ok("see $1.3\r\nnext $line$\r\n"), Kind::VERSION, "1.3", ""},
        AnswerCase{"SingleDollarAtTheEnd", Ok("see $1.3"), Kind::VERSION, "1.3", ""},
        AnswerCase{"CarriageReturnEndsALine", Ok("a\r$5.0\rb$"), Kind::VERSION, "5.0", ""},
        AnswerCase{"NoDollarStoresEmpty", Ok("no version\nhere\n"), Kind::VERSION, "", ""},
        AnswerCase{"EmptyBody", Ok(""), Kind::VERSION, "", ""},
        AnswerCase{"BareLineFeeds", "HTTP/1.0 204 No Content\n\n$4$\n", Kind::VERSION, "4", ""},
        AnswerCase{"Utf8", Ok("\xEF\xBB\xBF$2.0 \xE2\x80\x93 b\xC3\xA9ta$\n"), Kind::VERSION,
                   wxString::FromUTF8("2.0 \xE2\x80\x93 b\xC3\xA9ta"), ""},
        AnswerCase{"NotUtf8", Ok("$caf\xE9$\n"), Kind::VERSION, wxString::FromUTF8("caf\xC3\xA9"),
                   ""},
        AnswerCase{"Utf16ByteOrderMark", Ok(Utf16Le("x\r\nv $3.1$\r\n")), Kind::VERSION, "3.1", ""},
        AnswerCase{"LongVersionIsCut", Ok("$" + std::string(1000, 'a') + "$\n"), Kind::VERSION,
                   wxString(64, 'a'), ""},
        AnswerCase{"NothingPastTheBodyLimit", Ok(LONG_LINE + "\n$9.9$\n"), Kind::VERSION, "", ""},
        AnswerCase{"NotFound", "HTTP/1.1 404 Not Found\r\n\r\n$1$\n", Kind::HTTP_FAILED, "",
                   HttpMessage(404)},
        AnswerCase{"Redirect", "HTTP/1.1 301 Moved\r\nLocation: /x\r\n\r\n", Kind::HTTP_FAILED, "",
                   HttpMessage(301)},
        AnswerCase{"NotHttp", "hello\r\n\r\n$1$\n", Kind::HTTP_FAILED, "", HttpMessage(0)},
        AnswerCase{"ClosedWithoutAnswer", "", Kind::HTTP_FAILED, "", HttpMessage(0)},
        AnswerCase{"ClosedInTheHeaders", "HTTP/1.1 200 OK\r\nServer: x", Kind::HTTP_FAILED, "",
                   HttpMessage(0)}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return info.param.szName; });

TEST(UpdateCheck, RequestNamesThePathAndClosesTheConnection)
{
    LoopbackServer server(LoopbackServer::Mode::ANSWER, Ok("$1$\n"));
    UpdateServer target = Server("127.0.0.1", server.Port());
    EXPECT_EQ(Check(target).m_strVersion, "1");
    ASSERT_TRUE(server.WaitForRequest(1000));
    const std::string strRequest = server.Request();
    EXPECT_EQ(strRequest.substr(0, strRequest.find("\r\n")),
              "GET /p/quorvel/wiki/LinecastVersion HTTP/1.0");
    EXPECT_NE(strRequest.find("\r\nConnection: Close\r\n"), std::string::npos) << strRequest;
    EXPECT_NE(strRequest.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"),
              std::string::npos)
        << strRequest;

    // A path from the settings file cannot add lines to the request.
    LoopbackServer server2(LoopbackServer::Mode::ANSWER, Ok("$1$\n"));
    target = Server("127.0.0.1", server2.Port());
    target.m_strPath = "/a b\r\nX-Evil: 1";
    Check(target);
    ASSERT_TRUE(server2.WaitForRequest(1000));
    EXPECT_EQ(server2.Request().substr(0, server2.Request().find("\r\n")),
              "GET /a%20b%0D%0AX-Evil:%201 HTTP/1.0");
}

struct ConnectCase
{
    const char* szName;
    const char* szHost;
    LoopbackServer::Mode mode;
    int nPortOffset; // added to the server's port; 100000 makes it invalid
    Kind kind;
};
void PrintTo(const ConnectCase& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class ConnectTest : public testing::TestWithParam<ConnectCase>
{
};

TEST_P(ConnectTest, ReachesTheHostOrSaysSo)
{
    const ConnectCase& row = GetParam();
    LoopbackServer server(row.mode, Ok("$7$\n"));
    const UpdateCheckOutcome outcome = Check(Server(row.szHost, server.Port() + row.nPortOffset));
    EXPECT_EQ(outcome.m_kind, row.kind);
    if (row.kind == Kind::NO_CONNECTION)
        EXPECT_EQ(outcome.Message(), NO_CONNECTION_MESSAGE);
    else
        EXPECT_EQ(outcome.m_strVersion, "7");
}

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, ConnectTest,
    testing::Values(
        ConnectCase{"Refused", "127.0.0.1", LoopbackServer::Mode::REFUSE, 0, Kind::NO_CONNECTION},
        // A name goes through the resolver; "localhost" may name ::1 first,
        // where nobody listens, and then 127.0.0.1.
        ConnectCase{"NameRefused", "localhost", LoopbackServer::Mode::REFUSE, 0,
                    Kind::NO_CONNECTION},
        ConnectCase{"Name", "localhost", LoopbackServer::Mode::ANSWER, 0, Kind::VERSION},
        ConnectCase{"PortOutOfRange", "127.0.0.1", LoopbackServer::Mode::ANSWER, 100000,
                    Kind::NO_CONNECTION}),
    [](const testing::TestParamInfo<ConnectCase>& info) { return info.param.szName; });

TEST(UpdateCheck, SilentServerTimesOutAndStopRequestEndsTheWait)
{
    LoopbackServer server(LoopbackServer::Mode::STALL);
    Clock::time_point start = Clock::now();
    UpdateCheckOutcome outcome = Check(Server("127.0.0.1", server.Port(), 300));
    EXPECT_EQ(outcome.m_kind, Kind::HTTP_FAILED);
    EXPECT_EQ(outcome.Message(), HttpMessage(0));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    // A check asked to stop gives up within a slice, long before its timeout.
    LoopbackServer server2(LoopbackServer::Mode::STALL);
    std::atomic<bool> bStop{false};
    std::thread stopper(
        [&]
        {
            server2.WaitForRequest(5000);
            bStop = true;
        });
    start = Clock::now();
    outcome = Check(Server("127.0.0.1", server2.Port(), 60000), [&] { return bStop.load(); });
    stopper.join();
    EXPECT_EQ(outcome.m_kind, Kind::STOPPED);
    EXPECT_FALSE(outcome.HasMessage());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(UpdateCheck, EndlessBodyIsCutOff)
{
    LoopbackServer server(LoopbackServer::Mode::ENDLESS);
    const UpdateCheckOutcome outcome = Check(Server("127.0.0.1", server.Port()));
    EXPECT_EQ(outcome.m_kind, Kind::VERSION);
    EXPECT_EQ(outcome.m_strVersion, "");
    // The check hung up; what the server got rid of is the read limit plus
    // whatever the two socket buffers took in.
    for (int i = 0; i < 200 && !server.ClientHungUp(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(server.ClientHungUp());
    EXPECT_LT(server.BytesSent(), 32LL * 1024 * 1024);
}

struct SettingsCase
{
    const char* szName;
    const char* szStore;
    const char* szHost;
    int nPort;
    const char* szPath;
};
void PrintTo(const SettingsCase& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class SettingsTest : public testing::TestWithParam<SettingsCase>
{
};

TEST_P(SettingsTest, AreReadWithoutRecordingDefaults)
{
    const SettingsCase& row = GetParam();
    wxStringInputStream stream(row.szStore);
    wxFileConfig config(stream);
    config.SetRecordDefaults(true);
    const size_t nEntries = config.GetNumberOfEntries();

    const UpdateServer server = UpdateServer::FromConfig(&config);
    EXPECT_EQ(server.m_strHost, row.szHost);
    EXPECT_EQ(server.m_nPort, row.nPort);
    EXPECT_EQ(server.m_strPath, row.szPath);
    EXPECT_EQ(server.IsSet(), *row.szHost != '\0');
    EXPECT_EQ(config.GetNumberOfEntries(), nEntries);
}

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, SettingsTest,
    testing::Values(SettingsCase{"Nothing", "", "", 80, "/p/quorvel/wiki/LinecastVersion"},
                    SettingsCase{"HostOnly", "update_host = versions.example.org \n",
                                 "versions.example.org", 80, "/p/quorvel/wiki/LinecastVersion"},
                    SettingsCase{"All",
                                 "update_host=127.0.0.1\nupdate_port=8080\nupdate_path=/v.txt\n",
                                 "127.0.0.1", 8080, "/v.txt"},
                    SettingsCase{"BadPort", "update_host=h\nupdate_port=99999\n", "h", 0,
                                 "/p/quorvel/wiki/LinecastVersion"}),
    [](const testing::TestParamInfo<SettingsCase>& info) { return info.param.szName; });
} // namespace
