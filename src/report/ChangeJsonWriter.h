#pragma once

#include <string>
#include <wx/string.h>

class AnalysisParam;
class Comparison;

// Writes a comparison of two versions as one JSON object, for scripts: the
// versions, the total, every folder, extension and file with its status
// ("added", "removed", "modified" or "same"), "lines_added" and
// "lines_removed" (all kinds together, as a line diff counts them), the same,
// modified, added and removed lines of each kind, and the estimates of the
// changed code. Paths are below the compared folders; one whose bytes are not
// UTF-8 is written with U+FFFD in their place and its exact bytes in base64
// beside it ("path_bytes"). Returns false when the file could not be written,
// with the reason in strError.
bool WriteChangeJson(const Comparison& comparison, const wxString& strOld, const wxString& strNew,
                     const AnalysisParam& param, const wxString& strPath, wxString& strError);

// The JSON text itself (ending in a line feed).
std::string FormatChangeJson(const Comparison& comparison, const wxString& strOld,
                             const wxString& strNew, const AnalysisParam& param);
