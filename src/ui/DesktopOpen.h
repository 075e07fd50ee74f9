#pragma once

#include <wx/string.h>

// Opens files and folders with the desktop's default application (xdg-open).
// A path is handed to the launcher as one argument of its own, never as text
// for a shell, so blanks, quotes and shell characters in it mean nothing
// special, and by its real bytes, so a name that is not UTF-8 (kept as
// NativePath keeps it) opens the file it names. The launcher runs without
// waiting; what it does is not reported.
class DesktopOpen
{
public:
    // strBusCaller runs the file manager call of ShowInFolder (gdbus); empty,
    // ShowInFolder only opens the folder.
    explicit DesktopOpen(const wxString& strLauncher = "xdg-open",
                         const wxString& strBusCaller = "gdbus");
    virtual ~DesktopOpen() = default;

    // Each returns false when the path is empty or the launcher could not be
    // started.
    bool OpenFile(const wxString& strPath) const;
    bool OpenFolder(const wxString& strPath) const;
    // Asks the file manager to show the file selected in its folder (the
    // freedesktop FileManager1 ShowItems call on the session bus). When no
    // file manager answers the call, opens the folder that holds the file.
    bool ShowInFolder(const wxString& strFilePath) const;

    // A file: URI of an absolute path, every byte of its real name other than
    // letters, digits, "-._~" and "/" percent-encoded; empty for an empty path.
    static wxString FileUri(const wxString& strPath);

private:
    wxString m_strLauncher;
    wxString m_strBusCaller;
};
