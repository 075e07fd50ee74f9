#include "ui/dialogs/CounterRuleDlg.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <vector>

namespace
{
void Notify(wxWindow* pParent, const wxString& strMessage)
{
    wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE, pParent);
}

// The rule types in the order a reader looks for them: alphabetical.
std::vector<wxString> SortedRuleTypes(const RuleTable& table)
{
    std::vector<wxString> arrTypes;
    for (const auto& entry : table)
        arrTypes.push_back(entry.first);
    std::sort(arrTypes.begin(), arrTypes.end(),
              [](const wxString& a, const wxString& b) { return a.CmpNoCase(b) < 0; });
    return arrTypes;
}

// Runs look files up by everything from the last dot of the path, dot
// included; "py" or " .py " typed by the user would match no file at all.
wxString ExtensionName(const wxString& strTyped)
{
    wxString strName = strTyped.Strip(wxString::both);
    if (!strName.empty() && !strName.StartsWith("."))
        strName.Prepend(".");
    return strName;
}

// A further dot or a folder separator would make the name one no file's
// extension can ever equal; a semicolon would split it in two in the chosen
// types text (".c;.h;"), which is read back at the next start.
bool CanBeAnExtension(const wxString& strName)
{
    return strName.find_first_of("./\\;", 1) == wxString::npos;
}

// GTK limits only single-line fields; a multi-line one drops what goes
// beyond the limit where it was typed or pasted, at the insertion point. The
// text is cut after the change is through: GTK is still working on its
// buffer while it reports the change.
void CutToLength(wxTextCtrl* pText, size_t nMax)
{
    const wxString strText = pText->GetValue();
    if (strText.length() <= nMax)
        return;
    const size_t nExcess = strText.length() - nMax;
    const size_t nPos = static_cast<size_t>(pText->GetInsertionPoint());
    const size_t nCut = nPos >= nExcess && nPos <= strText.length() ? nPos - nExcess : nMax;
    pText->ChangeValue(strText.Left(nCut) + strText.Mid(nCut + nExcess));
    pText->SetInsertionPoint(static_cast<long>(nCut));
    wxBell();
}

void LimitLength(wxTextCtrl* pText, size_t nMax)
{
    pText->Bind(wxEVT_TEXT,
                [pText, nMax](wxCommandEvent& event)
                {
                    if (pText->GetValue().length() > nMax)
                        pText->CallAfter([pText, nMax] { CutToLength(pText, nMax); });
                    event.Skip();
                });
}

bool IsBlank(const wxString& str)
{
    return str.Strip(wxString::both).empty();
}
} // namespace

CounterRuleDlg::CounterRuleDlg(wxWindow* parent, bool bEdit, RuleTable& ruleTable,
                               FileExtension& record, wxWindowID id, const wxPoint& pos)
    : wxDialog(parent, id, _("File type setting dialog"), pos, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "CounterRuleDlg"),
      m_bEdit(bEdit), m_ruleTable(ruleTable), m_record(record)
{
    const auto makeLabel = [this](const wxString& strLabel, const char* szName) {
        return new wxStaticText(this, wxID_ANY, strLabel, wxDefaultPosition, wxDefaultSize, 0,
                                szName);
    };
    const auto makeText = [this](const char* szName, long nStyle, int nHeight)
    {
        return new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(-1, nHeight),
                              nStyle, wxDefaultValidator, szName);
    };

    auto* pLabelExtension = makeLabel(_("&Extension:"), "ID_STATICTEXT1");
    m_pTextExtension = makeText("ID_TEXTCTRL1", 0, -1);
    m_pTextExtension->SetHint(_(".ext"));
    // No length limit on the field: GTK would drop what goes beyond it without
    // a word (".component" became ".componen") and show nothing at all of a
    // longer name already in the rules. OK refuses a name that is too long.

    auto* pLabelDescription = makeLabel(_("&Description:"), "ID_STATICTEXT3");
    m_pTextDescription = makeText("ID_TEXTCTRL2", wxTE_MULTILINE, FromDIP(60));
    LimitLength(m_pTextDescription, MAX_DESCRIPTION_LENGTH);

    auto* pLabelStyle = makeLabel(_("&Source style:"), "ID_STATICTEXT2");
    m_pComboStyle = new wxComboBox(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                   0, nullptr, wxCB_READONLY, wxDefaultValidator, "ID_COMBOBOX1");

    auto* pLabelStyleDescription = makeLabel(_("S&tyle Description:"), "ID_STATICTEXT7");
    m_pTextStyleDescription = makeText("ID_TEXTCTRL6", wxTE_MULTILINE, FromDIP(60));
    LimitLength(m_pTextStyleDescription, MAX_DESCRIPTION_LENGTH);

    // The markers are only shown: a marker is whatever the rules file says,
    // however long, so no length limit cuts it.
    auto* pLabelSingleLine = makeLabel(_("Sing&le line comment:"), "ID_STATICTEXT4");
    m_pTextSingleLine = makeText("ID_TEXTCTRL3", wxTE_READONLY, -1);
    auto* pLabelBlockBegin = makeLabel(_("Multi-line comment &begin:"), "ID_STATICTEXT5");
    m_pTextBlockBegin = makeText("ID_TEXTCTRL4", wxTE_READONLY, -1);
    auto* pLabelBlockEnd = makeLabel(_("Multi-line comment &end:"), "ID_STATICTEXT6");
    m_pTextBlockEnd = makeText("ID_TEXTCTRL5", wxTE_READONLY, -1);
    for (wxTextCtrl* pMarker : {m_pTextSingleLine, m_pTextBlockBegin, m_pTextBlockEnd})
        pMarker->Disable();

    // Labels in one column, fields in the other; the style's own rows are set
    // in under the style they describe. The two descriptions take the height.
    auto* pGrid = new wxFlexGridSizer(2, FromDIP(wxSize(12, 6)));
    pGrid->AddGrowableCol(1, 1);
    const int nIndent = FromDIP(16);
    const auto addRow = [pGrid, nIndent](wxStaticText* pLabel, wxWindow* pField, bool bStyleRow)
    {
        const bool bTall = pField->HasFlag(wxTE_MULTILINE);
        wxSizerFlags labelFlags =
            bTall ? wxSizerFlags().Top().Border(wxTOP, 4) : wxSizerFlags().CenterVertical();
        if (bStyleRow)
            labelFlags.Border(wxLEFT, nIndent);
        pGrid->Add(pLabel, labelFlags);
        pGrid->Add(pField, wxSizerFlags().Expand());
        if (bTall)
            pGrid->AddGrowableRow(pGrid->GetEffectiveRowsCount() - 1, 1);
    };
    addRow(pLabelExtension, m_pTextExtension, false);
    addRow(pLabelDescription, m_pTextDescription, false);
    addRow(pLabelStyle, m_pComboStyle, false);
    addRow(pLabelStyleDescription, m_pTextStyleDescription, true);
    addRow(pLabelSingleLine, m_pTextSingleLine, true);
    addRow(pLabelBlockBegin, m_pTextBlockBegin, true);
    addRow(pLabelBlockEnd, m_pTextBlockEnd, true);
    pGrid->SetItemMinSize(m_pTextDescription, FromDIP(wxSize(280, 60)));

    auto* pButtons = new wxStdDialogButtonSizer;
    auto* pOk = new wxButton(this, wxID_OK);
    pOk->SetDefault(); // Enter
    pButtons->AddButton(pOk);
    pButtons->AddButton(new wxButton(this, wxID_CANCEL));
    pButtons->Realize();

    auto* pTop = new wxBoxSizer(wxVERTICAL);
    pTop->Add(pGrid, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(12)));
    pTop->Add(new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL,
                               "ID_STATICLINE1"),
              wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, FromDIP(12)));
    pTop->Add(pButtons, wxSizerFlags().Expand().Border(wxALL, FromDIP(12)));
    SetSizerAndFit(pTop);
    SetMinSize(GetSize());
    Centre();

    for (const wxString& strType : SortedRuleTypes(m_ruleTable))
        m_pComboStyle->Append(strType);
    if (m_bEdit)
    {
        m_pTextExtension->ChangeValue(m_record.m_strName);
        m_pTextExtension->Disable();
        m_pTextDescription->ChangeValue(m_record.m_strDesc);
        // A type whose style the rules no longer hold shows no style, and OK
        // asks for one rather than storing none.
        m_pComboStyle->SetSelection(m_pComboStyle->FindString(m_record.m_strRuleType, true));
        m_pTextDescription->SetFocus();
    }
    else
    {
        // Only what is typed is limited: GTK shows nothing at all of a longer
        // name already in the rules (".applescript") under the limit.
        m_pTextExtension->SetMaxLength(MAX_EXTENSION_LENGTH);
        if (!m_pComboStyle->IsListEmpty())
            m_pComboStyle->SetSelection(0);
        m_pTextExtension->SetFocus();
    }
    ShowStyle();

    m_pComboStyle->Bind(wxEVT_COMBOBOX, &CounterRuleDlg::OnStyleSelected, this);
    Bind(wxEVT_BUTTON, &CounterRuleDlg::OnOk, this, wxID_OK);
}

CounterRule* CounterRuleDlg::ChosenRule()
{
    if (m_pComboStyle->GetSelection() == wxNOT_FOUND)
        return nullptr;
    const auto it = m_ruleTable.find(m_pComboStyle->GetStringSelection());
    return it == m_ruleTable.end() ? nullptr : it->second.get();
}

void CounterRuleDlg::ShowStyle()
{
    const CounterRule* pRule = ChosenRule();
    m_pTextStyleDescription->ChangeValue(pRule ? pRule->m_strDesc : wxString());
    m_pTextSingleLine->ChangeValue(pRule ? pRule->m_strSingleLineComment : wxString());
    m_pTextBlockBegin->ChangeValue(pRule ? pRule->m_strMultiLineCommentBegin : wxString());
    m_pTextBlockEnd->ChangeValue(pRule ? pRule->m_strMultiLineCommentEnd : wxString());
}

void CounterRuleDlg::OnStyleSelected(wxCommandEvent&)
{
    ShowStyle();
}

bool CounterRuleDlg::AcceptEntries()
{
    // Everything is checked before anything is stored, so a refused OK
    // followed by Cancel leaves the record and the rule as they were.
    if (m_ruleTable.empty())
    {
        Notify(this, _("There is no source style to choose: the rules file holds none. A file "
                       "type cannot be set up without one."));
        return false;
    }
    if (IsBlank(m_pTextDescription->GetValue()))
    {
        Notify(this, _("Please input file extension description!"));
        return false;
    }
    const wxString strName = ExtensionName(m_pTextExtension->GetValue());
    if (!m_bEdit)
    {
        if (strName.empty() || strName == ".")
        {
            Notify(this, _("Please input file extension!"));
            return false;
        }
        if (!CanBeAnExtension(strName))
        {
            Notify(this, _("An extension is a dot and the characters after it, without a further "
                           "dot, a slash or a semicolon, like \".py\"."));
            return false;
        }
        if (strName.length() > MAX_EXTENSION_LENGTH)
        {
            Notify(this, wxString::Format(_("An extension may have at most %d characters, its "
                                            "dot included."),
                                          MAX_EXTENSION_LENGTH));
            return false;
        }
    }
    CounterRule* pRule = ChosenRule();
    if (!pRule)
    {
        Notify(this, _("Please choose a source style!"));
        return false;
    }
    if (IsBlank(m_pTextStyleDescription->GetValue()))
    {
        Notify(this, _("Please input style description!"));
        return false;
    }

    if (!m_bEdit)
        m_record.m_strName = strName;
    m_record.m_strDesc = m_pTextDescription->GetValue();
    m_record.m_strRuleType = pRule->m_strType;
    // Every file type of this style shares the new wording.
    pRule->m_strDesc = m_pTextStyleDescription->GetValue();
    return true;
}

void CounterRuleDlg::OnOk(wxCommandEvent&)
{
    if (AcceptEntries())
        EndModal(wxID_OK);
}
