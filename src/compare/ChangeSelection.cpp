#include "compare/ChangeSelection.h"

#include "compare/Comparison.h"
#include "engine/DateText.h"
#include "engine/DirectoryLister.h"
#include "engine/FilterParam.h"

#include <map>
#include <unordered_set>

wxString ChangeSelection::FolderName(const wxString& strRoot, const FileChange& file)
{
    return file.m_strFolder == "." ? strRoot : DirectoryLister::Join(strRoot, file.m_strFolder);
}

void ChangeSelection::Clear()
{
    m_arrFiles.clear();
    m_arrExtensions.clear();
    m_total = ChangeResult();
}

void ChangeSelection::Select(const Comparison& comparison, const wxString& strRoot,
                             const FilterParam& filter)
{
    Clear();
    // As a count filters: once any filter is on every list applies, a list
    // of a filter that is off holding every value its pane offers.
    const bool bFiltered =
        filter.m_bFilterDirectory || filter.m_bFilterExtension || filter.m_bFilterDate;
    const std::unordered_set<wxString> dirs(filter.m_arrDirectories.begin(),
                                            filter.m_arrDirectories.end());
    const std::unordered_set<wxString> exts(filter.m_arrExtensions.begin(),
                                            filter.m_arrExtensions.end());
    const std::unordered_set<wxString> dates(filter.m_arrDates.begin(), filter.m_arrDates.end());
    std::map<wxString, std::unique_ptr<ChangeGroup>> extensions;
    for (const auto& pFile : comparison.m_arrFiles)
    {
        const FileChange& file = *pFile;
        if (bFiltered && !(exts.count(file.m_strExt) && dirs.count(FolderName(strRoot, file)) &&
                           dates.count(DateText(file.m_dtModified))))
            continue;
        m_arrFiles.push_back(&file);
        m_total.Add(file);
        std::unique_ptr<ChangeGroup>& pGroup = extensions[file.m_strExt];
        if (!pGroup)
        {
            pGroup = std::make_unique<ChangeGroup>();
            pGroup->m_strName = file.m_strExt;
        }
        pGroup->Add(file);
    }
    for (auto& entry : extensions)
        m_arrExtensions.push_back(std::move(entry.second));
}

void ChangeSelection::AddFilterValues(const Comparison& comparison, const wxString& strRoot,
                                      wxArrayString& arrDirectories, wxArrayString& arrExtensions,
                                      wxArrayString& arrDates)
{
    std::unordered_set<wxString> dirs(arrDirectories.begin(), arrDirectories.end());
    std::unordered_set<wxString> exts(arrExtensions.begin(), arrExtensions.end());
    std::unordered_set<wxString> dates(arrDates.begin(), arrDates.end());
    for (const auto& pFile : comparison.m_arrFiles)
    {
        if (wxString strDir = FolderName(strRoot, *pFile); dirs.insert(strDir).second)
            arrDirectories.Add(strDir);
        if (exts.insert(pFile->m_strExt).second)
            arrExtensions.Add(pFile->m_strExt);
        if (wxString strDate = DateText(pFile->m_dtModified); dates.insert(strDate).second)
            arrDates.Add(strDate);
    }
    arrExtensions.Sort();
    arrDates.Sort();
}
