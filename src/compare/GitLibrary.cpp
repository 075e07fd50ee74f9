#include "compare/GitLibrary.h"

#include <git2.h>

namespace
{
struct Library
{
    Library() { git_libgit2_init(); }
    ~Library() { git_libgit2_shutdown(); }
};
} // namespace

void GitLibrary::Use()
{
    static Library library;
}

wxString GitLibrary::LastError(const wxString& strFallback)
{
    const git_error* pError = git_error_last();
    if (!pError || !pError->message || !*pError->message)
        return strFallback;
    wxString str = wxString::FromUTF8(pError->message);
    return str.empty() ? strFallback : str;
}
