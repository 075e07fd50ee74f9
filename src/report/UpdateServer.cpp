#include "report/UpdateServer.h"

#include <wx/config.h>

UpdateServer UpdateServer::FromConfig(wxConfigBase* pConfig)
{
    UpdateServer server;
    if (!pConfig)
        return server;

    const wxString strOldPath = pConfig->GetPath();
    pConfig->SetPath("/");
    wxString strUrl;
    if (pConfig->Read(URL_KEY, &strUrl))
        server.m_strUrl = strUrl.Strip(wxString::both);
    wxString strHost;
    if (pConfig->Read(HOST_KEY, &strHost))
        server.m_strHost = strHost.Strip(wxString::both);
    long nPort = DEFAULT_PORT;
    if (pConfig->Read(PORT_KEY, &nPort))
        server.m_nPort = nPort < 0 || nPort > 65535 ? 0 : static_cast<int>(nPort);
    wxString strPath;
    if (pConfig->Read(PATH_KEY, &strPath) && !strPath.empty())
        server.m_strPath = strPath;
    pConfig->SetPath(strOldPath);
    return server;
}
