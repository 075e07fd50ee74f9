#pragma once

#include <wx/xml/xml.h>

class wxOutputStream;

// The rules document. Its writer produces the exact text form of the rules
// file: two spaces per level, values inline and escaped so that they read back
// exactly (XmlReader reads it). Saving what was read gives the same bytes
// again.
class wxXmlDocumentEx : public wxXmlDocument
{
public:
    using wxXmlDocument::wxXmlDocument;

    bool Save(const wxString& filename, int indentstep = 2) const override;
    bool Save(wxOutputStream& stream, int indentstep = 2) const override;
    // Save to a file, with the reason in strError when it fails: the file is
    // replaced whole (through a symbolic link, the file it names), or left as
    // it was.
    bool SaveFile(const wxString& strPath, wxString& strError, int nIndentStep = 2) const;
};
