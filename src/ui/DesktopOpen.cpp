#include "ui/DesktopOpen.h"

#include <wx/filename.h>
#include <wx/process.h>
#include <wx/utils.h>

namespace
{
bool Launch(const wxString& strLauncher, const wxString& strPath)
{
    if (strPath.empty())
        return false;
    // An absolute path never starts with '-', so the launcher cannot take it
    // for one of its options.
    wxFileName path(strPath);
    path.MakeAbsolute();
    const wxString strFull = path.GetFullPath();
    const wchar_t* const argv[] = {strLauncher.wc_str(), strFull.wc_str(), nullptr};
    return wxExecute(argv, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE) != 0;
}

// The file manager call runs without waiting; when it fails (no session bus,
// no file manager offering the call, no gdbus) the folder is opened instead.
class ShowItemsCall : public wxProcess
{
public:
    ShowItemsCall(const wxString& strLauncher, const wxString& strFolder)
        : m_strLauncher(strLauncher), m_strFolder(strFolder)
    {
        Redirect(); // its answer and errors are not ours to print
    }

    void OnTerminate(int, int nStatus) override
    {
        if (nStatus != 0)
            Launch(m_strLauncher, m_strFolder);
        delete this;
    }

private:
    wxString m_strLauncher;
    wxString m_strFolder;
};
} // namespace

DesktopOpen::DesktopOpen(const wxString& strLauncher, const wxString& strBusCaller)
    : m_strLauncher(strLauncher), m_strBusCaller(strBusCaller)
{
}

bool DesktopOpen::OpenFile(const wxString& strPath) const
{
    return Launch(m_strLauncher, strPath);
}

bool DesktopOpen::OpenFolder(const wxString& strPath) const
{
    return Launch(m_strLauncher, strPath);
}

bool DesktopOpen::ShowInFolder(const wxString& strFilePath) const
{
    if (strFilePath.empty())
        return false;
    wxFileName file(strFilePath);
    file.MakeAbsolute();
    const wxString strUri = FileUri(file.GetFullPath());
    if (m_strBusCaller.empty() || strUri.empty())
        return Launch(m_strLauncher, file.GetPath());

    // The item list is a GVariant text; the URI holds no quote or backslash,
    // so it cannot end the quoted text early.
    const wxString strItems = "['" + strUri + "']";
    const wchar_t* const argv[] = {m_strBusCaller.wc_str(),
                                   L"call",
                                   L"--session",
                                   L"--timeout",
                                   L"10",
                                   L"--dest",
                                   L"org.freedesktop.FileManager1",
                                   L"--object-path",
                                   L"/org/freedesktop/FileManager1",
                                   L"--method",
                                   L"org.freedesktop.FileManager1.ShowItems",
                                   strItems.wc_str(),
                                   L"''", // no startup notification id
                                   nullptr};
    auto* pCall = new ShowItemsCall(m_strLauncher, file.GetPath());
    if (wxExecute(argv, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE, pCall) != 0)
        return true; // the call deletes itself when it ends
    delete pCall;
    return Launch(m_strLauncher, file.GetPath());
}

wxString DesktopOpen::FileUri(const wxString& strPath)
{
    // The bytes the file system knows the name by, so a name that is not
    // UTF-8 keeps its bytes.
    const wxCharBuffer bytes = strPath.mb_str(*wxConvFileName);
    if (bytes.length() == 0)
        return wxString();
    wxString strUri = "file://";
    static const char HEX[] = "0123456789ABCDEF";
    for (const char* p = bytes.data(); *p; ++p)
    {
        const unsigned char c = static_cast<unsigned char>(*p);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/')
        {
            strUri += static_cast<char>(c);
        }
        else
        {
            strUri += '%';
            strUri += HEX[c >> 4];
            strUri += HEX[c & 0xF];
        }
    }
    return strUri;
}
