#include "report/LatestVersionRequest.h"

#include "config/Version.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>

namespace
{
template <auto Free> struct CurlFree
{
    template <class T> void operator()(T* p) const { Free(p); }
};
using EasyPtr = std::unique_ptr<CURL, CurlFree<curl_easy_cleanup>>;
using MultiPtr = std::unique_ptr<CURLM, CurlFree<curl_multi_cleanup>>;
using UrlPtr = std::unique_ptr<CURLU, CurlFree<curl_url_cleanup>>;
using ListPtr = std::unique_ptr<curl_slist, CurlFree<curl_slist_free_all>>;

// Characters that would break the request line or smuggle in a header are
// sent escaped; everything else of the configured path goes as written.
std::string EscapedPath(const wxString& strPath)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string strEscaped;
    for (const unsigned char c : strPath.utf8_string())
    {
        if (c <= ' ' || c >= 0x7F)
        {
            strEscaped += '%';
            strEscaped += HEX[c >> 4];
            strEscaped += HEX[c & 0x0F];
        }
        else
        {
            strEscaped += static_cast<char>(c);
        }
    }
    if (strEscaped.empty() || strEscaped[0] != '/')
        strEscaped.insert(0, "/");
    return strEscaped;
}

// The address to ask: the whole URL of the settings, else one made of host,
// port and path. Null when there is none, with kind saying what to tell: a
// URL that is none is a fault of its own, a host that is none cannot be
// reached.
UrlPtr UrlOf(const UpdateServer& server, UpdateCheckOutcome::Kind& kind)
{
    UrlPtr pUrl(curl_url());
    if (!pUrl)
        return nullptr;
    if (!server.m_strUrl.empty())
    {
        kind = UpdateCheckOutcome::FAILED;
        if (curl_url_set(pUrl.get(), CURLUPART_URL, server.m_strUrl.utf8_str(), 0) != CURLUE_OK)
            return nullptr;
        return pUrl;
    }
    kind = UpdateCheckOutcome::NO_CONNECTION;
    std::string strHost = server.m_strHost.utf8_string();
    if (strHost.find(':') != std::string::npos)
        strHost = "[" + strHost + "]"; // an IPv6 address
    if (server.m_nPort <= 0 || server.m_nPort > 65535 ||
        curl_url_set(pUrl.get(), CURLUPART_SCHEME, "http", 0) != CURLUE_OK ||
        curl_url_set(pUrl.get(), CURLUPART_HOST, strHost.c_str(), 0) != CURLUE_OK ||
        curl_url_set(pUrl.get(), CURLUPART_PORT, std::to_string(server.m_nPort).c_str(), 0) !=
            CURLUE_OK ||
        curl_url_set(pUrl.get(), CURLUPART_PATH, EscapedPath(server.m_strPath).c_str(), 0) !=
            CURLUE_OK)
        return nullptr;
    return pUrl;
}

// A body that may be UTF-16 or UTF-32 cannot be searched byte by byte.
bool MayBeWide(const std::string& strBody)
{
    if (strBody.empty())
        return false;
    const unsigned char c = strBody[0];
    return c == 0xFF || c == 0xFE || c == 0x00;
}

// Once the line that holds the first "$" has ended, the rest of the body
// cannot change the version.
bool HasVersionLine(const std::string& strBody)
{
    if (MayBeWide(strBody))
        return false;
    const size_t nDollar = strBody.find('$');
    return nDollar != std::string::npos &&
           strBody.find_first_of("\r\n", nDollar) != std::string::npos;
}

// The first "$" of a text lies on the first line that has one; the version
// runs from there to the last "$" of that line (lines end at LF, CR LF or CR).
template <class Text> Text VersionSpan(const Text& text)
{
    const size_t nFirst = text.find('$');
    if (nFirst == Text::npos)
        return Text();
    size_t nLineEnd = text.find_first_of("\r\n", nFirst);
    if (nLineEnd == Text::npos)
        nLineEnd = text.size();
    const size_t nLast = text.rfind('$', nLineEnd - 1);
    if (nLast == nFirst)
        return text.substr(nFirst + 1, nLineEnd - nFirst - 1);
    return text.substr(nFirst + 1, nLast - nFirst - 1);
}

// A body with a byte-order mark of UTF-16 or UTF-32 is decoded by it; the
// names of the marks are tried longest first, UTF-32LE starting like UTF-16LE.
bool DecodeWide(const std::string& strBody, wxString& strText)
{
    struct Mark
    {
        const char* szBytes;
        size_t nLength;
        const wxMBConv& conv;
    };
    static const wxMBConvUTF32LE utf32le;
    static const wxMBConvUTF32BE utf32be;
    static const wxMBConvUTF16LE utf16le;
    static const wxMBConvUTF16BE utf16be;
    const Mark marks[] = {
        {"\xFF\xFE\x00\x00", 4, utf32le},
        {"\x00\x00\xFE\xFF", 4, utf32be},
        {"\xFF\xFE", 2, utf16le},
        {"\xFE\xFF", 2, utf16be},
    };
    for (const Mark& mark : marks)
    {
        if (strBody.compare(0, mark.nLength, mark.szBytes, mark.nLength) != 0)
            continue;
        // A cut-off last character (the body is read up to a limit) is dropped.
        const size_t nUnit = mark.nLength;
        const size_t nUsable = (strBody.size() - mark.nLength) / nUnit * nUnit;
        strText = wxString(strBody.data() + mark.nLength, mark.conv, nUsable);
        return true;
    }
    return false;
}

// What has arrived of the answer.
struct Answer
{
    CURL* pEasy = nullptr;
    std::string strBody;
    // The header lines of the final answer have ended: its body follows.
    bool bHeadersDone = false;
};

size_t OnHeaderLine(char* pData, size_t, size_t nSize, void* pAnswer)
{
    Answer& answer = *static_cast<Answer*>(pAnswer);
    const std::string_view line(pData, nSize);
    if (line.substr(0, 5) == "HTTP/")
        answer.bHeadersDone = false; // the answer that follows an interim one
    else if (line == "\r\n" || line == "\n")
        answer.bHeadersDone = true;
    return nSize;
}

// Takes the body of a 2xx answer up to its cap. Returning less than it was
// given ends the transfer: at once for any other status, and as soon as the
// rest of the body cannot change the version.
size_t OnBody(char* pData, size_t, size_t nSize, void* pAnswer)
{
    Answer& answer = *static_cast<Answer*>(pAnswer);
    long nStatus = 0;
    curl_easy_getinfo(answer.pEasy, CURLINFO_RESPONSE_CODE, &nStatus);
    if (nStatus < 200 || nStatus > 299)
        return 0;
    const size_t nMax = LatestVersionRequest::MAX_BODY_BYTES;
    answer.strBody.append(pData, std::min(nSize, nMax - answer.strBody.size()));
    if (answer.strBody.size() >= nMax || HasVersionLine(answer.strBody))
        return 0;
    return nSize;
}

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
} // namespace

LatestVersionRequest::LatestVersionRequest(const UpdateServer& server,
                                           std::function<bool()> fnStopRequested)
    : m_server(server), m_fnStopRequested(std::move(fnStopRequested))
{
}

UpdateCheckOutcome LatestVersionRequest::Run()
{
    InitCurlOnce();
    UpdateCheckOutcome::Kind badUrl = UpdateCheckOutcome::FAILED;
    const UrlPtr pUrl = UrlOf(m_server, badUrl);
    if (!pUrl)
        return UpdateCheckOutcome::Failure(badUrl);
    // The transfer goes before the multi handle and the header list it uses.
    const ListPtr pHeaders(curl_slist_append(nullptr, "Connection: Close"));
    const MultiPtr pMulti(curl_multi_init());
    const EasyPtr pEasy(curl_easy_init());
    if (!pEasy || !pMulti || !pHeaders)
        return UpdateCheckOutcome::Failure(UpdateCheckOutcome::FAILED);

    Answer answer;
    answer.pEasy = pEasy.get();
    const std::string strAgent = std::string("Linecast/") + LinecastVersion::TEXT;
    CURL* p = pEasy.get();
    curl_easy_setopt(p, CURLOPT_CURLU, pUrl.get());
    curl_easy_setopt(p, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(p, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(p, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(p, CURLOPT_HTTPHEADER, pHeaders.get());
    curl_easy_setopt(p, CURLOPT_USERAGENT, strAgent.c_str());
    // Certificates are checked (libcurl's default) against the system's
    // store, or against the one file the settings name.
    if (!m_server.m_strCaFile.empty())
        curl_easy_setopt(p, CURLOPT_CAINFO, m_server.m_strCaFile.utf8_str().data());
    curl_easy_setopt(p, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_server.m_nTimeoutMs));
    curl_easy_setopt(p, CURLOPT_TIMEOUT_MS, static_cast<long>(m_server.m_nTimeoutMs));
    // The check runs on a thread of its own: no alarm signal may reach the
    // window's, and giving up must not wait for a name server that stalls.
    curl_easy_setopt(p, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(p, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(p, CURLOPT_HEADERFUNCTION, OnHeaderLine);
    curl_easy_setopt(p, CURLOPT_HEADERDATA, &answer);
    curl_easy_setopt(p, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(p, CURLOPT_WRITEDATA, &answer);

    // libcurl calls a progress callback only while data flows, not while it
    // looks up the name or connects, so the stop request is looked at here,
    // between short waits, in every step of the request.
    curl_multi_add_handle(pMulti.get(), p);
    int nRunning = 1;
    while (nRunning > 0)
    {
        if (m_fnStopRequested())
        {
            curl_multi_remove_handle(pMulti.get(), p);
            return UpdateCheckOutcome::Failure(UpdateCheckOutcome::STOPPED);
        }
        if (curl_multi_perform(pMulti.get(), &nRunning) != CURLM_OK ||
            (nRunning > 0 &&
             curl_multi_poll(pMulti.get(), nullptr, 0, STOP_POLL_MS, nullptr) != CURLM_OK))
            break;
    }
    int nQueued = 0;
    const CURLMsg* pDone = curl_multi_info_read(pMulti.get(), &nQueued);
    const CURLcode result =
        pDone && pDone->msg == CURLMSG_DONE ? pDone->data.result : CURLE_FAILED_INIT;
    long nStatus = 0;
    long nRequestBytes = 0;
    curl_easy_getinfo(p, CURLINFO_RESPONSE_CODE, &nStatus);
    curl_easy_getinfo(p, CURLINFO_REQUEST_SIZE, &nRequestBytes);
    curl_multi_remove_handle(pMulti.get(), p);

    // Failing before the request went out: the server (or a secure
    // connection to it) could not be reached, unless the URL was no web
    // address at all.
    if (result != CURLE_OK && nRequestBytes == 0)
        return UpdateCheckOutcome::Failure(result == CURLE_UNSUPPORTED_PROTOCOL ||
                                                   result == CURLE_URL_MALFORMAT
                                               ? UpdateCheckOutcome::FAILED
                                               : UpdateCheckOutcome::NO_CONNECTION);
    if (nStatus < 200 || nStatus > 299)
        return UpdateCheckOutcome::Failure(UpdateCheckOutcome::HTTP_FAILED,
                                           static_cast<int>(nStatus));
    // A 2xx answer cut off before its body is an answer that never arrived.
    // Once the body has begun, its end, a broken connection and the timeout
    // all end the reading; what has arrived by then counts.
    if (!answer.bHeadersDone)
        return UpdateCheckOutcome::Failure(UpdateCheckOutcome::HTTP_FAILED, 0);
    return UpdateCheckOutcome::Version(VersionFromBody(answer.strBody));
}

wxString LatestVersionRequest::VersionFromBody(const std::string& strBody)
{
    wxString strVersion;
    wxString strWide;
    if (DecodeWide(strBody, strWide))
    {
        strVersion = VersionSpan(strWide);
    }
    else
    {
        const bool bUtf8Mark = strBody.compare(0, 3, "\xEF\xBB\xBF") == 0;
        const std::string strBytes = VersionSpan(bUtf8Mark ? strBody.substr(3) : strBody);
        strVersion = wxString::FromUTF8(strBytes);
        // Not UTF-8 after all: one byte per character rather than nothing.
        if (strVersion.empty() && !strBytes.empty())
            strVersion = wxString(strBytes.data(), wxConvISO8859_1, strBytes.size());
    }
    return strVersion.Left(MAX_VERSION_CHARS);
}
