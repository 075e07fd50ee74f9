// The main window's result lists, filter panes and analysis grids: each
// operation hands the work to the class that owns that area.
#include "ui/LinecastFrame.h"

#include "compare/ChangeSelection.h"
#include "engine/CountingManager.h"
#include "ui/panes/AnalysisPane.h"
#include "ui/panes/FilterPane.h"
#include "ui/results/ChangesPage.h"
#include "ui/results/ResultListCtrl.h"
#include "ui/results/SummaryGrid.h"

#include <wx/checkbox.h>

void LinecastFrame::BindResultViewEvents()
{
    m_pListDetail->Bind(wxEVT_LIST_COL_CLICK, &LinecastFrame::OnDetailColumnClick, this);
    m_pListDetail->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, &LinecastFrame::OnDetailRightClick, this);
    m_pListDirectory->Bind(wxEVT_LIST_COL_CLICK, &LinecastFrame::OnDirectoryColumnClick, this);
    m_pListDirectory->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, &LinecastFrame::OnDirectoryRightClick,
                           this);
    m_pListExtension->Bind(wxEVT_LIST_COL_CLICK, &LinecastFrame::OnExtensionColumnClick, this);
    Bind(wxEVT_MENU, &LinecastFrame::OnOpenDirectory, this, m_pMenuOpenDirectory->GetId());
    Bind(wxEVT_MENU, &LinecastFrame::OnOpenFile, this, m_pMenuOpenFile->GetId());
    for (const FilterPane* pPane : {m_pFilterDirectory, m_pFilterDate, m_pFilterExtension})
        pPane->GetSelectAll()->Bind(wxEVT_CHECKBOX, &LinecastFrame::OnSelectAll, this);
}

void LinecastFrame::InitListColumns()
{
    for (ResultListCtrl* pList : {m_pListDetail, m_pListDirectory, m_pListExtension})
        pList->InitColumns();
}

void LinecastFrame::AddDetailRow(const FileResult& file)
{
    m_pListDetail->AppendRecord(&file);
}

void LinecastFrame::RefillDetailList()
{
    // The files the filters leave visible, in counting order, then sorted
    // ascending by the remembered column.
    std::vector<const Result*> arrVisible;
    for (const auto& pFile : m_pManager->m_arrFileResults)
        if (pFile->m_bVisible)
            arrVisible.push_back(pFile.get());
    m_pListDetail->DeleteAllItems();
    m_pListDetail->AppendRecords(arrVisible);
    m_pListDetail->SortAscending();
}

void LinecastFrame::FillDirectorySummary()
{
    m_pListDirectory->AppendRecords(m_pManager->m_arrDirectoryResults);
    m_pListDirectory->SortAscending();
}

void LinecastFrame::FillExtensionSummary()
{
    m_pListExtension->AppendRecords(m_pManager->m_arrExtensionResults);
    m_pListExtension->SortAscending();
}

void LinecastFrame::OnDetailColumnClick(wxListEvent& event)
{
    m_pListDetail->ClickColumn(event.GetColumn());
}

void LinecastFrame::OnDirectoryColumnClick(wxListEvent& event)
{
    m_pListDirectory->ClickColumn(event.GetColumn());
}

void LinecastFrame::OnExtensionColumnClick(wxListEvent& event)
{
    m_pListExtension->ClickColumn(event.GetColumn());
}

void LinecastFrame::OnDetailRightClick(wxListEvent& event)
{
    PopupListMenu(event, true);
}

void LinecastFrame::OnDirectoryRightClick(wxListEvent& event)
{
    PopupListMenu(event, false); // a folder row has no file to open
}

void LinecastFrame::PopupListMenu(wxListEvent& event, bool bFileEntry)
{
    // The menu's handlers run before PopupMenu returns, while the event lives.
    m_pListEvent = &event;
    m_pMenuOpenFile->Enable(bFileEntry);
    PopupMenu(&m_menuList);
    m_pListEvent = nullptr;
}

ResultListCtrl* LinecastFrame::GetPopupList() const
{
    return m_pListEvent ? dynamic_cast<ResultListCtrl*>(m_pListEvent->GetEventObject()) : nullptr;
}

void LinecastFrame::OnOpenFile(wxCommandEvent&)
{
    if (const ResultListCtrl* pList = GetPopupList())
        pList->OpenFileOfRow(m_pListEvent->GetIndex(), m_desktopOpen);
}

void LinecastFrame::OnOpenDirectory(wxCommandEvent&)
{
    if (const ResultListCtrl* pList = GetPopupList())
        pList->OpenDirectoryOfRow(m_pListEvent->GetIndex(), m_desktopOpen);
}

void LinecastFrame::OnSelectAll(wxCommandEvent& event)
{
    for (FilterPane* pPane : {m_pFilterDirectory, m_pFilterDate, m_pFilterExtension})
        if (event.GetEventObject() == pPane->GetSelectAll())
            pPane->CheckAll(event.IsChecked());
}

void LinecastFrame::ApplyFilters()
{
    ApplyFilterPanes(*m_pFilterDirectory, *m_pFilterExtension, *m_pFilterDate, m_filterParam);
    ShowFilterStatus();
}

void LinecastFrame::ShowFilterStatus()
{
    SetStatusText(FilterStatusText(m_filterParam), 2);
}

void LinecastFrame::CreateAnalysisGrids()
{
    m_pAnalysisPane->CreateProperties(m_analysisParam);
    m_pSummaryGrid->CreateProperties();
}

void LinecastFrame::ReadAnalysisParams()
{
    m_pAnalysisPane->ReadParams(m_analysisParam);
}

void LinecastFrame::ShowAnalysisResults()
{
    m_pSummaryGrid->ShowResults(m_pManager->m_totalResult, m_analysisParam);
}

void LinecastFrame::ShowComparison()
{
    wxArrayString arrDirectories = m_pManager->m_arrDirectoryList;
    wxArrayString arrExtensions = m_pManager->m_arrExtensionList;
    wxArrayString arrDates = m_pManager->m_arrDateList;
    ChangeSelection::AddFilterValues(*m_pComparison, m_pChangesPage->Root(), arrDirectories,
                                     arrExtensions, arrDates);
    m_pFilterDirectory->Fill(arrDirectories);
    m_pFilterExtension->Fill(arrExtensions);
    m_pFilterDate->Fill(arrDates);
    ApplyFilters();
    m_pChangesPage->Select(*m_pComparison, m_filterParam, m_analysisParam);
    GenerateReport();
}

void LinecastFrame::RefreshComparison()
{
    if (!m_pChangesPage->GetComparison())
        return;
    m_pComparison->Reestimate(m_analysisParam);
    m_pChangesPage->Select(*m_pComparison, m_filterParam, m_analysisParam);
    GenerateReport();
}
