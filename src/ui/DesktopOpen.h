#pragma once

#include <functional>
#include <wx/string.h>

class wxWindow;
typedef struct _GCancellable GCancellable;

// Opens files, folders and web pages with the desktop's default applications
// through GIO, and asks the file manager to show a file in its folder. A path
// goes to GIO by its real bytes (kept as NativePath keeps them), so a name that
// is not UTF-8 opens the file it names. What cannot be opened is told to the
// failure handler, with GIO's reason: at once, or for ShowInFolder once the
// file manager has answered.
class DesktopOpen
{
public:
    // strWhat is the path or address as given, strWhy GIO's message.
    using FailureHandler = std::function<void(const wxString& strWhat, const wxString& strWhy)>;

    explicit DesktopOpen(FailureHandler fnFailed);
    // Calls still waiting for the file manager are dropped, untold.
    ~DesktopOpen();
    DesktopOpen(const DesktopOpen&) = delete;
    DesktopOpen& operator=(const DesktopOpen&) = delete;

    // A file or a folder, relative paths from the working folder. False when
    // it failed (the handler has been told) or the path is empty.
    bool Open(const wxString& strPath) const;
    bool OpenWebPage(const wxString& strUrl) const;
    // Asks the file manager on the session bus to show the file selected
    // (org.freedesktop.FileManager1.ShowItems); when there is no bus or no file
    // manager takes the call, opens the folder that holds the file instead.
    void ShowInFolder(const wxString& strFilePath) const;

private:
    bool Launch(const char* szUri, const wxString& strWhat) const;

    FailureHandler m_fnFailed;
    GCancellable* m_pCancellable;
};

// The window's failure handler: a message box over pParent, titled "Confirm",
// that names what could not be opened and why.
DesktopOpen::FailureHandler TellOpenFailure(wxWindow* pParent);
