#include "engine/CountingManager.h"
#include "engine/DateText.h"
#include "engine/Observers.h"

#include <unordered_map>
#include <unordered_set>

namespace
{
// Sums of files keyed by a name. One pass over the files serves every group,
// so a tree of many folders is grouped in time linear in its files. Folder
// names are compared exactly: on Linux "Src" and "src" are two folders, and
// merging them would count each one's files in both rows. Extensions are
// compared without regard to case, as file types are looked up.
class GroupSums
{
public:
    explicit GroupSums(bool bIgnoreCase) : m_bIgnoreCase(bIgnoreCase) {}

    Result& For(const wxString& strName) { return m_sums[Key(strName)]; }

    const Result* Find(const wxString& strName) const
    {
        auto it = m_sums.find(Key(strName));
        return it == m_sums.end() ? nullptr : &it->second;
    }

private:
    wxString Key(const wxString& strName) const
    {
        return m_bIgnoreCase ? strName.Lower() : strName;
    }

    bool m_bIgnoreCase;
    std::unordered_map<wxString, Result> m_sums;
};

GroupSums FolderSums()
{
    return GroupSums(false);
}

GroupSums ExtensionSums()
{
    return GroupSums(true);
}

// Appends strValue to arrList unless an equal string is already there.
void AppendDistinct(wxArrayString& arrList, std::unordered_set<wxString>& seen,
                    const wxString& strValue)
{
    if (seen.insert(strValue).second)
        arrList.Add(strValue);
}

template <class GroupResult>
void BuildGroups(const wxArrayString& arrNames, const GroupSums& sums,
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
    GroupSums dirSums = FolderSums(), extSums = ExtensionSums();
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
    GroupSums dirSums = FolderSums(), extSums = ExtensionSums();
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
