#pragma once

#include "compare/VersionSource.h"

#include <memory>
#include <wx/arrstr.h>

// The versions of a comparison as the user names them: "git:REV" for a
// revision of a git repository (REV as git itself reads it: a tag, a branch,
// a commit, "HEAD~3", "v6.0:drivers"), anything else a folder. A folder whose
// name starts with "git:" is named as "./git:...".
namespace VersionSpec
{
// Whether strSpec names a revision, and which.
bool IsRevision(const wxString& strSpec, wxString* pRevision = nullptr);

// Opens both versions; folders must be given as absolute, normalised paths.
// The repository of a revision is the one at or above strRepository when
// given, else the one a compared folder lies in (the new version's, else the
// old one's), else the one the working folder lies in. A revision of the
// repository that holds a compared folder is rooted at that folder's place
// in it, so that a working folder pairs with its own files in HEAD, and that
// folder leaves out the files git ignores there (it borrows the revision for
// that: the two versions go together). False, with a message in strError,
// when a revision cannot be opened.
bool Open(const wxString& strOld, const wxString& strNew, const wxString& strRepository,
          std::unique_ptr<VersionSource>& pOld, std::unique_ptr<VersionSource>& pNew,
          wxString& strError);

// The folders of a count as one version: strRoot the deepest folder that
// holds every one of arrDirs (absolute, normalised), arrFolders each of them
// below it ("" for strRoot itself), in their order.
void SplitFolders(const wxArrayString& arrDirs, wxString& strRoot,
                  std::vector<std::string>& arrFolders);
} // namespace VersionSpec
