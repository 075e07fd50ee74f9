#include "config/XmlReader.h"

#include <cstring>
#include <expat.h>
#include <memory>
#include <type_traits>
#include <vector>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/strconv.h>
#include <wx/xml/xml.h>

namespace
{

wxString FromUtf8(const char* psz)
{
    return psz ? wxString::FromUTF8(psz) : wxString();
}

// Builds the tree from expat's events. Children are linked behind the last
// one directly: appending through wxXmlNode::AddChild walks every sibling and
// would make a wide element quadratic; text is gathered here and stored once
// for the same reason.
class Builder
{
public:
    explicit Builder(XML_Parser parser)
        : m_parser(parser), m_pDocument(std::make_unique<wxXmlNode>(wxXML_DOCUMENT_NODE, ""))
    {
        m_arrOpen.push_back(Open{m_pDocument.get()});
    }

    // Expat may still report what it has already read after a refusal;
    // nothing more is built then.
    bool Stopped() const { return !m_strError.empty(); }

    void OnDeclaration(const char* pszVersion, const char* pszEncoding)
    {
        m_strVersion = FromUtf8(pszVersion);
        m_strEncoding = FromUtf8(pszEncoding);
    }

    void OnStart(const char* pszName, const char** ppAttributes)
    {
        if (Stopped())
            return;
        FlushText();
        if (static_cast<int>(m_arrOpen.size()) > XmlReader::MAX_DEPTH)
            return Refuse(
                wxString::Format(_("it nests elements more than %d deep"), XmlReader::MAX_DEPTH));
        auto pElement = std::make_unique<wxXmlNode>(wxXML_ELEMENT_NODE, FromUtf8(pszName));
        wxXmlAttribute* pLast = nullptr;
        for (const char** pp = ppAttributes; *pp; pp += 2)
        {
            if (!CheckTextSize(std::strlen(pp[1])) || !CountNode())
                return;
            auto* pAttribute = new wxXmlAttribute(FromUtf8(pp[0]), FromUtf8(pp[1]));
            if (pLast)
                pLast->SetNext(pAttribute);
            else
                pElement->SetAttributes(pAttribute);
            pLast = pAttribute;
        }
        m_arrOpen.back().bElementChild = true;
        wxXmlNode* pNode = pElement.get();
        if (Append(pElement.release()))
            m_arrOpen.push_back(Open{pNode});
    }

    void OnEnd()
    {
        if (Stopped())
            return;
        FlushText();
        const Open open = m_arrOpen.back();
        m_arrOpen.pop_back();
        if (open.bElementChild && open.bText)
            TrimLayout(*open.pNode);
    }

    void OnText(const char* p, int nLen)
    {
        // Only whitespace comes outside the root, and it is layout.
        if (Stopped() || m_arrOpen.size() < 2)
            return;
        if (CheckTextSize(m_strText.size() + static_cast<std::size_t>(nLen)))
            m_strText.append(p, static_cast<std::size_t>(nLen));
    }

    void OnCdataStart()
    {
        if (!Stopped())
            FlushText();
    }
    void OnCdataEnd()
    {
        if (Stopped())
            return;
        Append(new wxXmlNode(wxXML_CDATA_SECTION_NODE, "", wxString::FromUTF8(m_strText)));
        m_strText.clear();
    }

    void OnComment(const char* pszText)
    {
        if (Stopped())
            return;
        FlushText();
        Append(new wxXmlNode(wxXML_COMMENT_NODE, "comment", FromUtf8(pszText)));
    }

    void Refuse(const wxString& strReason)
    {
        if (m_strError.empty())
            m_strError = strReason;
        XML_StopParser(m_parser, XML_FALSE);
    }

    XML_Parser m_parser;
    std::unique_ptr<wxXmlNode> m_pDocument;
    wxString m_strVersion;
    wxString m_strEncoding;
    wxString m_strError;

private:
    struct Open
    {
        wxXmlNode* pNode;
        wxXmlNode* pLastChild = nullptr;
        bool bElementChild = false;
        bool bText = false;
    };

    bool CheckTextSize(std::size_t nSize)
    {
        if (nSize <= XmlReader::MAX_TEXT_SIZE)
            return true;
        Refuse(wxString::Format(_("it holds a text longer than %d KiB (line %lu)"),
                                int(XmlReader::MAX_TEXT_SIZE / 1024),
                                static_cast<unsigned long>(XML_GetCurrentLineNumber(m_parser))));
        return false;
    }

    // Every node costs time and memory to build and free; a file of nothing
    // but empty elements must not take seconds to load.
    bool CountNode()
    {
        if (++m_nNodes <= XmlReader::MAX_NODES)
            return true;
        Refuse(wxString::Format(_("it has more than %d elements, attributes, texts and comments"),
                                int(XmlReader::MAX_NODES)));
        return false;
    }

    // Links a new node behind the last child of the open element; false
    // (the node freed) when it is one too many.
    bool Append(wxXmlNode* pNode)
    {
        if (!CountNode())
        {
            delete pNode;
            return false;
        }
        Open& open = m_arrOpen.back();
        if (open.pLastChild)
            open.pNode->InsertChildAfter(pNode, open.pLastChild);
        else
            open.pNode->AddChild(pNode);
        open.pLastChild = pNode;
        return true;
    }

    void FlushText()
    {
        if (m_strText.empty())
            return;
        // Layout between elements: TrimLayout would drop it at the end.
        if (m_arrOpen.back().bElementChild &&
            m_strText.find_first_not_of(" \t\r\n") == std::string::npos)
        {
            m_strText.clear();
            return;
        }
        Append(new wxXmlNode(wxXML_TEXT_NODE, "", wxString::FromUTF8(m_strText)));
        m_arrOpen.back().bText = true;
        m_strText.clear();
    }

    // In an element that holds elements, text is trimmed of the line breaks
    // and indentation around it, and text of only those goes: that is how the
    // writer lays such an element out, so a saved file reads back unchanged.
    static void TrimLayout(wxXmlNode& parent)
    {
        const char* const pszSpace = " \t\r\n";
        wxXmlNode* pPrevious = nullptr;
        for (wxXmlNode* pChild = parent.GetChildren(); pChild;)
        {
            wxXmlNode* pNext = pChild->GetNext();
            if (pChild->GetType() == wxXML_TEXT_NODE)
            {
                const wxString& strText = pChild->GetContent();
                const size_t nBegin = strText.find_first_not_of(pszSpace);
                if (nBegin == wxString::npos)
                {
                    if (pPrevious)
                        pPrevious->SetNext(pNext);
                    else
                        parent.SetChildren(pNext);
                    pChild->SetNext(nullptr);
                    delete pChild;
                    pChild = pNext;
                    continue;
                }
                const size_t nEnd = strText.find_last_not_of(pszSpace);
                if (nBegin != 0 || nEnd + 1 != strText.length())
                    pChild->SetContent(strText.substr(nBegin, nEnd + 1 - nBegin));
            }
            pPrevious = pChild;
            pChild = pNext;
        }
    }

    std::vector<Open> m_arrOpen;
    std::string m_strText;
    std::size_t m_nNodes = 0;
};

Builder& From(void* pData)
{
    return *static_cast<Builder*>(pData);
}

void XMLCALL OnDeclaration(void* pData, const XML_Char* pszVersion, const XML_Char* pszEncoding,
                           int)
{
    From(pData).OnDeclaration(pszVersion, pszEncoding);
}

void XMLCALL OnStart(void* pData, const XML_Char* pszName, const XML_Char** ppAttributes)
{
    From(pData).OnStart(pszName, ppAttributes);
}

void XMLCALL OnEnd(void* pData, const XML_Char*)
{
    From(pData).OnEnd();
}

void XMLCALL OnText(void* pData, const XML_Char* p, int nLen)
{
    From(pData).OnText(p, nLen);
}

void XMLCALL OnCdataStart(void* pData)
{
    From(pData).OnCdataStart();
}

void XMLCALL OnCdataEnd(void* pData)
{
    From(pData).OnCdataEnd();
}

void XMLCALL OnComment(void* pData, const XML_Char* pszText)
{
    From(pData).OnComment(pszText);
}

// A rules file never needs entities; declaring them is how an expansion bomb
// starts.
void XMLCALL OnEntityDeclaration(void* pData, const XML_Char*, int, const XML_Char*, int,
                                 const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    From(pData).Refuse(_("it declares entities"));
}

// Expat itself knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII; other
// single-byte encodings are read through the same table the writer uses.
int XMLCALL OnUnknownEncoding(void*, const XML_Char* pszName, XML_Encoding* pInfo)
{
    if (!XmlReader::SingleByteTable(FromUtf8(pszName), pInfo->map))
        return XML_STATUS_ERROR;
    pInfo->data = nullptr;
    pInfo->convert = nullptr;
    pInfo->release = nullptr;
    return XML_STATUS_OK;
}

} // namespace

bool XmlReader::Read(const std::string& strBytes, wxXmlDocument& doc, wxString& strError)
{
    if (strBytes.size() > MAX_FILE_SIZE)
    {
        strError = wxString::Format(_("it is larger than %d MiB"), int(MAX_FILE_SIZE >> 20));
        return false;
    }
    const std::unique_ptr<std::remove_pointer_t<XML_Parser>, void (*)(XML_Parser)> parser(
        XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser)
    {
        strError = _("out of memory");
        return false;
    }
    Builder builder(parser.get());
    XML_SetUserData(parser.get(), &builder);
    XML_SetXmlDeclHandler(parser.get(), OnDeclaration);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetCdataSectionHandler(parser.get(), OnCdataStart, OnCdataEnd);
    XML_SetCommentHandler(parser.get(), OnComment);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDeclaration);
    XML_SetUnknownEncodingHandler(parser.get(), OnUnknownEncoding, nullptr);

    const XML_Status status =
        XML_Parse(parser.get(), strBytes.data(), static_cast<int>(strBytes.size()), XML_TRUE);
    if (!builder.m_strError.empty())
    {
        strError = builder.m_strError;
        return false;
    }
    if (status != XML_STATUS_OK)
    {
        strError =
            wxString::Format(_("it is not well-formed XML (line %lu: %s)"),
                             static_cast<unsigned long>(XML_GetCurrentLineNumber(parser.get())),
                             FromUtf8(XML_ErrorString(XML_GetErrorCode(parser.get()))));
        return false;
    }

    doc.SetDocumentNode(builder.m_pDocument.release());
    // Without a declaration the file is XML 1.0 in UTF-8 (or UTF-16 with a
    // byte-order mark, which the writer does not keep).
    doc.SetVersion(builder.m_strVersion.empty() ? wxString("1.0") : builder.m_strVersion);
    doc.SetFileEncoding(builder.m_strEncoding.empty() ? wxString("UTF-8") : builder.m_strEncoding);
    return true;
}

bool XmlReader::SingleByteTable(const wxString& strEncoding, int (&arrMap)[256])
{
    // The two expat reads by itself, as it reads them.
    const bool bAscii = strEncoding.IsSameAs("US-ASCII", false);
    if (bAscii || strEncoding.IsSameAs("ISO-8859-1", false))
    {
        for (int i = 0; i < 256; ++i)
            arrMap[i] = bAscii && i >= 0x80 ? -1 : i;
        return true;
    }
    wxLogNull noLog;
    const wxCSConv conv(strEncoding);
    if (!conv.IsOk())
        return false;
    for (int i = 0; i < 256; ++i)
    {
        const char c = static_cast<char>(i);
        wchar_t wc[2];
        arrMap[i] = conv.ToWChar(wc, 2, &c, 1) == 1 ? static_cast<int>(wc[0]) : -1;
        // Markup must read as it does in ASCII.
        if (i < 0x80 && arrMap[i] != i)
            return false;
        // Not a character XML can hold.
        if (arrMap[i] >= 0xD800 && (arrMap[i] < 0xE000 || arrMap[i] > 0xFFFD))
            arrMap[i] = -1;
    }
    return true;
}
