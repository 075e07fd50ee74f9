#include "ui/dialogs/SrcTypeSelDlg.h"

#include "engine/SortedByName.h"
#include "ui/dialogs/CounterRuleDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace
{
void Notify(wxWindow* pParent, const wxString& strMessage)
{
    wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE, pParent);
}

// Edit and Delete act on the selected item; with none they are disabled, so
// this is shown only if the list and the table ever disagree.
void NotifyNoRecord(wxWindow* pParent)
{
    Notify(pParent, "Error!");
}

} // namespace

SrcTypeSelDlg::SrcTypeSelDlg(wxWindow* parent, RuleTable& ruleTable, ExtensionTable& extensionTable,
                             wxWindowID id)
    : wxDialog(parent, id, _("Select types dialog"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "SrcTypeSelDlg"),
      m_ruleTable(ruleTable), m_extensionTable(extensionTable)
{
    auto* pLabel = new wxStaticText(this, wxID_ANY, _("Se&lect source file types for counting:"),
                                    wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT1");
    m_pList =
        new wxCheckListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                           wxLB_SINGLE | wxLB_HSCROLL, wxDefaultValidator, "ID_CHECKLISTBOX1");
    m_pCheckAll = new wxCheckBox(this, wxID_ANY, _("&Select all file types"), wxDefaultPosition,
                                 wxDefaultSize, 0, wxDefaultValidator, "ID_CHECKBOX1");
    m_pButtonAdd = new wxButton(this, wxID_ANY, _("&Add..."), wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, "ID_BUTTON1");
    m_pButtonEdit = new wxButton(this, wxID_ANY, _("&Edit..."), wxDefaultPosition, wxDefaultSize, 0,
                                 wxDefaultValidator, "ID_BUTTON2");
    m_pButtonDelete = new wxButton(this, wxID_ANY, _("&Delete"), wxDefaultPosition, wxDefaultSize,
                                   0, wxDefaultValidator, "ID_BUTTON3");

    auto* pRow = new wxBoxSizer(wxHORIZONTAL);
    pRow->Add(m_pCheckAll, wxSizerFlags().CenterVertical());
    pRow->AddStretchSpacer();
    pRow->Add(m_pButtonAdd, wxSizerFlags().CenterVertical().Border(wxLEFT, FromDIP(12)));
    pRow->Add(m_pButtonEdit, wxSizerFlags().CenterVertical().Border(wxLEFT, FromDIP(6)));
    pRow->Add(m_pButtonDelete, wxSizerFlags().CenterVertical().Border(wxLEFT, FromDIP(6)));

    auto* pButtons = new wxStdDialogButtonSizer;
    auto* pOk = new wxButton(this, wxID_OK);
    pOk->SetDefault(); // Enter
    pButtons->AddButton(pOk);
    pButtons->AddButton(new wxButton(this, wxID_CANCEL));
    pButtons->Realize();

    const int nBorder = FromDIP(12);
    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pLabel, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP, nBorder));
    // The list takes whatever room the user gives the dialog.
    m_pList->SetMinSize(FromDIP(wxSize(180, 220)));
    pTop->Add(m_pList, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxTOP, nBorder));
    pTop->Add(pRow, wxSizerFlags().Expand().Border(wxALL, nBorder));
    pTop->Add(new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL,
                               "ID_STATICLINE1"),
              wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, nBorder));
    pTop->Add(pButtons, wxSizerFlags().Expand().Border(wxALL, nBorder));
    SetSizerAndFit(pTop);
    SetMinSize(GetSize());

    FillList();
    // Opens wide enough to read the types without scrolling sideways (within
    // reason) and tall enough for a dozen of them.
    int nWidest = 0;
    for (unsigned i = 0; i < m_pList->GetCount(); ++i)
        nWidest = std::max(nWidest, m_pList->GetTextExtent(m_pList->GetString(i)).x);
    const wxSize sizeList = m_pList->GetSize();
    const int nExtraWidth = std::clamp(nWidest + FromDIP(64) - sizeList.x, 0, FromDIP(420));
    SetSize(GetSize() + wxSize(nExtraWidth, FromDIP(120)));
    Centre();

    m_pList->Bind(wxEVT_LISTBOX, &SrcTypeSelDlg::OnSelectionChanged, this);
    m_pCheckAll->Bind(wxEVT_CHECKBOX, &SrcTypeSelDlg::OnSelectAll, this);
    m_pButtonAdd->Bind(wxEVT_BUTTON, &SrcTypeSelDlg::OnAdd, this);
    m_pButtonEdit->Bind(wxEVT_BUTTON, &SrcTypeSelDlg::OnEdit, this);
    m_pButtonDelete->Bind(wxEVT_BUTTON, &SrcTypeSelDlg::OnDelete, this);
    Bind(wxEVT_BUTTON, &SrcTypeSelDlg::OnOk, this, wxID_OK);
    m_pList->SetFocus();
}

wxString SrcTypeSelDlg::ItemText(const FileExtension& record)
{
    // A description typed over several lines reads as one in the list.
    wxString strDesc = record.m_strDesc;
    strDesc.Replace("\r\n", " ");
    strDesc.Replace("\n", " ");
    strDesc.Replace("\r", " ");
    // TRANSLATORS: a file type in the list: extension, description, source style.
    return wxString::Format(_("%s - %s ( %s style )"), record.m_strName, strDesc,
                            record.m_strRuleType);
}

void SrcTypeSelDlg::FillList(const wxString& strSelect)
{
    std::unordered_map<wxString, bool> pending;
    for (unsigned i = 0; i < m_pList->GetCount() && i < m_arrItemNames.size(); ++i)
        pending[m_arrItemNames[i]] = m_pList->IsChecked(i);

    m_pList->Freeze();
    m_pList->Clear();
    m_arrItemNames.clear();
    int nSelect = wxNOT_FOUND;
    for (const FileExtension* pRecord : SortedByName(m_extensionTable, &FileExtension::m_strName))
    {
        const int nItem = m_pList->Append(ItemText(*pRecord));
        m_arrItemNames.Add(pRecord->m_strName);
        const auto it = pending.find(pRecord->m_strName);
        m_pList->Check(nItem, it != pending.end() ? it->second : pRecord->m_bSelected);
        if (!strSelect.empty() && pRecord->m_strName == strSelect)
            nSelect = nItem;
    }
    m_pList->Thaw();
    if (nSelect != wxNOT_FOUND)
    {
        m_pList->SetSelection(nSelect);
        m_pList->EnsureVisible(nSelect);
    }
    UpdateButtons();
}

void SrcTypeSelDlg::UpdateButtons()
{
    const bool bSelected = m_pList->GetSelection() != wxNOT_FOUND;
    m_pButtonEdit->Enable(bSelected);
    m_pButtonDelete->Enable(bSelected);
}

FileExtension* SrcTypeSelDlg::CurrentRecord()
{
    const int nItem = m_pList->GetSelection();
    if (nItem == wxNOT_FOUND || static_cast<size_t>(nItem) >= m_arrItemNames.size())
        return nullptr;
    const auto it = m_extensionTable.find(m_arrItemNames[nItem]);
    return it == m_extensionTable.end() ? nullptr : it->second.get();
}

void SrcTypeSelDlg::OnSelectionChanged(wxCommandEvent&)
{
    UpdateButtons();
}

void SrcTypeSelDlg::OnSelectAll(wxCommandEvent&)
{
    // Only the marks change; the flags follow at OK.
    const bool bCheck = m_pCheckAll->IsChecked();
    for (unsigned i = 0; i < m_pList->GetCount(); ++i)
        m_pList->Check(i, bCheck);
}

void SrcTypeSelDlg::OnAdd(wxCommandEvent&)
{
    auto pRecord = std::make_unique<FileExtension>();
    CounterRuleDlg dlg(this, false, m_ruleTable, *pRecord);
    if (dlg.ShowModal() != wxID_OK)
        return;

    // Stored as the rules file stores names, so runs (which lower-case what
    // they look up) find it.
    pRecord->m_strName.MakeLower();
    for (const auto& entry : m_extensionTable)
    {
        if (entry.first.CmpNoCase(pRecord->m_strName) == 0)
        {
            Notify(this, _("Extension has existed!"));
            return;
        }
    }
    const wxString strName = pRecord->m_strName;
    m_extensionTable.emplace(strName, std::move(pRecord));
    FillList(strName);
}

void SrcTypeSelDlg::OnEdit(wxCommandEvent&)
{
    FileExtension* pRecord = CurrentRecord();
    if (!pRecord)
    {
        NotifyNoRecord(this);
        return;
    }
    CounterRuleDlg dlg(this, true, m_ruleTable, *pRecord);
    if (dlg.ShowModal() == wxID_OK)
        FillList(pRecord->m_strName);
}

void SrcTypeSelDlg::OnDelete(wxCommandEvent&)
{
    if (wxMessageBox(_("Do you want to delete it?"), _("Confirm"), wxYES_NO | wxCENTRE, this) !=
        wxYES)
        return;
    FileExtension* pRecord = CurrentRecord();
    if (!pRecord)
    {
        NotifyNoRecord(this);
        return;
    }
    m_extensionTable.erase(pRecord->m_strName);
    FillList();
}

void SrcTypeSelDlg::AcceptChecks()
{
    for (auto& entry : m_extensionTable)
        entry.second->m_bSelected = false;
    m_strSelectedTypes.clear();
    for (unsigned i = 0; i < m_pList->GetCount() && i < m_arrItemNames.size(); ++i)
    {
        if (!m_pList->IsChecked(i))
            continue;
        m_strSelectedTypes += m_arrItemNames[i] + ";";
        const auto it = m_extensionTable.find(m_arrItemNames[i]);
        if (it != m_extensionTable.end())
            it->second->m_bSelected = true;
    }
}

void SrcTypeSelDlg::OnOk(wxCommandEvent&)
{
    AcceptChecks();
    EndModal(wxID_OK);
}
