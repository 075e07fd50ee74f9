#pragma once

#include <string>
#include <wx/string.h>

class Comparison;

// Writes a comparison of two versions as CSV, laid out as the count's export
// (CsvWriter.h): the versions, the total change by kind of line with the
// estimates of the changed code, then one section per folder, extension and
// file. UTF-8, CR LF, written through WriteOutputFile. Returns false when the
// file could not be written, with the reason in strError.
bool WriteChangeCsv(const Comparison& comparison, const wxString& strOld, const wxString& strNew,
                    const wxString& strPath, wxString& strError);

// The CSV text itself; without bHeader it lacks the lines that open an
// export, to follow a count's CSV in one file.
std::string FormatChangeCsv(const Comparison& comparison, const wxString& strOld,
                            const wxString& strNew, bool bHeader = true);
