// The rules file: loading it into the rule and file type tables of the
// counting manager, and writing the tables back at the end.

#include "config/XmlDocumentEx.h"
#include "engine/CountingManager.h"

#include <algorithm>
#include <expat.h>
#include <memory>
#include <string>
#include <vector>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

namespace
{

// Far deeper than any rules file; deeper documents are refused before the
// document is built, since its nodes are freed recursively.
constexpr int kMaxDepth = 256;

enum class Scan
{
    Safe,
    Refused,
    UnknownEncoding,
};

struct ScanState
{
    XML_Parser parser = nullptr;
    int nDepth = 0;
    bool bRefused = false;
};

void Refuse(ScanState& state)
{
    state.bRefused = true;
    XML_StopParser(state.parser, XML_FALSE);
}

void XMLCALL OnEntityDecl(void* pData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                          const XML_Char*, const XML_Char*, const XML_Char*)
{
    Refuse(*static_cast<ScanState*>(pData));
}

void XMLCALL OnStartElement(void* pData, const XML_Char*, const XML_Char**)
{
    ScanState& state = *static_cast<ScanState*>(pData);
    if (++state.nDepth > kMaxDepth)
        Refuse(state);
}

void XMLCALL OnEndElement(void* pData, const XML_Char*)
{
    --static_cast<ScanState*>(pData)->nDepth;
}

// Looks for what a rules file never needs and what could make parsing it
// expensive: entity declarations (an entity-expansion bomb would otherwise be
// expanded, or its references silently dropped) and absurd nesting. Other
// errors are left to the document parser, which refuses the file itself.
Scan ScanDocument(const std::string& strBytes, const XML_Char* pszEncoding)
{
    ScanState state;
    state.parser = XML_ParserCreate(pszEncoding);
    if (!state.parser)
        return Scan::Refused;
    XML_SetUserData(state.parser, &state);
    XML_SetEntityDeclHandler(state.parser, OnEntityDecl);
    XML_SetElementHandler(state.parser, OnStartElement, OnEndElement);

    Scan result = Scan::Safe;
    constexpr size_t kChunk = 1 << 20;
    size_t nPos = 0;
    do
    {
        const size_t nLen = std::min(kChunk, strBytes.size() - nPos);
        const bool bFinal = nPos + nLen == strBytes.size();
        if (XML_Parse(state.parser, strBytes.data() + nPos, static_cast<int>(nLen), bFinal) !=
            XML_STATUS_OK)
        {
            if (XML_GetErrorCode(state.parser) == XML_ERROR_UNKNOWN_ENCODING)
                result = Scan::UnknownEncoding;
            break;
        }
        nPos += nLen;
    } while (nPos < strBytes.size());

    if (state.bRefused)
        result = Scan::Refused;
    XML_ParserFree(state.parser);
    return result;
}

bool IsSafeToParse(const std::string& strBytes)
{
    Scan scan = ScanDocument(strBytes, nullptr);
    // The document parser knows more 8-bit encodings than this scan; every
    // one of them keeps ASCII markup as it is, so Latin-1 finds the same
    // declarations.
    if (scan == Scan::UnknownEncoding)
        scan = ScanDocument(strBytes, "ISO-8859-1");
    return scan != Scan::Refused;
}

// Regular files only: a FIFO at the path would block the start for good.
bool ReadWholeFile(const wxString& strPath, std::string& strBytes)
{
    if (!wxFileName::FileExists(strPath))
        return false;
    wxFile file;
    if (!file.Open(strPath))
        return false;
    char buf[64 * 1024];
    for (;;)
    {
        const ssize_t nRead = file.Read(buf, sizeof(buf));
        if (nRead == wxInvalidOffset)
            return false;
        if (nRead == 0)
            return true;
        strBytes.append(buf, static_cast<size_t>(nRead));
    }
}

bool IsElement(const wxXmlNode* pNode, const char* pszName)
{
    return pNode->GetType() == wxXML_ELEMENT_NODE && pNode->GetName() == pszName;
}

void AddValue(wxXmlNode& parent, const wxString& strName, const wxString& strValue)
{
    auto pElement = std::make_unique<wxXmlNode>(wxXML_ELEMENT_NODE, strName);
    // Even an empty value gets its text node, so it is written as a start tag
    // and an end tag rather than a self-closing element.
    pElement->AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxEmptyString, strValue));
    parent.AddChild(pElement.release());
}

// Case-insensitive first so that the file reads in a natural order; the exact
// comparison settles names that differ only in case, which keeps the order,
// and so the saved bytes, the same from one save to the next.
bool NaturalLess(const wxString& a, const wxString& b)
{
    const int nCmp = a.CmpNoCase(b);
    return nCmp != 0 ? nCmp < 0 : a.Cmp(b) < 0;
}

} // namespace

void CountingManager::LoadRules()
{
    // A broken rules file of the user's must not raise a dialog at start-up;
    // it simply yields no rules.
    wxLogNull noLog;

    std::string strBytes;
    if (!ReadWholeFile(m_strRulesPath, strBytes) || !IsSafeToParse(strBytes))
        return;

    auto pDoc = std::make_unique<wxXmlDocumentEx>();
    wxMemoryInputStream stream(strBytes.data(), strBytes.size());
    if (!pDoc->Load(stream, "UTF-8", wxXMLDOC_NONE))
        return;
    // A document with another root is not a rules file: keep nothing of it,
    // so that it is not rewritten at the end either.
    wxXmlNode* pRoot = pDoc->GetRoot();
    if (!pRoot || pRoot->GetName() != "rules")
        return;
    m_pDoc = std::move(pDoc);
    m_pRoot = pRoot;

    for (const wxXmlNode* pRule = m_pRoot->GetChildren(); pRule; pRule = pRule->GetNext())
    {
        if (!IsElement(pRule, "rule"))
            continue;

        wxString strType, strDesc, strSingle, strBegin, strEnd;
        // Cleared once per rule, not per extension: an extension that lacks a
        // value takes it from the extension before it in the same rule.
        wxString strExtName, strExtDesc, strExtRuleType;

        for (const wxXmlNode* pChild = pRule->GetChildren(); pChild; pChild = pChild->GetNext())
        {
            if (pChild->GetType() != wxXML_ELEMENT_NODE)
                continue;
            const wxString& strName = pChild->GetName();
            if (strName == "type")
                strType = pChild->GetNodeContent();
            else if (strName == "desc")
                strDesc = pChild->GetNodeContent();
            else if (strName == "single-line-comment")
                strSingle = pChild->GetNodeContent();
            else if (strName == "multi-line-comment-begin")
                strBegin = pChild->GetNodeContent();
            else if (strName == "multi-line-comment-end")
                strEnd = pChild->GetNodeContent();
            else if (strName == "extension")
            {
                for (const wxXmlNode* pValue = pChild->GetChildren(); pValue;
                     pValue = pValue->GetNext())
                {
                    if (IsElement(pValue, "name"))
                        strExtName = pValue->GetNodeContent();
                    else if (IsElement(pValue, "desc"))
                        strExtDesc = pValue->GetNodeContent();
                    else if (IsElement(pValue, "ruletype"))
                        strExtRuleType = pValue->GetNodeContent();
                }
                strExtName.MakeLower();
                m_extensionTable[strExtName] =
                    std::make_unique<FileExtension>(strExtName, strExtRuleType, strExtDesc, false);
            }
        }
        m_ruleTable[strType] =
            std::make_unique<CounterRule>(strType, strDesc, strSingle, strBegin, strEnd);
    }
}

void CountingManager::SaveRules()
{
    // Without a loaded rules file there is nothing to write back into; above
    // all, a file that could not be read must not be replaced.
    if (!m_pDoc || !m_pRoot)
        return;

    for (wxXmlNode* pChild = m_pRoot->GetChildren(); pChild;)
    {
        wxXmlNode* pNext = pChild->GetNext();
        if (IsElement(pChild, "rule"))
        {
            m_pRoot->RemoveChild(pChild);
            delete pChild;
        }
        pChild = pNext;
    }

    std::vector<const CounterRule*> arrRules;
    for (const auto& entry : m_ruleTable)
        arrRules.push_back(entry.second.get());
    std::sort(arrRules.begin(), arrRules.end(),
              [](const CounterRule* a, const CounterRule* b)
              { return NaturalLess(a->m_strType, b->m_strType); });

    std::vector<const FileExtension*> arrExtensions;
    for (const auto& entry : m_extensionTable)
        arrExtensions.push_back(entry.second.get());
    std::sort(arrExtensions.begin(), arrExtensions.end(),
              [](const FileExtension* a, const FileExtension* b)
              { return NaturalLess(a->m_strName, b->m_strName); });

    for (const CounterRule* pRule : arrRules)
    {
        auto pElement = std::make_unique<wxXmlNode>(wxXML_ELEMENT_NODE, "rule");
        AddValue(*pElement, "type", pRule->m_strType);
        AddValue(*pElement, "desc", pRule->m_strDesc);
        AddValue(*pElement, "single-line-comment", pRule->m_strSingleLineComment);
        AddValue(*pElement, "multi-line-comment-begin", pRule->m_strMultiLineCommentBegin);
        AddValue(*pElement, "multi-line-comment-end", pRule->m_strMultiLineCommentEnd);
        // A file type belongs under the rule it names, whatever rule it was
        // read from; one that names no rule is not written.
        for (const FileExtension* pExt : arrExtensions)
        {
            if (!pExt->m_strRuleType.IsSameAs(pRule->m_strType, false))
                continue;
            auto pExtElement = std::make_unique<wxXmlNode>(wxXML_ELEMENT_NODE, "extension");
            AddValue(*pExtElement, "name", pExt->m_strName);
            AddValue(*pExtElement, "desc", pExt->m_strDesc);
            AddValue(*pExtElement, "ruletype", pExt->m_strRuleType);
            pElement->AddChild(pExtElement.release());
        }
        m_pRoot->AddChild(pElement.release());
    }

    m_pDoc->Save(m_strRulesPath, 1);
}
