#include "cli/CliApp.h"
#include "engine/NativePath.h"

#include <clocale>
#include <cstdio>
#include <iostream>
#include <unistd.h>
#include <wx/init.h>

// linecast-cli: counts folders from the command line with the same engine and
// rules file as the window program.
int main(int argc, char** argv)
{
    // The terminal's character set for anything the libraries print.
    std::setlocale(LC_CTYPE, "");
    wxInitializer init;
    if (!init.IsOk())
    {
        std::cerr << "linecast-cli: cannot initialise wxWidgets" << std::endl;
        return 1;
    }

    // Arguments are mostly file names, and those are bytes: read them so that
    // each one names the same file again, whatever it holds.
    std::vector<wxString> arrArgs;
    for (int i = 1; i < argc; ++i)
        arrArgs.push_back(NativePath::FromBytes(argv[i]));

    CliApp app(std::cout, std::cerr);
    if (isatty(fileno(stderr)))
        app.SetProgressStream(stderr);
    return app.Run(arrArgs);
}
