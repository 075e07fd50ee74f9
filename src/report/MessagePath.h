#pragma once

#include <cstddef>
#include <wx/string.h>

// A path as a message box shows it: as text (NativePath::ToDisplay), broken
// into lines of at most nWidth characters, after a "/" where there is one in
// the second half of the line. A message box wraps its text between words
// only, so a long path unbroken would make it wider than the screen.
constexpr std::size_t MESSAGE_PATH_WIDTH = 60;
wxString PathForMessage(const wxString& strPath, std::size_t nWidth = MESSAGE_PATH_WIDTH);
