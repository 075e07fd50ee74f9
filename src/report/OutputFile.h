#pragma once

#include <string>
#include <wx/string.h>

// Writes a whole export file (CSV, HTML) to the path the user named. The bytes
// go to a temporary file beside the target, which then takes the target's
// place with the target's permissions, so a failed or interrupted write never
// leaves a half-written file in place of a good one. Returns false when the
// file could not be written, with the reason in strError; the target is then
// left as it was.
bool WriteOutputFile(const wxString& strPath, const std::string& strBytes, wxString& strError);
