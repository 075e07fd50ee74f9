#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <wx/string.h>

// Writes a whole export file (CSV, HTML) to the path the user named. What
// happens depends on what is there:
// - a regular file, or nothing yet: the bytes go to a temporary file beside
//   it, which then takes its place with the old file's permissions, so a
//   failed or interrupted write never leaves a half-written file in place of
//   a good one;
// - a symbolic link: the file it names is written by these same rules, and
//   the link stays a link;
// - a device, a FIFO or anything else that is not a regular file: the bytes
//   are written into it in place. It is never replaced, so an export to
//   /dev/null leaves /dev/null as it was.
// Returns false when the file could not be written, with the reason in
// strError; the target is then left as it was.
//
// How long a write in place may wait for the program at the other end of a
// FIFO (or of a terminal): as long as it takes, as a shell's redirection
// would, or never for a reader to appear and only briefly for one that stops
// reading, so that a window cannot freeze on its export.
enum class OutputWait
{
    AsLongAsItTakes,
    Briefly,
};
// Lets another thread follow a write (the bytes written so far) and cancel
// it: the write then ends within a fraction of a second and fails, leaving a
// file it was to replace as it was.
struct OutputProgress
{
    std::atomic<bool> bCancel{false};
    std::atomic<std::uint64_t> nWritten{0};
};

bool WriteOutputFile(const wxString& strPath, const std::string& strBytes, wxString& strError,
                     OutputWait wait = OutputWait::AsLongAsItTakes,
                     OutputProgress* pProgress = nullptr);

// With OutputWait::Briefly, the longest a write waits for its reader to take
// more bytes before it fails.
constexpr int OUTPUT_STALL_LIMIT_MS = 2000;

// Tells before a long count whether WriteOutputFile can write strPath: false,
// with the reason in strError, for a folder, a missing folder, a folder that
// takes no new files, or a target that cannot be opened for writing. Opens
// nothing that is not a regular file, so a FIFO's reader sees nothing of it.
bool CheckOutputTarget(const wxString& strPath, wxString& strError);
