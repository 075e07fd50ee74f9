#pragma once

// What GTK is told before it starts, by whoever opens the main window: the
// window draws with Cairo alone, so GTK need not load OpenGL to pick its
// visuals. On a machine without a graphics driver that is Mesa's software
// renderer, which costs some 50 MB of memory and a slower start. A choice the
// user made in the environment (GDK_GL) stands.
void PrepareGtk();
