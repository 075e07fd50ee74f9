#include "cli/CliApp.h"

#include <clocale>
#include <cstdio>
#include <iostream>
#include <unistd.h>
#include <wx/init.h>

// linecast-cli: counts folders from the command line with the same engine and
// rules file as the window program.
int main(int argc, char** argv)
{
    // File names and arguments in the user's character set.
    std::setlocale(LC_CTYPE, "");
    wxInitializer init;
    if (!init.IsOk())
    {
        std::cerr << "linecast-cli: cannot initialise wxWidgets" << std::endl;
        return 1;
    }

    std::vector<wxString> arrArgs;
    for (int i = 1; i < argc; ++i)
    {
        wxString strArg(argv[i]);
        // Bytes that do not decode in the user's character set: try UTF-8, the
        // usual encoding of file names.
        if (strArg.empty() && argv[i][0] != '\0')
            strArg = wxString::FromUTF8(argv[i]);
        arrArgs.push_back(strArg);
    }

    CliApp app(std::cout, std::cerr);
    if (isatty(fileno(stderr)))
        app.SetProgressStream(stderr);
    return app.Run(arrArgs);
}
