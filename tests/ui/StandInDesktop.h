#pragma once

// The desktop the window tests run on, set up before the toolkit starts: GIO
// finds no application but one stand-in, which "opens" files, folders and web
// pages by writing down what it was given, and there is no session bus. So
// opening is checked to the byte, and no test ever starts a real program on
// the developer's desktop.
#include "TempDir.h"

#include <wx/arrstr.h>

#include <functional>
#include <string>

namespace stand_in_desktop
{
// Handles events (GIO's answers arrive as some) until fnDone says so or
// nMaxWaitMs have passed; what fnDone says last.
bool HandleEventsUntil(const std::function<bool()>& fnDone, long nMaxWaitMs);

// Once, before anything reads the XDG folders; dir outlives the tests.
void Install(const TempDir& dir);

// What the stand-in was given since the last call, one argument an entry,
// each decoded as NativePath decodes names (so bytes that are not UTF-8
// compare equal to the path they came from); empty when it has not run within
// nWaitMs. Events are handled meanwhile.
wxArrayString TakeOpened(long nWaitMs = 5000);

// While one lives, GIO finds no application to open anything with.
class NoApplications
{
public:
    NoApplications();
    ~NoApplications();
    NoApplications(const NoApplications&) = delete;
    NoApplications& operator=(const NoApplications&) = delete;
};
} // namespace stand_in_desktop
