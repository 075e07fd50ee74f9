#pragma once

#include <wx/arrstr.h>
#include <wx/gdicmn.h>

#include <memory>

class wxConfigBase;
class wxTopLevelWindow;

// The main window's layout settings and the history of source directories,
// kept between runs in the per-user configuration store. The main frame loads
// it when it is built and saves it when it is destroyed.
class Preference
{
public:
    Preference() = default;
    virtual ~Preference() = default;

    // Remembers the frame and the configuration object, reads every key and
    // restores the frame's position and client size.
    void Load(wxTopLevelWindow* pFrame);
    // Writes every key back; the caller first copies its directory list into
    // m_arrDirectoryHistory.
    void Save();
    // The geometry halves of Load and Save.
    void LoadFrameGeometry();
    void SaveFrameGeometry();
    // Called before the frame goes full screen: the geometry saved while it
    // is full screen is this one, not the screen's.
    void RememberNormalGeometry();

    // Positive: the frame's position and client size are kept between runs.
    int m_nPreserveFrameSizePos = 1;
    // 1: the directory, extension and modification-date filter panes are shown.
    int m_nShowFilterDirectory = 1;
    int m_nShowFilterExtension = 1;
    int m_nShowFilterModifiedDate = 1;
    // 1: full-screen mode hides the menu bar / the status bar.
    int m_nHideMenuBar = 1;
    int m_nHideStatusBar = 1;
    // Positive: the source directory history is kept between runs.
    int m_nPreserveDirectory = 1;
    wxArrayString m_arrDirectoryHistory;
    // The source type box's entries, newest first; always kept between runs.
    wxArrayString m_arrSourceTypeHistory;
    // Borrowed, set by Load.
    wxConfigBase* m_pConfig = nullptr;
    wxTopLevelWindow* m_pFrame = nullptr;
    // The frame's position and client size before it went full screen.
    wxRect m_rectNormal;
    // Number of history entries in the store.
    int m_nDirectoryNum = 0;

    // At most this many entries of each history are stored.
    static constexpr int MAX_DIRECTORIES = 16;
    static constexpr int MAX_SOURCE_TYPES = 16;
    // The frame's geometry when none is stored.
    static constexpr int DEFAULT_X = 40;
    static constexpr int DEFAULT_Y = 16;
    static constexpr int DEFAULT_WIDTH = 940;
    static constexpr int DEFAULT_HEIGHT = 616;
};

// The program's one Preference. The main frame creates it when it is built
// (if none exists yet) and, after Save, resets it when it is destroyed; every
// other user only borrows it.
extern std::unique_ptr<Preference> g_pPreference;
