#include "report/MessagePath.h"

#include "engine/NativePath.h"

wxString PathForMessage(const wxString& strPath, std::size_t nWidth)
{
    wxString strRest = NativePath::ToDisplay(strPath);
    wxString strLines;
    while (strRest.length() > nWidth)
    {
        std::size_t nBreak = nWidth;
        const std::size_t nSlash = strRest.find_last_of('/', nWidth - 1);
        if (nSlash != wxString::npos && nSlash + 1 > nWidth / 2)
            nBreak = nSlash + 1;
        strLines << strRest.Left(nBreak) << '\n';
        strRest.erase(0, nBreak);
    }
    return strLines + strRest;
}
