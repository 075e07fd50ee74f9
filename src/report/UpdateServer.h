#pragma once

#include <wx/string.h>

class wxConfigBase;

// Where the update check asks for the latest published version, and how long
// it waits for an answer. Kept in the preferences store: no server is
// published yet, so without a URL or a host no check is made.
struct UpdateServer
{
    // A whole http:// or https:// address; when set, the three keys after it
    // are not used.
    static constexpr const char* URL_KEY = "update_url";
    static constexpr const char* HOST_KEY = "update_host";
    static constexpr const char* PORT_KEY = "update_port";
    static constexpr const char* PATH_KEY = "update_path";
    static constexpr int DEFAULT_PORT = 80;
    static constexpr const char* DEFAULT_PATH = "/p/quorvel/wiki/LinecastVersion";
    static constexpr int DEFAULT_TIMEOUT_MS = 60 * 1000;

    // Reads the four keys without recording their defaults: an empty host
    // written into every user's store would stay there and hide a server that
    // a later version ships as its default.
    static UpdateServer FromConfig(wxConfigBase* pConfig);

    bool IsSet() const { return !m_strUrl.empty() || !m_strHost.empty(); }

    wxString m_strUrl;
    wxString m_strHost;
    int m_nPort = DEFAULT_PORT;
    wxString m_strPath = DEFAULT_PATH;
    // For the whole request, connecting included.
    int m_nTimeoutMs = DEFAULT_TIMEOUT_MS;
    // The certificates an https server is checked against; empty, the
    // system's store.
    wxString m_strCaFile;
};
