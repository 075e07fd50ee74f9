#include "ui/settings/Preference.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/toplevel.h>

#include <algorithm>

std::unique_ptr<Preference> g_pPreference;

namespace
{
// The program's configuration store, created on first use. Directory paths may
// hold "$" or "%"; the store must give them back as written, not expanded.
wxConfigBase* TheConfig()
{
    wxConfigBase* pConfig = wxConfigBase::Get();
    if (pConfig)
        pConfig->SetExpandEnvVars(false);
    return pConfig;
}

int ReadInt(wxConfigBase& config, const wxString& strKey, int nDefault)
{
    return static_cast<int>(config.ReadLong(strKey, nDefault));
}

// A window stored on a monitor that is no longer attached would open where
// nobody can see or reach it.
bool IsOnSomeDisplay(const wxRect& rect)
{
    for (unsigned int i = 0; i < wxDisplay::GetCount(); ++i)
    {
        if (wxDisplay(i).GetGeometry().Intersects(rect))
            return true;
    }
    return false;
}

// The usable part of the display the window is on (the primary one when it
// is on none): a window larger than that is refused by the toolkit, and so
// never shown at all.
wxRect WorkAreaFor(const wxRect& rect)
{
    const int nDisplay = wxDisplay::GetFromPoint(rect.GetPosition());
    return wxDisplay(nDisplay == wxNOT_FOUND ? 0u : static_cast<unsigned>(nDisplay))
        .GetClientArea();
}

// Far beyond any screen, yet far from the integer limits, so the sums below
// cannot overflow.
constexpr int GEOMETRY_LIMIT = 1 << 20;

// A history is kept as the keys "0", "1", ... of a group of its own, with its
// length under a key of the root.
wxArrayString ReadHistory(wxConfigBase& config, int nStored, const wxString& strGroup, int nMax)
{
    wxArrayString arrEntries;
    config.SetPath(strGroup);
    // A damaged count must not make us read (and, recording defaults, write)
    // millions of keys.
    const int nCount = std::min(nStored, nMax);
    for (int i = 0; i < nCount; ++i)
    {
        const wxString strEntry = config.Read(wxString::Format("%d", i), wxString());
        if (!strEntry.empty())
            arrEntries.Add(strEntry);
    }
    config.SetPath("/");
    return arrEntries;
}

// Returns the number of entries written.
int WriteHistory(wxConfigBase& config, const wxArrayString& arrEntries, const wxString& strCountKey,
                 const wxString& strGroup, int nMax)
{
    // Entries are written without gaps and the old group goes first, so a
    // blank entry can never bring back one from an earlier history.
    wxArrayString arrStored;
    for (wxString strEntry : arrEntries)
    {
        if (static_cast<int>(arrStored.size()) >= nMax)
            break;
        strEntry.Trim(true);
        if (!strEntry.empty())
            arrStored.Add(strEntry);
    }
    const int nCount = static_cast<int>(arrStored.size());
    config.SetPath("/");
    config.Write(strCountKey, nCount);
    config.DeleteGroup(strGroup);
    config.SetPath(strGroup);
    for (int i = 0; i < nCount; ++i)
        config.Write(wxString::Format("%d", i), arrStored[i]);
    config.SetPath("/");
    return nCount;
}
} // namespace

void Preference::Load(wxTopLevelWindow* pFrame)
{
    m_pFrame = pFrame;
    m_pConfig = TheConfig();
    if (!m_pConfig)
        return;
    m_pConfig->SetPath("/");

    LoadFrameGeometry();

    m_pConfig->SetPath("/");
    m_nShowFilterDirectory = ReadInt(*m_pConfig, "m_nShowFilterDirectory", 1);
    m_nShowFilterExtension = ReadInt(*m_pConfig, "m_nShowFilterExtension", 1);
    m_nShowFilterModifiedDate = ReadInt(*m_pConfig, "m_nShowFilterModifiedDate", 1);
    m_nHideMenuBar = ReadInt(*m_pConfig, "m_nHideMenuBar", 1);
    m_nHideStatusBar = ReadInt(*m_pConfig, "m_nHideStatusBar", 1);
    m_nPreserveDirectory = ReadInt(*m_pConfig, "m_nPreserveDirectory", 1);
    m_nDirectoryNum = ReadInt(*m_pConfig, "m_nDirectoryNum", 0);

    m_arrDirectoryHistory.Clear();
    if (m_nPreserveDirectory > 0 && m_nDirectoryNum != 0)
        m_arrDirectoryHistory =
            ReadHistory(*m_pConfig, m_nDirectoryNum, "/Directory", MAX_DIRECTORIES);

    m_pConfig->SetPath("/");
    const int nSourceTypeNum = ReadInt(*m_pConfig, "m_nSourceTypeNum", 0);
    m_arrSourceTypeHistory.Clear();
    if (nSourceTypeNum != 0)
        m_arrSourceTypeHistory =
            ReadHistory(*m_pConfig, nSourceTypeNum, "/SourceType", MAX_SOURCE_TYPES);
    m_pConfig->SetPath("/");
}

void Preference::LoadFrameGeometry()
{
    if (!m_pConfig)
        return;
    m_pConfig->SetPath("/");
    m_nPreserveFrameSizePos = ReadInt(*m_pConfig, "m_nPreserveFrameSizePos", 1);

    int nX = DEFAULT_X;
    int nY = DEFAULT_Y;
    int nWidth = DEFAULT_WIDTH;
    int nHeight = DEFAULT_HEIGHT;
    if (m_nPreserveFrameSizePos >= 1)
    {
        nX = ReadInt(*m_pConfig, "x", DEFAULT_X);
        nY = ReadInt(*m_pConfig, "y", DEFAULT_Y);
        nWidth = ReadInt(*m_pConfig, "w", DEFAULT_WIDTH);
        nHeight = ReadInt(*m_pConfig, "h", DEFAULT_HEIGHT);
    }
    if (!m_pFrame)
        return;

    // A window shrunk to nothing or stored off every screen is of no use:
    // fall back to the defaults for that part.
    if (nWidth <= 0 || nHeight <= 0)
    {
        nWidth = DEFAULT_WIDTH;
        nHeight = DEFAULT_HEIGHT;
    }
    nX = std::clamp(nX, -GEOMETRY_LIMIT, GEOMETRY_LIMIT);
    nY = std::clamp(nY, -GEOMETRY_LIMIT, GEOMETRY_LIMIT);
    // No larger than the display, frame and all.
    const wxSize decorations = m_pFrame->GetSize() - m_pFrame->GetClientSize();
    const wxRect area = WorkAreaFor(wxRect(nX, nY, 1, 1));
    nWidth = std::min({nWidth, GEOMETRY_LIMIT, std::max(1, area.width - decorations.x)});
    nHeight = std::min({nHeight, GEOMETRY_LIMIT, std::max(1, area.height - decorations.y)});
    if (!IsOnSomeDisplay(wxRect(nX, nY, nWidth, nHeight)))
    {
        nX = DEFAULT_X;
        nY = DEFAULT_Y;
    }
    m_pFrame->Move(nX, nY);
    m_pFrame->SetClientSize(nWidth, nHeight);
}

void Preference::Save()
{
    if (!m_pConfig)
        m_pConfig = TheConfig();
    if (!m_pConfig)
        return;
    m_pConfig->SetPath("/");

    if (m_pFrame)
        SaveFrameGeometry();

    m_pConfig->SetPath("/");
    m_pConfig->Write("m_nShowFilterDirectory", m_nShowFilterDirectory);
    m_pConfig->Write("m_nShowFilterExtension", m_nShowFilterExtension);
    m_pConfig->Write("m_nShowFilterModifiedDate", m_nShowFilterModifiedDate);
    m_pConfig->Write("m_nHideMenuBar", m_nHideMenuBar);
    m_pConfig->Write("m_nHideStatusBar", m_nHideStatusBar);
    m_pConfig->Write("m_nPreserveDirectory", m_nPreserveDirectory);

    if (m_nPreserveDirectory > 0)
        m_nDirectoryNum = WriteHistory(*m_pConfig, m_arrDirectoryHistory, "m_nDirectoryNum",
                                       "/Directory", MAX_DIRECTORIES);
    WriteHistory(*m_pConfig, m_arrSourceTypeHistory, "m_nSourceTypeNum", "/SourceType",
                 MAX_SOURCE_TYPES);
    m_pConfig->SetPath("/");
    m_pConfig->Flush();
}

void Preference::SaveFrameGeometry()
{
    if (!m_pConfig || !m_pFrame)
        return;
    m_pConfig->SetPath("/");
    m_pConfig->Write("m_nPreserveFrameSizePos", m_nPreserveFrameSizePos);
    // A full-screen or iconised window's geometry is not the one the user
    // wants back at the next start: a full-screen one saves the geometry it
    // had before, an iconised one keeps what the store has.
    if (m_nPreserveFrameSizePos <= 0 || m_pFrame->IsIconized())
        return;
    const wxRect rect = m_pFrame->IsFullScreen()
                            ? m_rectNormal
                            : wxRect(m_pFrame->GetPosition(), m_pFrame->GetClientSize());
    if (rect.IsEmpty())
        return;
    m_pConfig->Write("x", rect.x);
    m_pConfig->Write("y", rect.y);
    m_pConfig->Write("w", rect.width);
    m_pConfig->Write("h", rect.height);
}

void Preference::RememberNormalGeometry()
{
    if (m_pFrame && !m_pFrame->IsFullScreen() && !m_pFrame->IsIconized())
        m_rectNormal = wxRect(m_pFrame->GetPosition(), m_pFrame->GetClientSize());
}
