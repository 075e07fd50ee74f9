#pragma once

#include <cstddef>
#include <string>
#include <wx/string.h>

class wxXmlDocument;

// Reads the rules document from a file's bytes, as the counterpart of
// wxXmlDocumentEx's writer: whatever it writes reads back as the same tree.
// Text inside an element that holds other elements is layout and is trimmed;
// the text of an element without child elements (a value) is kept exactly,
// blanks and line ends included. The declaration's version and encoding are
// taken as parsed.
//
// Reading takes time and memory in proportion to the file and its nodes: a
// file, a text or a number of nodes over the limits below, entity
// declarations (an entity-expansion bomb) and absurd nesting (the tree is
// freed recursively) are refused; the largest file accepted loads in a small
// fraction of a second. The shipped rules file has about 3,500 nodes.
class XmlReader
{
public:
    static constexpr std::size_t MAX_FILE_SIZE = 16 * 1024 * 1024;
    static constexpr std::size_t MAX_TEXT_SIZE = 64 * 1024;
    static constexpr int MAX_DEPTH = 256;
    // Elements, attributes, texts and comments together.
    static constexpr std::size_t MAX_NODES = 200000;

    // Fills doc from the bytes of a whole file. On failure doc is left as it
    // was and strError says why in one line.
    static bool Read(const std::string& strBytes, wxXmlDocument& doc, wxString& strError);

    // What each byte stands for in a single-byte encoding that keeps ASCII as
    // it is (-1: no character), as the reader reads it; false for any other
    // encoding. The writer encodes with the same table.
    static bool SingleByteTable(const wxString& strEncoding, int (&arrMap)[256]);
};
