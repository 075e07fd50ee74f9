#include "config/XmlDocumentEx.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <wx/file.h>
#include <wx/log.h>
#include <wx/strconv.h>
#include <wx/stream.h>
#include <wx/utils.h>
#include <wx/wfstream.h>

namespace fs = std::filesystem;

namespace
{

// "<" and ">" always; a double quote only inside attribute values. An
// ampersand that already begins "&amp;" is left alone so that a value saved
// again and again does not grow a new "amp;" each time.
void AppendEscaped(wxString& strOut, const wxString& str, bool bEscapeQuotes)
{
    const size_t nLen = str.length();
    for (size_t i = 0; i < nLen; ++i)
    {
        const wxUniChar ch = str[i];
        if (ch == '<')
            strOut += "&lt;";
        else if (ch == '>')
            strOut += "&gt;";
        else if (ch == '&')
            strOut += str.compare(i + 1, 4, "amp;") == 0 ? "&" : "&amp;";
        else if (ch == '"' && bEscapeQuotes)
            strOut += "&quot;";
        else
            strOut += ch;
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
        const bool bIndent = nStep >= 0;
        const int nChildLevel = bIndent ? nLevel + nStep : nLevel;
        const wxXmlNode* pLast = nullptr;
        for (; pChild; pChild = pChild->GetNext())
        {
            // Text stays inline, so a value reads back exactly as it was.
            if (bIndent && pChild->GetType() != wxXML_TEXT_NODE)
                AppendBreak(strOut, nChildLevel);
            AppendNode(strOut, *pChild, nChildLevel, nStep);
            pLast = pChild;
        }
        if (bIndent && pLast->GetType() != wxXML_TEXT_NODE)
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

wxString RenderText(const wxXmlDocument& doc, const wxString& strEncoding, int nStep)
{
    const wxString strVersion = doc.GetVersion().empty() ? wxString("1.0") : doc.GetVersion();
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

// The whole text in the encoding the document declares. An encoding that is
// unknown here, that is not a superset of ASCII (the markup must stay
// readable) or that cannot hold every character of the text is replaced by
// UTF-8, and the declaration says so: the file must read back as written.
std::string Render(const wxXmlDocument& doc, int nStep)
{
    const wxString& strEncoding = doc.GetFileEncoding();
    if (!strEncoding.empty() && !strEncoding.IsSameAs("UTF-8", false))
    {
        wxLogNull noLog;
        const wxCSConv conv(strEncoding);
        const wchar_t szProbe[] = L"<?xml";
        size_t nLen = 0;
        const wxCharBuffer probe = conv.IsOk() ? conv.cWC2MB(szProbe, 5, &nLen) : wxCharBuffer();
        if (nLen == 5 && std::string(probe.data(), nLen) == "<?xml")
        {
            const wxString strText = RenderText(doc, strEncoding, nStep);
            const wxCharBuffer buf = conv.cWC2MB(strText.wc_str(), strText.length(), &nLen);
            if (nLen != 0 && nLen != wxCONV_FAILED)
                return std::string(buf.data(), nLen);
        }
    }
    const wxString strText = RenderText(doc, "UTF-8", nStep);
    const wxScopedCharBuffer utf8 = strText.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// The file that a save replaces: the target of a symbolic link rather than
// the link, so a linked rules file stays linked.
wxString ResolveTarget(const wxString& strPath)
{
    std::error_code ec;
    const fs::path path(std::string(strPath.fn_str()));
    if (!fs::is_symlink(path, ec))
        return strPath;
    const fs::path target = fs::canonical(path, ec);
    return ec ? strPath : wxString(target.string().c_str(), *wxConvFileName);
}

} // namespace

bool wxXmlDocumentEx::Save(const wxString& filename, int indentstep) const
{
    if (!GetRoot())
        return false;

    // The text goes to a file beside the target first and replaces the target
    // only once all of it is on disk: a crash or a full disk leaves the old
    // file as it was, never a truncated one.
    wxLogNull noLog;
    const wxString strTarget = ResolveTarget(filename);
    const wxString strTemp =
        wxString::Format("%s.%lu.tmp", strTarget, static_cast<unsigned long>(wxGetProcessId()));

    bool bOk = false;
    {
        wxFile file;
        if (!file.Create(strTemp, true, wxS_DEFAULT))
            return false;
        std::error_code ec;
        const fs::path target(std::string(strTarget.fn_str()));
        const fs::file_status status = fs::status(target, ec);
        if (!ec && fs::is_regular_file(status))
            fs::permissions(std::string(strTemp.fn_str()), status.permissions(), ec);

        wxFileOutputStream stream(file);
        bOk = stream.IsOk() && Save(stream, indentstep);
        bOk = bOk && file.Flush(); // to the disk, not only to the cache
        bOk = file.Close() && bOk;
    }
    if (bOk)
        bOk = wxRenameFile(strTemp, strTarget, true);
    if (!bOk)
        wxRemoveFile(strTemp);
    return bOk;
}

bool wxXmlDocumentEx::Save(wxOutputStream& stream, int indentstep) const
{
    if (!GetRoot())
        return false;
    const std::string strText = Render(*this, indentstep);
    stream.Write(strText.data(), strText.size());
    return stream.IsOk() && stream.LastWrite() == strText.size();
}
