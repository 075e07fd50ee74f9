#pragma once

#include <string>
#include <wx/string.h>

class AnalysisParam;
class CountingManager;

// Writes the results of a count as one JSON object, for scripts and pipelines:
// the analysis parameters, the total, every file, folder and extension, the
// phase estimates and what was skipped, with the same numbers as the CSV
// export. Counts are integers; estimates are numbers rounded to two decimals
// exactly as the CSV writes them. Names are UTF-8 text; a path whose bytes are
// not UTF-8 is written with U+FFFD in their place and, beside it, its exact
// bytes in base64 ("path_bytes", "folder_bytes"). The file is UTF-8 and
// replaces the target only once it has been written completely. Returns false
// when the file could not be written, with the reason in strError.
bool WriteResultJson(const CountingManager& manager, const AnalysisParam& param,
                     const wxString& strPath, wxString& strError);

// The JSON text itself, as WriteResultJson puts it on disk (ending in a line
// feed).
std::string FormatResultJson(const CountingManager& manager, const AnalysisParam& param);
