#include "ui/results/ChangesPage.h"

#include "compare/Comparison.h"
#include "engine/NativePath.h"
#include "ui/results/ChangeListCtrl.h"

#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>

namespace
{
wxSplitterWindow* MakeSplitter(wxWindow* pParent)
{
    auto* pSplitter = new wxSplitterWindow(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                           wxSP_3D | wxSP_LIVE_UPDATE);
    pSplitter->SetMinimumPaneSize(80);
    return pSplitter;
}
} // namespace

ChangesPage::ChangesPage(wxWindow* pParent)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL,
              "ID_PANEL_CHANGES")
{
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    m_pHeading = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  wxST_ELLIPSIZE_MIDDLE | wxST_NO_AUTORESIZE);
    pSizer->Add(m_pHeading, wxSizerFlags().Expand().Border(wxALL, 6));

    wxSplitterWindow* pMain = MakeSplitter(this);
    m_pFiles = new ChangeListCtrl(pMain, ChangeRowKind::File, "ID_LC_CHANGES");
    wxSplitterWindow* pLower = MakeSplitter(pMain);
    m_pExtensions = new ChangeListCtrl(pLower, ChangeRowKind::Extension, "ID_LC_CHANGES_EXT");
    m_pEstimates = new wxListCtrl(pLower, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxLC_REPORT | wxLC_VRULES | wxLC_SINGLE_SEL, wxDefaultValidator,
                                  "ID_LC_CHANGES_ESTIMATES");
    m_pEstimates->InsertColumn(0, _("Estimate of the change"), wxLIST_FORMAT_LEFT, FromDIP(220));
    m_pEstimates->InsertColumn(1, _("Value"), wxLIST_FORMAT_RIGHT, FromDIP(110));
    pLower->SplitVertically(m_pExtensions, m_pEstimates, -FromDIP(340));
    pLower->SetSashGravity(1.0);
    pMain->SplitHorizontally(m_pFiles, pLower, -FromDIP(190));
    pMain->SetSashGravity(1.0);
    pSizer->Add(pMain, wxSizerFlags(1).Expand());
    SetSizer(pSizer);
    Clear();
}

void ChangesPage::BeginRun(const wxString& strOld, const wxString& strRoot)
{
    Clear();
    m_strOld = strOld;
    m_strRoot = strRoot;
    m_pHeading->SetLabel(wxString::Format(_("Comparing %s with %s..."),
                                          NativePath::ToDisplay(strOld),
                                          NativePath::ToDisplay(strRoot)));
}

void ChangesPage::AppendFile(const FileChange& file)
{
    m_pFiles->AppendRecord(&file);
}

void ChangesPage::EndGrowing()
{
    m_pFiles->EndGrowing();
}

void ChangesPage::Select(const Comparison& comparison, const FilterParam& filter,
                         const AnalysisParam& param)
{
    m_pComparison = &comparison;
    m_selection.Select(comparison, m_strRoot, filter);
    m_pFiles->SetRecords({m_selection.m_arrFiles.begin(), m_selection.m_arrFiles.end()});
    std::vector<const ChangeResult*> arrExtensions;
    for (const auto& pExt : m_selection.m_arrExtensions)
        arrExtensions.push_back(pExt.get());
    m_pExtensions->SetRecords(std::move(arrExtensions));

    m_pEstimates->DeleteAllItems();
    long nRow = 0;
    for (const auto& [strLabel, strValue] : ChangeEstimateRows(m_selection.m_total, param))
    {
        m_pEstimates->InsertItem(nRow, strLabel);
        m_pEstimates->SetItem(nRow++, 1, strValue);
    }
    ShowHeading();
}

void ChangesPage::Clear()
{
    m_pComparison = nullptr;
    m_selection.Clear();
    m_strOld.clear();
    m_strRoot.clear();
    m_pFiles->Clear();
    m_pExtensions->Clear();
    m_pEstimates->DeleteAllItems();
    m_pHeading->SetLabel(_("Choose \"Compare with...\" in the File menu to see what changed since "
                           "an older version of the counted folders."));
}

void ChangesPage::ShowHeading()
{
    m_pHeading->SetLabel(ChangesHeadingText(m_strOld, m_strRoot, m_selection.m_total));
}

wxString ChangesPage::GetHeading() const
{
    return m_pHeading->GetLabel();
}

wxString ChangesHeadingText(const wxString& strOld, const wxString& strNew,
                            const ChangeResult& total)
{
    const auto files = [&total](ChangeResult::Status nStatus)
    { return static_cast<long long>(total.m_arrFiles[nStatus]); };
    return wxString::Format(_("From %s to %s: %lld modified, %lld added, %lld removed, %lld "
                              "unchanged"),
                            NativePath::ToDisplay(strOld), NativePath::ToDisplay(strNew),
                            files(ChangeResult::STATUS_MODIFIED), files(ChangeResult::STATUS_ADDED),
                            files(ChangeResult::STATUS_REMOVED), files(ChangeResult::STATUS_SAME));
}
