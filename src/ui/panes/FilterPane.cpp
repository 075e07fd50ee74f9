#include "ui/panes/FilterPane.h"

#include "engine/FilterParam.h"
#include "ui/UiImages.h"
#include "ui/panes/FilterCheckList.h"
#include "ui/panes/FolderTree.h"

#include <unordered_set>
#include <wx/checkbox.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/sizer.h>

FilterPane::FilterPane(wxWindow* pParent, const Names& names, long nRefreshStyle)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, names.szPanel)
{
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    m_pList = new FilterCheckList(this, names.szList);
    pSizer->Add(m_pList, wxSizerFlags(1).Expand().Border(wxALL, 4));
    auto* pRow = new wxBoxSizer(wxHORIZONTAL);
    m_pSelectAll = new wxCheckBox(this, wxID_ANY, _("Select All"), wxDefaultPosition, wxDefaultSize,
                                  0, wxDefaultValidator, names.szSelectAll);
    pRow->Add(m_pSelectAll, wxSizerFlags(1).CenterVertical());
    m_pRefresh =
        MakeBitmapButton(this, REFRESH_IMAGES, _("Refresh result"), names.szRefresh, nRefreshStyle);
    pRow->Add(m_pRefresh, wxSizerFlags().CenterVertical());
    pSizer->Add(pRow, wxSizerFlags().Expand().Border(wxALL, 4));
    SetSizer(pSizer);
}

void FilterPane::Fill(const wxArrayString& arrValues)
{
    m_pList->Set(arrValues);
}

void FilterPane::Clear()
{
    if (!m_pList->IsEmpty())
        m_pList->Clear();
}

void FilterPane::CheckAll(bool bCheck)
{
    m_pList->CheckAll(bCheck);
}

void FilterPane::EnableFolderTreeMenu()
{
    m_idUntickTree = wxWindow::NewControlId();
    m_idTickTree = wxWindow::NewControlId();
    // A right click tells which entry it is on; the generic list may send
    // two context menu events for one click, so those serve only the
    // keyboard's menu key, which has no position.
    m_pList->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK,
                  [this](wxListEvent& event) { PopupFolderTreeMenu(event.GetIndex()); });
    m_pList->Bind(wxEVT_CONTEXT_MENU,
                  [this](wxContextMenuEvent& event)
                  {
                      if (event.GetPosition() == wxDefaultPosition)
                          PopupFolderTreeMenu(
                              m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
                  });
}

void FilterPane::PopupFolderTreeMenu(long nEntry)
{
    if (nEntry < 0 || nEntry >= static_cast<long>(m_pList->GetCount()))
        return;
    wxMenu menu;
    menu.Append(m_idUntickTree, _("Untick with subfolders"));
    menu.Append(m_idTickTree, _("Tick with subfolders"));
    const int nChosen = m_pList->GetPopupMenuSelectionFromUser(menu);
    if (nChosen == m_idUntickTree || nChosen == m_idTickTree)
        CheckFolderTree(static_cast<unsigned>(nEntry), nChosen == m_idTickTree);
}

void FilterPane::CheckFolderTree(unsigned n, bool bCheck)
{
    // By the folders' own values: two that show alike stay apart.
    for (const std::size_t nEntry : FolderTreeEntries(m_pList->GetValues(), n))
        m_pList->Check(static_cast<unsigned>(nEntry), bCheck);
}

bool FilterPane::TakeCheckedValues(wxArrayString& arrValues, bool& bActive) const
{
    std::unordered_set<wxString> taken(arrValues.begin(), arrValues.end());
    bool bAdded = false;
    const wxArrayString& arrEntries = m_pList->GetValues();
    for (unsigned i = 0; i < arrEntries.size(); ++i)
    {
        if (!m_pList->IsChecked(i))
            continue;
        const wxString& strValue = arrEntries[i];
        if (taken.insert(strValue).second)
        {
            arrValues.Add(strValue);
            bAdded = true;
        }
    }
    bActive = m_pList->GetCount() != arrValues.size();
    return bAdded;
}

void ApplyFilterPanes(const FilterPane& directories, const FilterPane& extensions,
                      const FilterPane& dates, FilterParam& param)
{
    param.ClearLists();
    if (directories.TakeCheckedValues(param.m_arrDirectories, param.m_bFilterDirectory))
        param.m_bChanged = true;
    if (extensions.TakeCheckedValues(param.m_arrExtensions, param.m_bFilterExtension))
        param.m_bChanged = true;
    if (dates.TakeCheckedValues(param.m_arrDates, param.m_bFilterDate))
        param.m_bChanged = true;
    // With every entry unchecked no value is taken, yet the filters hide
    // every file: the views must follow, as the status text says they do.
    if (param.m_bFilterDirectory || param.m_bFilterExtension || param.m_bFilterDate)
        param.m_bChanged = true;
    param.SortLists();
}

wxString FilterStatusText(const FilterParam& param)
{
    wxString strFilters;
    if (param.m_bFilterDirectory)
        strFilters += _("Directory | ");
    if (param.m_bFilterExtension)
        strFilters += _("Extension | ");
    if (param.m_bFilterDate)
        strFilters += _("Modified Date");
    strFilters.Trim(true);
    if (strFilters.empty())
        strFilters = _("None");
    else if (strFilters.EndsWith("|"))
        strFilters.RemoveLast(2); // the blank and the bar
    return _("Filtering result by: ") + strFilters;
}
