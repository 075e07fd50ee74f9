#include "ui/DesktopOpen.h"

#include <wx/filename.h>
#include <wx/utils.h>

DesktopOpen::DesktopOpen(const wxString& strLauncher) : m_strLauncher(strLauncher) {}

bool DesktopOpen::OpenFile(const wxString& strPath) const
{
    return Launch(strPath);
}

bool DesktopOpen::OpenFolder(const wxString& strPath) const
{
    return Launch(strPath);
}

bool DesktopOpen::ShowInFolder(const wxString& strFilePath) const
{
    if (strFilePath.empty())
        return false;
    wxFileName file(strFilePath);
    file.MakeAbsolute();
    return Launch(file.GetPath());
}

bool DesktopOpen::Launch(const wxString& strPath) const
{
    if (strPath.empty())
        return false;
    // An absolute path never starts with '-', so the launcher cannot take it
    // for one of its options.
    wxFileName path(strPath);
    path.MakeAbsolute();
    const wxString strFull = path.GetFullPath();
    const wchar_t* const argv[] = {m_strLauncher.wc_str(), strFull.wc_str(), nullptr};
    return wxExecute(argv, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE) != 0;
}
