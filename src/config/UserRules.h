#pragma once

#include "config/RulesSaveOutcome.h"

#include <wx/string.h>

class CountingManager;

// The rules file the window reads and writes: a per-user copy of the shipped
// one, so the installed file is never written and every user keeps their own
// edits.

// $XDG_CONFIG_HOME/linecast/conf.xml, ~/.config/linecast/conf.xml without it.
wxString UserRulesPath();

// True when anything is at the path, a broken link or a folder included:
// whatever is there is the user's and is never replaced by a fresh copy.
bool PathIsTaken(const wxString& strPath);

// Makes the per-user copy from the shipped file when nothing is at its path
// yet, all at once (an interrupted copy never leaves half a file). True when
// the path is taken afterwards, by this copy or by what was there before.
bool EnsureUserRules(const wxString& strUserPath, const wxString& strShippedPath);

// Points the manager at the per-user copy, making it first when missing. When
// no copy can be made (no shipped file, a configuration folder that cannot be
// written) the manager reads the shipped file and never writes it back.
void UseUserRules(CountingManager& manager);

// The window's save at its end (CountingManager::SaveRulesAtEnd). A window
// that had to read the shipped file because its copy could not be made saves
// the tables it changed into a copy made now, or says why that failed too:
// the edits are not dropped without a word.
RulesSaveOutcome SaveUserRulesAtEnd(CountingManager& manager);

// What to tell the user when the rules file the manager read is there but
// could not be loaded: its path, the reason, and that nothing will be written
// over it. Empty when the rules loaded, or when no file is at the path (a
// missing file is made anew from the shipped one at the next start).
wxString RefusedRulesMessage(const CountingManager& manager);

// What to tell the user after the rules were saved at the end: where the
// tables went when the rules file had been changed by another window, or why
// and where they could not be written. Empty when there is nothing to tell.
wxString RulesSaveMessage(const RulesSaveOutcome& outcome);
