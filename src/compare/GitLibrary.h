#pragma once

#include <wx/string.h>

// libgit2, set up once for as long as the program runs, and its messages.
namespace GitLibrary
{
// Before the first call into libgit2; any thread may call it.
void Use();
// The message of the last libgit2 call that failed on this thread, or
// strFallback when it left none.
wxString LastError(const wxString& strFallback);
} // namespace GitLibrary
