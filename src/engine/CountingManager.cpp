#include "engine/CountingManager.h"

#include "config/XmlDocumentEx.h"
#include "engine/Counter.h"
#include "engine/CounterFactory.h"

#include <algorithm>
#include <wx/filefn.h>

CountingManager::CountingManager() = default;

CountingManager::~CountingManager()
{
    SaveRulesAtEnd();
}

Counter* CountingManager::GetCounter(const wxString& strRuleType)
{
    auto it = m_counterTable.find(strRuleType);
    if (it != m_counterTable.end())
        return it->second.get();

    std::unique_ptr<Counter> pCounter = CreateCounterForRuleType(strRuleType);
    auto rule = m_ruleTable.find(strRuleType);
    if (rule != m_ruleTable.end())
        pCounter->m_pRule = rule->second.get();
    Counter* pResult = pCounter.get();
    m_counterTable.emplace(strRuleType, std::move(pCounter));
    return pResult;
}

wxString CountingManager::GetFileExtension(const wxString& strPath)
{
    // From the last dot of the whole path, so a dot in a folder name decides
    // when the file name has none.
    const int nDot = strPath.Find('.', true);
    return nDot == wxNOT_FOUND ? wxString() : strPath.Mid(nDot);
}

bool CountingManager::IsSelectedType(const wxString& strExt, wxString& strRuleType) const
{
    auto it = m_extensionTable.find(strExt.Lower());
    if (it == m_extensionTable.end() || !it->second->m_bSelected)
        return false;
    strRuleType = it->second->m_strRuleType;
    return true;
}

void CountingManager::ClearResults()
{
    m_totalResult = TotalResult();
    m_arrFileResults.clear();
    m_arrDirectoryResults.clear();
    m_arrExtensionResults.clear();
    m_arrSkippedPaths.clear();
    m_bPartial = false;
    m_nState = STATE_CLEARED;
}

std::size_t CountingManager::CountSkipped(SkippedPath::Kind nKind,
                                          SkippedPath::Reason nReason) const
{
    return static_cast<std::size_t>(
        std::count_if(m_arrSkippedPaths.begin(), m_arrSkippedPaths.end(),
                      [nKind, nReason](const SkippedPath& skipped)
                      { return skipped.m_nKind == nKind && skipped.m_nReason == nReason; }));
}

void CountingManager::SetCountingParam(const CountingParam& param, AnalysisParam& analysisParam)
{
    m_countingParam.m_arrDirs = param.m_arrDirs;
    m_countingParam.m_arrTypes = param.m_arrTypes;
    m_countingParam.m_bRecursive = param.m_bRecursive;
    m_pAnalysisParam = &analysisParam;
}

void CountingManager::SplitPath(const wxString& strPath, wxString& strFolder, wxString& strFile)
{
    const int nSep = strPath.Find(wxFILE_SEP_PATH, true);
    if (nSep == wxNOT_FOUND)
    {
        strFolder.clear();
        strFile.clear();
        return;
    }
    strFolder = strPath.Left(nSep);
    strFile = strPath.Mid(nSep + 1);
}
