#include "cli/CliProgress.h"

#include "engine/CountingManager.h"
#include "engine/NativePath.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
const unsigned g_nCallsPerClockCheck = 64;
const std::chrono::milliseconds g_tmInterval(100);
} // namespace

CliProgress::CliProgress(const CountingManager& manager, std::FILE* pStream)
    : CliProgress(
          [&manager](wxString& strFolder)
          {
              if (!manager.m_arrFileResults.empty())
                  strFolder = manager.m_arrFileResults.back()->m_strFolder;
              return manager.m_arrFileResults.size();
          },
          pStream)
{
}

CliProgress::CliProgress(Status fnStatus, std::FILE* pStream)
    : m_fnStatus(std::move(fnStatus)), m_pStream(pStream),
      m_tmLast(std::chrono::steady_clock::now())
{
}

CliProgress::~CliProgress()
{
    Finish();
}

void CliProgress::HandleOnePendingEvent()
{
    if (!m_pStream || ++m_nCalls % g_nCallsPerClockCheck != 0)
        return;
    const auto tmNow = std::chrono::steady_clock::now();
    if (tmNow - m_tmLast < g_tmInterval)
        return;
    m_tmLast = tmNow;
    Draw();
}

void CliProgress::Draw()
{
    std::size_t nColumns = 80;
    winsize size{};
    if (ioctl(fileno(m_pStream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        nColumns = size.ws_col;

    wxString strLast;
    const std::size_t nFiles = m_fnStatus(strLast);
    const wxScopedCharBuffer buf = NativePath::ToDisplay(strLast).utf8_str();
    const std::string strFolder(buf.data(), buf.length());
    const std::string strLine = "\r" + FormatLine(nFiles, strFolder, nColumns) + "\x1b[K";
    std::fputs(strLine.c_str(), m_pStream);
    std::fflush(m_pStream);
    m_bShown = true;
}

void CliProgress::Finish()
{
    if (m_pStream && m_bShown)
    {
        std::fputs("\r\x1b[K", m_pStream);
        std::fflush(m_pStream);
    }
    m_bShown = false;
}

std::string CliProgress::FormatLine(std::size_t nFiles, const std::string& strFolder,
                                    std::size_t nColumns)
{
    std::string strLine = std::to_string(nFiles) + (nFiles == 1 ? " file" : " files");
    if (strFolder.empty())
        strLine += nFiles ? "" : ", listing folders";
    else
        strLine += "  " + strFolder;

    // One column stays free so the cursor never wraps onto a new line. A long
    // folder keeps its end, the part that changes.
    const std::size_t nMax = nColumns > 1 ? nColumns - 1 : 1;
    auto columns = [](const std::string& str)
    {
        std::size_t n = 0;
        for (char c : str)
            n += (c & 0xC0) != 0x80;
        return n;
    };
    if (columns(strLine) <= nMax)
        return strLine;
    const std::string strHead =
        std::to_string(nFiles) + (nFiles == 1 ? " file" : " files") + "  ...";
    if (columns(strHead) >= nMax)
        return strHead.substr(0, nMax);
    std::size_t nKeep = nMax - columns(strHead);
    // Walk back over whole UTF-8 characters.
    std::size_t nPos = strFolder.size();
    while (nPos > 0 && nKeep > 0)
    {
        --nPos;
        if ((strFolder[nPos] & 0xC0) != 0x80)
            --nKeep;
    }
    return strHead + strFolder.substr(nPos);
}
