#include "ui/panes/CountingSettingsPane.h"

#include "ui/UiImages.h"
#include "ui/settings/SourceTypeChoice.h"

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dir.h>
#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

namespace
{
// Folders dragged from the file manager onto the source folder list are
// added like chosen ones; dropped files are not folders to count.
class DirectoryDropTarget : public wxFileDropTarget
{
public:
    explicit DirectoryDropTarget(CountingSettingsPane& pane) : m_pane(pane) {}

    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& arrPaths) override
    {
        // A running count has the list disabled; GTK still delivers drops.
        if (!m_pane.DirectoryList()->IsEnabled())
            return false;
        bool bAdded = false;
        for (const wxString& strPath : arrPaths)
        {
            if (wxDirExists(strPath) && m_pane.AddChosenDirectory(strPath))
                bAdded = true;
        }
        return bAdded;
    }

private:
    CountingSettingsPane& m_pane;
};
} // namespace

CountingSettingsPane::CountingSettingsPane(wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "ID_PANEL1")
{
    const wxSizerFlags bordered = wxSizerFlags().Border(wxALL, 4);
    auto* pSizer = new wxBoxSizer(wxVERTICAL);

    auto* pDirBox = new wxStaticBoxSizer(wxVERTICAL, this, _("Source Directory"));
    wxStaticBox* pDirBoxWindow = pDirBox->GetStaticBox();
    auto* pDirButtons = new wxBoxSizer(wxHORIZONTAL);
    m_pButtonAddDirectory = MakeBitmapButton(pDirBoxWindow, ADD_IMAGES, _("Add directory"),
                                             "ID_BITMAPBUTTON1", wxBU_AUTODRAW | wxBORDER_SIMPLE);
    m_pButtonDeleteDirectory =
        MakeBitmapButton(pDirBoxWindow, DELETE_IMAGES, _("Delete selected directory"),
                         "ID_BITMAPBUTTON2", wxBU_AUTODRAW | wxBORDER_SIMPLE);
    pDirButtons->Add(m_pButtonAddDirectory, wxSizerFlags().Border(wxRIGHT, 4));
    pDirButtons->Add(m_pButtonDeleteDirectory);
    pDirBox->Add(pDirButtons, bordered);
    m_pListSourceDirectory =
        new wxCheckListBox(pDirBoxWindow, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                           wxLB_SINGLE | wxLB_HSCROLL, wxDefaultValidator, "ID_CHECKLISTBOX1");
    m_pListSourceDirectory->SetDropTarget(new DirectoryDropTarget(*this));
    pDirBox->Add(m_pListSourceDirectory, wxSizerFlags(1).Expand().Border(wxALL, 4));
    m_pCheckRecursive =
        new wxCheckBox(pDirBoxWindow, wxID_ANY, _("&Recursive file counting"), wxDefaultPosition,
                       wxDefaultSize, 0, wxDefaultValidator, "ID_CHECKBOX1");
    m_pCheckRecursive->SetValue(true);
    pDirBox->Add(m_pCheckRecursive, bordered);
    pSizer->Add(pDirBox, wxSizerFlags(1).Expand().Border(wxALL, 4));

    auto* pTypeBox = new wxStaticBoxSizer(wxHORIZONTAL, this, _("Source Type"));
    wxStaticBox* pTypeBoxWindow = pTypeBox->GetStaticBox();
    m_pComboSourceType =
        new wxComboBox(pTypeBoxWindow, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                       nullptr, wxCB_READONLY, wxDefaultValidator, "ID_COMBOBOX1");
    pTypeBox->Add(m_pComboSourceType, wxSizerFlags(1).CenterVertical().Border(wxALL, 4));
    m_pButtonSourceType = MakeBitmapButton(pTypeBoxWindow, SOURCE_TYPE_IMAGES,
                                           _("Select source type"), "ID_BITMAPBUTTON7");
    pTypeBox->Add(m_pButtonSourceType, wxSizerFlags().CenterVertical().Border(wxALL, 4));
    pSizer->Add(pTypeBox, wxSizerFlags().Expand().Border(wxALL, 4));

    auto* pRunButtons = new wxBoxSizer(wxHORIZONTAL);
    m_pButtonStart =
        MakeBitmapButton(this, START_IMAGES, _("Start counting"), "ID_BITMAPBUTTON_START");
    m_pButtonStart->SetHelpText(_("Start counting"));
    m_pButtonStop = MakeBitmapButton(this, STOP_IMAGES, _("Stop counting"), "ID_BITMAPBUTTON_STOP");
    m_pButtonStop->SetHelpText(_("Stop counting"));
    pRunButtons->Add(m_pButtonStart, wxSizerFlags().CenterVertical().Border(wxRIGHT, 4));
    pRunButtons->Add(m_pButtonStop, wxSizerFlags().CenterVertical());
    pSizer->Add(pRunButtons, bordered);

    SetSizer(pSizer);
}

void CountingSettingsPane::SetDirectories(const wxArrayString& arrDirectories)
{
    m_pListSourceDirectory->Clear();
    // Restored folders start unchecked: the user picks what to count.
    m_pListSourceDirectory->Append(arrDirectories);
}

wxArrayString CountingSettingsPane::GetDirectories() const
{
    return m_pListSourceDirectory->GetStrings();
}

wxArrayString CountingSettingsPane::GetCheckedDirectories() const
{
    wxArrayString arrChecked;
    for (unsigned i = 0; i < m_pListSourceDirectory->GetCount(); ++i)
    {
        if (m_pListSourceDirectory->IsChecked(i))
            arrChecked.Add(m_pListSourceDirectory->GetString(i));
    }
    return arrChecked;
}

void CountingSettingsPane::AddDirectory(const wxString& strPath)
{
    // Not compared with the listed folders: the same folder twice is the
    // user's choice. A folder the user just chose is one to count, so it
    // comes checked.
    m_pListSourceDirectory->Check(m_pListSourceDirectory->Append(strPath));
}

bool CountingSettingsPane::AddChosenDirectory(const wxString& strPath)
{
    // A folder that is gone or unreadable would only count nothing, without
    // a word: better to say so while the user still knows what was meant.
    wxString strProblem;
    if (!wxDirExists(strPath))
    {
        strProblem = wxString::Format(_("The folder \"%s\" does not exist."), strPath);
    }
    else
    {
        wxLogNull noLog;
        if (!wxDir(strPath).IsOpened())
            strProblem = wxString::Format(_("The folder \"%s\" cannot be read."), strPath);
    }
    if (!strProblem.empty())
    {
        wxMessageBox(strProblem, _("Confirm"), wxOK | wxCENTRE, wxGetTopLevelParent(this));
        return false;
    }
    AddDirectory(strPath);
    return true;
}

wxString CountingSettingsPane::ChooserStartFolder() const
{
    for (unsigned i = m_pListSourceDirectory->GetCount(); i-- > 0;)
    {
        const wxString strFolder = m_pListSourceDirectory->GetString(i);
        if (wxDirExists(strFolder))
            return strFolder;
    }
    return wxGetHomeDir();
}

void CountingSettingsPane::DeleteSelectedDirectory()
{
    const int nIndex = m_pListSourceDirectory->GetSelection();
    if (nIndex == wxNOT_FOUND)
        return;
    if (wxMessageBox(_("Are you sure you want to delete it?"), _("Confirm"), wxYES_NO | wxCENTRE,
                     wxGetTopLevelParent(this)) == wxYES)
        m_pListSourceDirectory->Delete(nIndex);
}

bool CountingSettingsPane::IsRecursive() const
{
    return m_pCheckRecursive->IsChecked();
}

wxString CountingSettingsPane::GetSourceTypeText() const
{
    return m_pComboSourceType->GetValue();
}

void CountingSettingsPane::ShowSourceTypes(const wxString& strTypes)
{
    wxArrayString arrHistory = GetSourceTypeHistory();
    RememberSourceTypes(arrHistory, strTypes, MAX_SOURCE_TYPE_HISTORY);
    m_pComboSourceType->Set(arrHistory);
    // Nothing chosen shows an empty box; it is not an entry to pick again.
    m_pComboSourceType->SetSelection(strTypes.empty() ? wxNOT_FOUND : 0);
}

void CountingSettingsPane::SetSourceTypeHistory(const wxArrayString& arrHistory)
{
    // Oldest first through the same rule as a new choice, so a hand-edited
    // store cannot bring in copies or more entries than the box keeps.
    wxArrayString arrEntries;
    for (size_t i = arrHistory.size(); i-- > 0;)
        RememberSourceTypes(arrEntries, arrHistory[i], MAX_SOURCE_TYPE_HISTORY);
    m_pComboSourceType->Set(arrEntries);
    m_pComboSourceType->SetSelection(arrEntries.empty() ? wxNOT_FOUND : 0);
}

wxArrayString CountingSettingsPane::GetSourceTypeHistory() const
{
    // An earlier entry picked from the box is the newest choice now.
    wxArrayString arrHistory = m_pComboSourceType->GetStrings();
    RememberSourceTypes(arrHistory, GetSourceTypeText(), MAX_SOURCE_TYPE_HISTORY);
    return arrHistory;
}
