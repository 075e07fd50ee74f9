#include "engine/CountingManager.h"
#include "engine/DateText.h"
#include "engine/Observers.h"

#include <unordered_map>
#include <unordered_set>

namespace
{
// Sums of files keyed by a name compared without regard to case. One pass
// over the files serves every group, so a tree of many folders is grouped in
// time linear in its files.
class CaseInsensitiveSums
{
public:
    Result& For(const wxString& strName) { return m_sums[strName.Lower()]; }

    const Result* Find(const wxString& strName) const
    {
        auto it = m_sums.find(strName.Lower());
        return it == m_sums.end() ? nullptr : &it->second;
    }

private:
    std::unordered_map<wxString, Result> m_sums;
};

// Appends strValue to arrList unless an equal string is already there.
void AppendDistinct(wxArrayString& arrList, std::unordered_set<wxString>& seen,
                    const wxString& strValue)
{
    if (seen.insert(strValue).second)
        arrList.Add(strValue);
}

template <class GroupResult>
void BuildGroups(const wxArrayString& arrNames, const CaseInsensitiveSums& sums,
                 std::vector<std::unique_ptr<GroupResult>>& arrResults)
{
    arrResults.clear();
    for (const wxString& strName : arrNames)
    {
        auto pGroup = std::make_unique<GroupResult>();
        if (const Result* pSum = sums.Find(strName))
            static_cast<Result&>(*pGroup) = *pSum;
        pGroup->m_strName = strName;
        arrResults.push_back(std::move(pGroup));
    }
}

std::unordered_set<wxString> ToSet(const wxArrayString& arr)
{
    return std::unordered_set<wxString>(arr.begin(), arr.end());
}
} // namespace

void CountingManager::Summarize()
{
    m_arrDirectoryList.Clear();
    m_arrExtensionList.Clear();
    m_arrDateList.Clear();

    std::unordered_set<wxString> seenDirs, seenExts, seenDates;
    CaseInsensitiveSums dirSums, extSums;
    for (const auto& pFile : m_arrFileResults)
    {
        AppendDistinct(m_arrDirectoryList, seenDirs, pFile->m_strFolder);
        AppendDistinct(m_arrExtensionList, seenExts, pFile->m_strExt);
        AppendDistinct(m_arrDateList, seenDates, DateText(pFile->m_dtModified));
        dirSums.For(pFile->m_strFolder).Add(*pFile);
        extSums.For(pFile->m_strExt).Add(*pFile);
    }
    BuildGroups(m_arrDirectoryList, dirSums, m_arrDirectoryResults);
    BuildGroups(m_arrExtensionList, extSums, m_arrExtensionResults);

    if (m_pFilterObserver)
        m_pFilterObserver->OnFilterUpdate();
}

void CountingManager::Refilter(const AnalysisParam& analysisParam, const FilterParam& filterParam)
{
    if (m_arrFileResults.empty())
        return;
    ApplyFilter(filterParam);
    Regroup(analysisParam, filterParam);
    if (m_pAnalysisObserver)
        m_pAnalysisObserver->OnAnalysisUpdate();
}

void CountingManager::ApplyFilter(const FilterParam& filterParam)
{
    if (!filterParam.m_bFilterDirectory && !filterParam.m_bFilterExtension &&
        !filterParam.m_bFilterDate)
    {
        for (auto& pFile : m_arrFileResults)
            pFile->m_bVisible = true;
        return;
    }

    // Every test applies once any filter is on: a list of a filter that is off
    // holds every value the panel offers, so it passes every file.
    const auto dirs = ToSet(filterParam.m_arrDirectories);
    const auto exts = ToSet(filterParam.m_arrExtensions);
    const auto dates = ToSet(filterParam.m_arrDates);
    for (auto& pFile : m_arrFileResults)
    {
        pFile->m_bVisible = exts.count(pFile->m_strExt) && dirs.count(pFile->m_strFolder) &&
                            dates.count(DateText(pFile->m_dtModified));
    }
}

void CountingManager::Regroup(const AnalysisParam& analysisParam, const FilterParam& filterParam)
{
    m_totalResult = TotalResult();
    CaseInsensitiveSums dirSums, extSums;
    for (auto& pFile : m_arrFileResults)
    {
        if (!pFile->m_bVisible)
            continue; // hidden files keep the estimates they had
        CalcFileAnalysis(analysisParam, *pFile);
        m_totalResult.Add(*pFile);
        // The regrouped folder and extension sums carry counts only.
        dirSums.For(pFile->m_strFolder).AddCountsOf(*pFile);
        extSums.For(pFile->m_strExt).AddCountsOf(*pFile);
    }
    BuildGroups(filterParam.m_arrDirectories, dirSums, m_arrDirectoryResults);
    BuildGroups(filterParam.m_arrExtensions, extSums, m_arrExtensionResults);
}
