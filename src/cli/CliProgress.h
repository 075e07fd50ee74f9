#pragma once

#include "engine/MessagePump.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <wx/string.h>

class CountingManager;

// The progress line of linecast-cli: files counted so far and the folder being
// counted, redrawn in place on a terminal at most ten times a second. The run
// calls the pump before every file, so it looks at the clock only every few
// calls and costs next to nothing in between.
class CliProgress : public MessagePump
{
public:
    // How far the run is: the files done so far, and the folder of the last.
    using Status = std::function<std::size_t(wxString& strFolder)>;

    // pStream null: show nothing (standard error is not a terminal).
    CliProgress(const CountingManager& manager, std::FILE* pStream);
    CliProgress(Status fnStatus, std::FILE* pStream);
    ~CliProgress() override;

    void HandleOnePendingEvent() override;
    // Removes the line, so the report starts on a clean line.
    void Finish();

    // The line for a count and a folder, cut to fit nColumns.
    static std::string FormatLine(std::size_t nFiles, const std::string& strFolder,
                                  std::size_t nColumns);

private:
    void Draw();

    Status m_fnStatus;
    std::FILE* m_pStream;
    unsigned m_nCalls = 0;
    bool m_bShown = false;
    std::chrono::steady_clock::time_point m_tmLast;
};
