#pragma once

// Answers the source type and file type dialogs inside wxTEST_DIALOG the way a
// user would: find the controls by their names, fill them, press a button.
#include "ui/dialogs/CounterRuleDlg.h"
#include "ui/dialogs/SrcTypeSelDlg.h"

#include <gtest/gtest.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <functional>
#include <stdexcept>

namespace dialog_test
{
// A missing control fails the test (gtest reports the exception).
template <class T> T& Find(wxWindow& parent, const char* szName)
{
    T* pWindow = dynamic_cast<T*>(wxWindow::FindWindowByName(szName, &parent));
    if (!pWindow)
        throw std::runtime_error(std::string("no control ") + szName);
    return *pWindow;
}

inline void Click(wxWindow& button)
{
    wxCommandEvent event(wxEVT_BUTTON, button.GetId());
    event.SetEventObject(&button);
    button.ProcessWindowEvent(event);
}

// Selects an item as a click on it does.
inline void Pick(wxCheckListBox& list, int nItem)
{
    list.SetSelection(nItem);
    wxCommandEvent event(wxEVT_LISTBOX, list.GetId());
    event.SetEventObject(&list);
    event.SetInt(nItem);
    list.ProcessWindowEvent(event);
}

// The item whose text starts with "name - ".
inline int ItemOf(wxCheckListBox& list, const wxString& strName)
{
    for (unsigned i = 0; i < list.GetCount(); ++i)
    {
        if (list.GetString(i).StartsWith(strName + " - "))
            return static_cast<int>(i);
    }
    return wxNOT_FOUND;
}

// What a user types into the file type dialog; null leaves a field as it is.
struct FileTypeEntries
{
    const char* szExtension = nullptr;
    const char* szDescription = nullptr;
    const char* szStyle = nullptr;
    const char* szStyleDescription = nullptr;
};

inline void Fill(CounterRuleDlg& dlg, const FileTypeEntries& entries)
{
    if (entries.szExtension)
        Find<wxTextCtrl>(dlg, "ID_TEXTCTRL1").ChangeValue(wxString::FromUTF8(entries.szExtension));
    if (entries.szDescription)
        Find<wxTextCtrl>(dlg, "ID_TEXTCTRL2")
            .ChangeValue(wxString::FromUTF8(entries.szDescription));
    if (entries.szStyle)
    {
        wxComboBox& style = Find<wxComboBox>(dlg, "ID_COMBOBOX1");
        style.SetStringSelection(entries.szStyle);
        wxCommandEvent event(wxEVT_COMBOBOX, style.GetId());
        event.SetEventObject(&style);
        style.ProcessWindowEvent(event);
    }
    if (entries.szStyleDescription)
        Find<wxTextCtrl>(dlg, "ID_TEXTCTRL6")
            .ChangeValue(wxString::FromUTF8(entries.szStyleDescription));
}

// A message box, its text checked; answered with a button.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog>
{
public:
    explicit ExpectMessage(const wxString& strText, int nAnswer = wxID_OK)
        : m_strText(strText), m_nAnswer(nAnswer)
    {
    }

protected:
    int OnInvoked(wxMessageDialog* pDialog) const override
    {
        EXPECT_EQ(pDialog->GetMessage(), m_strText);
        EXPECT_EQ(pDialog->GetTitle(), "Confirm");
        return m_nAnswer;
    }

private:
    wxString m_strText;
    int m_nAnswer;
};
} // namespace dialog_test

// Our dialogs are acted on by a function of the test, which returns the
// button that closes them.
template <> class wxExpectModal<CounterRuleDlg> : public wxExpectModalBase<CounterRuleDlg>
{
public:
    explicit wxExpectModal(std::function<int(CounterRuleDlg&)> act) : m_act(std::move(act)) {}

    // Fills the fields and presses OK, which must be accepted.
    explicit wxExpectModal(const dialog_test::FileTypeEntries& entries)
        : m_act(
              [entries](CounterRuleDlg& dlg)
              {
                  dialog_test::Fill(dlg, entries);
                  EXPECT_TRUE(dlg.AcceptEntries());
                  return wxID_OK;
              })
    {
    }

protected:
    int OnInvoked(CounterRuleDlg* pDialog) const override { return m_act(*pDialog); }

private:
    std::function<int(CounterRuleDlg&)> m_act;
};

template <> class wxExpectModal<SrcTypeSelDlg> : public wxExpectModalBase<SrcTypeSelDlg>
{
public:
    explicit wxExpectModal(std::function<int(SrcTypeSelDlg&)> act) : m_act(std::move(act)) {}

protected:
    int OnInvoked(SrcTypeSelDlg* pDialog) const override { return m_act(*pDialog); }

private:
    std::function<int(SrcTypeSelDlg&)> m_act;
};
