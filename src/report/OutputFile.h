#pragma once

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
bool WriteOutputFile(const wxString& strPath, const std::string& strBytes, wxString& strError);

// Tells before a long count whether WriteOutputFile can write strPath: false,
// with the reason in strError, for a folder, a missing folder, a folder that
// takes no new files, or a target that cannot be opened for writing. Opens
// nothing that is not a regular file, so a FIFO's reader sees nothing of it.
bool CheckOutputTarget(const wxString& strPath, wxString& strError);
