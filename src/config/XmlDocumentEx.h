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
};
