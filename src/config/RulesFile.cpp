// The rules file: loading it into the rule and file type tables of the
// counting manager, and writing the tables back at the end.

#include "config/XmlDocumentEx.h"
#include "config/XmlReader.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "engine/SortedByName.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <wx/datetime.h>
#include <wx/intl.h>
#include <wx/log.h>

namespace
{

// The whole file, if it is a regular file within the size the reader takes;
// a FIFO at the path would block the start for good, and the size is
// checked before anything is read.
bool ReadRulesFile(const wxString& strPath, std::string& strBytes, wxString& strError)
{
    const int nFd = NativePath::Open(strPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0)
    {
        strError = wxString::FromUTF8(std::strerror(errno));
        return false;
    }
    struct stat st;
    bool bOk = false;
    if (fstat(nFd, &st) != 0)
        strError = wxString::FromUTF8(std::strerror(errno));
    else if (S_ISDIR(st.st_mode))
        strError = _("it is a folder");
    else if (!S_ISREG(st.st_mode))
        strError = _("it is not a regular file");
    else
        bOk = true;
    const std::size_t nLimit = XmlReader::MAX_FILE_SIZE;
    if (bOk && static_cast<std::uint64_t>(st.st_size) > nLimit)
    {
        strError = wxString::Format(_("it is larger than %d MiB"), int(nLimit >> 20));
        bOk = false;
    }
    // Read up to one byte past the limit, so a file that grew meanwhile is
    // caught too.
    if (bOk)
        strBytes.resize(std::min<std::size_t>(st.st_size, nLimit) + 1);
    std::size_t nSize = 0;
    while (bOk)
    {
        if (nSize == strBytes.size())
        {
            if (nSize > nLimit)
                break;
            strBytes.resize(std::min(2 * nSize, nLimit + 1));
        }
        const ssize_t nRead = read(nFd, &strBytes[nSize], strBytes.size() - nSize);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
        {
            strError = wxString::FromUTF8(std::strerror(errno));
            bOk = false;
        }
        if (nRead <= 0)
            break;
        nSize += static_cast<std::size_t>(nRead);
    }
    close(nFd);
    strBytes.resize(bOk ? nSize : 0);
    strBytes.shrink_to_fit();
    return bOk;
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

// Every value the rules file keeps, in the order it is written; a separator
// that no value holds keeps "a" + "bc" apart from "ab" + "c". Whether a type
// is chosen for counting is not kept, so it is not part of it.
std::string TablesText(const RuleTable& rules, const ExtensionTable& extensions)
{
    wxString strText;
    const auto add = [&strText](const wxString& strValue) { strText << strValue << '\x1F'; };
    for (const CounterRule* pRule : SortedByName(rules, &CounterRule::m_strType))
    {
        add("rule");
        add(pRule->m_strType);
        add(pRule->m_strDesc);
        add(pRule->m_strSingleLineComment);
        add(pRule->m_strMultiLineCommentBegin);
        add(pRule->m_strMultiLineCommentEnd);
    }
    for (const FileExtension* pExt : SortedByName(extensions, &FileExtension::m_strName))
    {
        add("extension");
        add(pExt->m_strName);
        add(pExt->m_strDesc);
        add(pExt->m_strRuleType);
    }
    const wxScopedCharBuffer utf8 = strText.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

std::size_t HashOf(const std::string& strBytes)
{
    return std::hash<std::string_view>()(strBytes);
}

// A name for the tables of a window whose rules file was changed by another:
// beside it, named after it and the moment, and not yet taken.
wxString BesidePath(const wxString& strPath)
{
    const wxString strStem = strPath + "." + wxDateTime::Now().Format("%Y-%m-%d-%H%M%S");
    wxString strBeside = strStem + ".xml";
    struct stat st;
    for (int n = 2; NativePath::Stat(strBeside, st, false) && n < 1000; ++n)
        strBeside = wxString::Format("%s-%d.xml", strStem, n);
    return strBeside;
}

} // namespace

void CountingManager::LoadRules()
{
    // A broken rules file of the user's must not raise a dialog at start-up;
    // it simply yields no rules, and the reason is kept for the command line.
    wxLogNull noLog;
    m_strRulesError.clear();

    std::string strBytes;
    if (!ReadRulesFile(m_strRulesPath, strBytes, m_strRulesError))
        return;
    auto pDoc = std::make_unique<wxXmlDocumentEx>();
    if (!XmlReader::Read(strBytes, *pDoc, m_strRulesError))
        return;
    const std::size_t nFileHash = HashOf(strBytes);
    std::string().swap(strBytes);
    // A document with another root is not a rules file: keep nothing of it,
    // so that it is not rewritten at the end either.
    wxXmlNode* pRoot = pDoc->GetRoot();
    if (!pRoot || pRoot->GetName() != "rules")
    {
        m_strRulesError = _("its root element is not <rules>");
        return;
    }
    m_pDoc = std::move(pDoc);
    m_pRoot = pRoot;
    m_nRulesFileHash = nFileHash;

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
    m_strSavedTables = TablesText(m_ruleTable, m_extensionTable);
}

bool CountingManager::RulesChanged() const
{
    return RulesLoaded() && TablesText(m_ruleTable, m_extensionTable) != m_strSavedTables;
}

bool CountingManager::RulesFileChangedOnDisk() const
{
    wxLogNull noLog;
    // A file that is gone (or whose folder is) holds nothing to keep.
    struct stat st;
    if (!NativePath::Stat(m_strRulesPath, st) && (errno == ENOENT || errno == ENOTDIR))
        return false;
    // Whatever cannot be read as it was (another kind of file, a file grown
    // too large, one that cannot be read any more) is kept as well.
    std::string strBytes;
    wxString strError;
    return !ReadRulesFile(m_strRulesPath, strBytes, strError) ||
           HashOf(strBytes) != m_nRulesFileHash;
}

RulesSaveOutcome CountingManager::SaveRulesAtEnd()
{
    if (!m_bSaveRulesOnDestroy || !RulesChanged())
        return RulesSaveOutcome();
    m_bSaveRulesOnDestroy = false;
    return SaveRules();
}

RulesSaveOutcome CountingManager::SaveRules()
{
    // Without a loaded rules file there is nothing to write back into; above
    // all, a file that could not be read must not be replaced.
    RulesSaveOutcome outcome;
    if (!m_pDoc || !m_pRoot)
        return outcome;

    PutTablesIntoDocument();
    const bool bBeside = RulesFileChangedOnDisk();
    outcome.m_kind = bBeside ? RulesSaveOutcome::SAVED_BESIDE : RulesSaveOutcome::SAVED;
    outcome.m_strPath = bBeside ? BesidePath(m_strRulesPath) : m_strRulesPath;
    if (!m_pDoc->SaveFile(outcome.m_strPath, outcome.m_strError, 1))
    {
        outcome.m_kind = RulesSaveOutcome::FAILED;
        return outcome;
    }
    m_strSavedTables = TablesText(m_ruleTable, m_extensionTable);
    // What is now in the rules file is this window's: the next save may
    // write over it.
    std::string strBytes;
    wxString strError;
    if (!bBeside && ReadRulesFile(m_strRulesPath, strBytes, strError))
        m_nRulesFileHash = HashOf(strBytes);
    return outcome;
}

void CountingManager::PutTablesIntoDocument()
{
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

    const std::vector<const FileExtension*> arrExtensions =
        SortedByName(m_extensionTable, &FileExtension::m_strName);
    for (const CounterRule* pRule : SortedByName(m_ruleTable, &CounterRule::m_strType))
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
}
