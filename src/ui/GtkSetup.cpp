#include "ui/GtkSetup.h"

#include <wx/utils.h>

void PrepareGtk()
{
    if (!wxGetEnv("GDK_GL", nullptr))
        wxSetEnv("GDK_GL", "disable");
}
