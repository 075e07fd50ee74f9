#pragma once

#include <wx/string.h>

// Where the program's read-only data lives (the shipped rules file, img/,
// locales/, the report templates): beside the executable in the build's
// program folder, else in <prefix>/share/linecast after an install. Never the
// working folder, so a launcher or a terminal anywhere finds the same files.

// A file or folder below the data folder, for instance
// DataFilePath("img/About_s16_01.png") or DataFilePath("conf/report_tpl.html").
wxString DataFilePath(const wxString& strRelative);

// The data folder of this program, found once from its executable's folder.
wxString DataDir();

// The data folder of a program whose executable lies in strProgramDir: that
// folder itself when it holds conf/conf.xml (the build's program folder),
// else the share/linecast folder of the installed layout beside its bin/.
wxString DataDirFor(const wxString& strProgramDir);

// The folder of the running executable, symbolic links resolved.
wxString ExecutableDir();

// The tests run from outside the program folder: they name the data folder
// (the build's program folder) here. An empty name goes back to the search.
void SetDataDir(const wxString& strDir);
