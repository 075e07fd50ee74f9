#pragma once

#include <wx/string.h>

// Opens files and folders with the desktop's default application (xdg-open).
// A path is handed to the launcher as one argument of its own, never as text
// for a shell, so blanks, quotes and shell characters in it mean nothing
// special. The launcher runs without waiting; what it does is not reported.
class DesktopOpen
{
public:
    explicit DesktopOpen(const wxString& strLauncher = "xdg-open");
    virtual ~DesktopOpen() = default;

    // Each returns false when the path is empty or the launcher could not be
    // started.
    bool OpenFile(const wxString& strPath) const;
    bool OpenFolder(const wxString& strPath) const;
    // Opens the folder that holds the file.
    bool ShowInFolder(const wxString& strFilePath) const;

private:
    bool Launch(const wxString& strPath) const;

    wxString m_strLauncher;
};
