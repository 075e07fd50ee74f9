#include "ui/dialogs/CompareWithDlg.h"

#include "compare/GitVersion.h"
#include "compare/VersionSpec.h"
#include "engine/NativePath.h"

#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/filepicker.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

CompareWithDlg::CompareWithDlg(wxWindow* pParent, const wxString& strRoot, const wxString& strLast)
    : wxDialog(pParent, wxID_ANY, _("Compare with"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    std::vector<wxString> arrTags, arrBranches;
    wxString strError;
    const bool bRepository = GitVersion::ListNames(strRoot, arrTags, arrBranches, strError);
    if (!bRepository)
        m_strNoRepository = _("The counted folders are in no git repository: only a folder can be "
                              "compared with them.");

    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    const wxSizerFlags border = wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxTOP, 10);
    pSizer->Add(new wxStaticText(this, wxID_ANY,
                                 wxString::Format(_("Compare the counted folders in %s, as Start "
                                                    "would count them, with an older version:"),
                                                  NativePath::ToDisplay(strRoot))),
                border);

    m_pFolderChoice = new wxRadioButton(this, wxID_ANY, _("A folder:"), wxDefaultPosition,
                                        wxDefaultSize, wxRB_GROUP);
    pSizer->Add(m_pFolderChoice, border);
    m_pFolder = new wxDirPickerCtrl(this, wxID_ANY, wxEmptyString, _("Select the old version"),
                                    wxDefaultPosition, wxDefaultSize,
                                    wxDIRP_USE_TEXTCTRL | wxDIRP_DIR_MUST_EXIST);
    pSizer->Add(m_pFolder, wxSizerFlags(border).Border(wxLEFT, 28));

    m_pRevisionChoice = new wxRadioButton(this, wxID_ANY, _("A revision of its git repository:"));
    pSizer->Add(m_pRevisionChoice, border);
    wxArrayString arrNames;
    if (bRepository)
        arrNames.Add("HEAD");
    for (const auto* pNames : {&arrBranches, &arrTags})
        for (const wxString& strName : *pNames)
            arrNames.Add(strName);
    m_pRevision = new wxComboBox(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 arrNames, wxCB_DROPDOWN);
    pSizer->Add(m_pRevision, wxSizerFlags(border).Border(wxLEFT, 28));
    pSizer->Add(new wxStaticText(this, wxID_ANY,
                                 bRepository
                                     ? _("Pick a branch or tag, or type any revision git knows "
                                         "(a commit, HEAD~3).")
                                     : m_strNoRepository),
                wxSizerFlags(border).Border(wxLEFT, 28));

    pSizer->Add(CreateSeparatedButtonSizer(wxOK | wxCANCEL),
                wxSizerFlags().Expand().Border(wxALL, 10));
    SetSizerAndFit(pSizer);
    SetSize(wxSize(std::max(GetSize().x, FromDIP(560)), GetSize().y));

    wxString strRevision;
    if (VersionSpec::IsRevision(strLast, &strRevision) && bRepository)
    {
        m_pRevisionChoice->SetValue(true);
        m_pRevision->SetValue(strRevision);
    }
    else
    {
        m_pFolderChoice->SetValue(true);
        if (!VersionSpec::IsRevision(strLast))
            m_pFolder->SetPath(strLast);
        m_pRevision->SetValue(bRepository ? "HEAD" : "");
    }
    m_pRevisionChoice->Enable(bRepository);
    for (wxRadioButton* pChoice : {m_pFolderChoice, m_pRevisionChoice})
        pChoice->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { EnableChoices(); });
    // Typing or picking in a field chooses it.
    m_pFolder->Bind(wxEVT_DIRPICKER_CHANGED,
                    [this](wxFileDirPickerEvent&)
                    {
                        m_pFolderChoice->SetValue(true);
                        EnableChoices();
                    });
    Bind(wxEVT_BUTTON, &CompareWithDlg::OnOk, this, wxID_OK);
    EnableChoices();
}

void CompareWithDlg::EnableChoices()
{
    m_pFolder->Enable(m_pFolderChoice->GetValue());
    m_pRevision->Enable(m_pRevisionChoice->GetValue());
}

wxString CompareWithDlg::GetVersion() const
{
    if (m_pRevisionChoice->GetValue())
        return "git:" + m_pRevision->GetValue().Strip(wxString::both);
    // The comparison pairs files by their paths below absolute, normalised
    // roots.
    wxFileName folder = wxFileName::DirName(m_pFolder->GetPath());
    folder.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE | wxPATH_NORM_TILDE);
    wxString strPath = folder.GetPath();
    return strPath.empty() ? wxString("/") : strPath;
}

void CompareWithDlg::OnOk(wxCommandEvent& event)
{
    wxString strMessage;
    if (m_pRevisionChoice->GetValue())
    {
        if (m_pRevision->GetValue().Strip(wxString::both).empty())
            strMessage = _("Please choose or type a revision.");
    }
    else
    {
        wxLogNull noLog;
        if (m_pFolder->GetPath().empty())
            strMessage = _("Please choose the folder of the old version.");
        else if (!wxFileName::DirExists(m_pFolder->GetPath()))
            strMessage = wxString::Format(_("The folder \"%s\" does not exist."),
                                          NativePath::ToDisplay(m_pFolder->GetPath()));
    }
    if (strMessage.empty())
    {
        event.Skip(); // the dialog ends with OK
        return;
    }
    wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE, this);
}
