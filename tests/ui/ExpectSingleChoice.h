#pragma once

#include <wx/choicdlg.h>
#include <wx/listbox.h>
#include <wx/testing.h>

// Lets wxTEST_DIALOG answer a single-choice dialog: the row to pick (or
// wxID_CANCEL to cancel), and optionally a place to note what the dialog
// offered.
struct SingleChoiceSeen
{
    wxString strTitle;
    wxArrayString arrRows;
};

template <>
class wxExpectModal<wxSingleChoiceDialog> : public wxExpectModalBase<wxSingleChoiceDialog>
{
public:
    static constexpr int CANCEL = -1;

    explicit wxExpectModal(int nRow, SingleChoiceSeen* pSeen = nullptr)
        : m_nRow(nRow), m_pSeen(pSeen)
    {
    }

protected:
    int OnInvoked(wxSingleChoiceDialog* pDialog) const override
    {
        if (m_pSeen)
        {
            m_pSeen->strTitle = pDialog->GetTitle();
            if (wxListBox* pList = FindList(pDialog))
                m_pSeen->arrRows = pList->GetStrings();
        }
        if (m_nRow == CANCEL)
            return wxID_CANCEL;
        pDialog->SetSelection(m_nRow);
        return wxID_OK;
    }

private:
    static wxListBox* FindList(wxWindow* pWindow)
    {
        for (wxWindow* pChild : pWindow->GetChildren())
        {
            if (auto* pList = dynamic_cast<wxListBox*>(pChild))
                return pList;
            if (wxListBox* pList = FindList(pChild))
                return pList;
        }
        return nullptr;
    }

    int m_nRow;
    SingleChoiceSeen* m_pSeen;
};
