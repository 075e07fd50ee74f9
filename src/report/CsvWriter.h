#pragma once

#include <string>
#include <wx/string.h>

class CountingManager;

// Writes the current results of a counting manager as the CSV export: the
// totals, then one section per directory, extension and file. The file is
// UTF-8 without a byte-order mark, every line ends with CR LF, and it replaces
// the target only once it has been written completely. Returns false when the
// file could not be written, with the reason in strError; the target is then
// left as it was.
bool WriteResultCsv(const CountingManager& manager, const wxString& strPath, wxString& strError);
bool WriteResultCsv(const CountingManager& manager, const wxString& strPath);

// The CSV text itself, as WriteResultCsv puts it on disk.
std::string FormatResultCsv(const CountingManager& manager);

// One field as CSV readers expect it: enclosed in double quotes, with inner
// double quotes doubled, when it holds a comma, a double quote, a CR or an LF;
// unchanged otherwise. Bytes of a file name that are not UTF-8 are written as
// U+FFFD.
std::string CsvField(const wxString& strField);
