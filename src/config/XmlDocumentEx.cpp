#include "config/XmlDocumentEx.h"

#include "config/XmlReader.h"
#include "report/OutputFile.h"

#include <string>
#include <unordered_map>
#include <wx/intl.h>
#include <wx/strconv.h>
#include <wx/stream.h>

namespace
{

bool IsXmlChar(wxUniChar::value_type c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Every "&", "<" and ">"; a CR as a character reference, since a parser turns
// a literal one into a line feed; in attribute values also the double quote,
// the tab and the line feed, which a parser would turn into blanks. A
// character XML cannot hold at all (typed into a dialog, never read from a
// file) becomes U+FFFD, so the file always reads back.
void AppendEscaped(wxString& strOut, const wxString& str, bool bAttribute)
{
    for (wxUniChar ch : str)
    {
        switch (ch.GetValue())
        {
        case '<':
            strOut += "&lt;";
            continue;
        case '>':
            strOut += "&gt;";
            continue;
        case '&':
            strOut += "&amp;";
            continue;
        case '\r':
            strOut += "&#13;";
            continue;
        case '"':
            strOut += bAttribute ? "&quot;" : "\"";
            continue;
        case '\t':
            strOut += bAttribute ? "&#9;" : "\t";
            continue;
        case '\n':
            strOut += bAttribute ? "&#10;" : "\n";
            continue;
        default:
            strOut += IsXmlChar(ch.GetValue()) ? ch : wxUniChar(0xFFFD);
        }
    }
}

void AppendBreak(wxString& strOut, int nLevel)
{
    strOut += '\n';
    strOut.append(2 * static_cast<size_t>(nLevel), ' ');
}

void AppendNode(wxString& strOut, const wxXmlNode& node, int nLevel, int nStep)
{
    switch (node.GetType())
    {
    case wxXML_ELEMENT_NODE:
    {
        strOut << '<' << node.GetName();
        for (const wxXmlAttribute* pAttr = node.GetAttributes(); pAttr; pAttr = pAttr->GetNext())
        {
            strOut << ' ' << pAttr->GetName() << "=\"";
            AppendEscaped(strOut, pAttr->GetValue(), true);
            strOut << '"';
        }
        const wxXmlNode* pChild = node.GetChildren();
        if (!pChild)
        {
            strOut << "/>";
            return;
        }
        strOut << '>';
        // An element that holds elements gets one child per line; any other
        // (a value, text with a comment) is written inline, so its text
        // reads back exactly as it was. The reader trims text beside
        // elements, which makes such a layout read back unchanged too.
        bool bIndent = false;
        for (const wxXmlNode* p = pChild; p && nStep >= 0 && !bIndent; p = p->GetNext())
            bIndent = p->GetType() == wxXML_ELEMENT_NODE;
        for (; pChild; pChild = pChild->GetNext())
        {
            if (bIndent)
                AppendBreak(strOut, nLevel + nStep);
            AppendNode(strOut, *pChild, nLevel + nStep, nStep);
        }
        if (bIndent)
            AppendBreak(strOut, nLevel);
        strOut << "</" << node.GetName() << '>';
        return;
    }
    case wxXML_TEXT_NODE:
        AppendEscaped(strOut, node.GetContent(), false);
        return;
    case wxXML_CDATA_SECTION_NODE:
        strOut << "<![CDATA[" << node.GetContent() << "]]>";
        return;
    case wxXML_COMMENT_NODE:
        strOut << "<!--" << node.GetContent() << "-->";
        return;
    default:
        return;
    }
}

// The version as the declaration needs it: "1." and digits, else "1.0".
wxString DeclaredVersion(const wxXmlDocument& doc)
{
    const wxString& strVersion = doc.GetVersion();
    wxString strMinor;
    if (strVersion.StartsWith("1.", &strMinor) && !strMinor.empty() &&
        strMinor.find_first_not_of("0123456789") == wxString::npos)
        return strVersion;
    return "1.0";
}

// An encoding name as XML allows it: a letter, then letters, digits, ".",
// "_" and "-".
bool IsEncodingName(const wxString& strName)
{
    auto isLetter = [](wxUniChar::value_type c)
    { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (strName.empty() || !isLetter(strName[0].GetValue()))
        return false;
    for (wxUniChar ch : strName)
    {
        const wxUniChar::value_type c = ch.GetValue();
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-')
            return false;
    }
    return true;
}

wxString RenderText(const wxXmlDocument& doc, const wxString& strEncoding, int nStep)
{
    const wxString strVersion = DeclaredVersion(doc);
    wxString strOut =
        wxString::Format("<?xml version=\"%s\" encoding=\"%s\"?>\n", strVersion, strEncoding);
    // Comments around the root are the user's too; keep them on lines of
    // their own. Nothing else outside the root is written.
    for (const wxXmlNode* pNode = doc.GetDocumentNode()->GetChildren(); pNode;
         pNode = pNode->GetNext())
    {
        if (pNode->GetType() == wxXML_ELEMENT_NODE || pNode->GetType() == wxXML_COMMENT_NODE)
        {
            AppendNode(strOut, *pNode, 0, nStep);
            strOut += '\n';
        }
    }
    return strOut;
}

// The whole text in the encoding the document declares, written with the
// byte table the reader reads it with. An encoding that has no such table
// (UTF-16, several bytes per character, unknown) or that cannot hold every
// character of the text is replaced by UTF-8, and the declaration says so:
// the file must read back as written.
std::string Render(const wxXmlDocument& doc, int nStep)
{
    const wxString& strEncoding = doc.GetFileEncoding();
    int arrMap[256];
    if (IsEncodingName(strEncoding) && !strEncoding.IsSameAs("UTF-8", false) &&
        XmlReader::SingleByteTable(strEncoding, arrMap))
    {
        std::unordered_map<wxUniChar::value_type, char> bytes;
        for (int i = 255; i >= 0; --i)
        {
            if (arrMap[i] >= 0)
                bytes[static_cast<wxUniChar::value_type>(arrMap[i])] = static_cast<char>(i);
        }
        const wxString strText = RenderText(doc, strEncoding, nStep);
        std::string strOut;
        strOut.reserve(strText.length());
        for (wxUniChar c : strText)
        {
            const auto it = bytes.find(c.GetValue());
            if (it == bytes.end())
                break;
            strOut += it->second;
        }
        if (strOut.size() == strText.length())
            return strOut;
    }
    const wxString strText = RenderText(doc, "UTF-8", nStep);
    const wxScopedCharBuffer utf8 = strText.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

} // namespace

bool wxXmlDocumentEx::Save(const wxString& filename, int indentstep) const
{
    wxString strError;
    return SaveFile(filename, strError, indentstep);
}

bool wxXmlDocumentEx::SaveFile(const wxString& strPath, wxString& strError, int nIndentStep) const
{
    if (!GetRoot())
    {
        strError = _("there is nothing to save");
        return false;
    }
    const std::string strText = Render(*this, nIndentStep);
    // A text the next start would refuse is not written, so the file there
    // stays one that loads. A save can outgrow the reader's limits: values
    // an extension took from the one before it are written out in full.
    {
        wxXmlDocument check;
        if (!XmlReader::Read(strText, check, strError))
            return false;
    }
    // A crash or a full disk leaves the old file as it was, never a truncated
    // one; a linked file stays linked.
    return WriteOutputFile(strPath, strText, strError);
}

bool wxXmlDocumentEx::Save(wxOutputStream& stream, int indentstep) const
{
    if (!GetRoot())
        return false;
    const std::string strText = Render(*this, indentstep);
    stream.Write(strText.data(), strText.size());
    return stream.IsOk() && stream.LastWrite() == strText.size();
}
