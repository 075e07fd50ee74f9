#pragma once

#include "engine/CountingManager.h"

#include <wx/arrstr.h>
#include <wx/string.h>

// The source type text the main window shows (".c;.h;") and the selection
// flags the counting run goes by, kept in step; and the box's history of
// earlier choices.

// The extensions a source type text names, lower-cased as the run looks them
// up, in order, without blank pieces.
wxArrayString SplitSourceTypes(const wxString& strText);

// Selects exactly the file types the text names, so what the window shows is
// what a run counts. Names the table does not know select nothing.
void SelectSourceTypes(ExtensionTable& table, const wxString& strText);

// Puts a choice at the front of the history, drops an older copy of it and
// keeps at most nMax entries. An empty choice is not kept.
void RememberSourceTypes(wxArrayString& arrHistory, const wxString& strText, size_t nMax);
