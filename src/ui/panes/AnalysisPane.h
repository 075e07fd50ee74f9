#pragma once

#include <wx/panel.h>

class AnalysisParam;
class wxBitmapButton;
class wxPropertyGrid;

// The "Analysis Parameter" pane: the ten analysis parameters in a property
// grid, each held to its limits on entry, and the pane's "Refresh result"
// button. Edits reach the AnalysisParam only when read, at Start and Refresh.
class AnalysisPane : public wxPanel
{
public:
    explicit AnalysisPane(wxWindow* pParent);

    // Appends the categories and the parameter properties, each starting at
    // param's value.
    void CreateProperties(const AnalysisParam& param);
    // When any property was edited since the grid was built, copies every
    // value into param and sets its m_bModified; otherwise only clears that.
    void ReadParams(AnalysisParam& param) const;

    wxPropertyGrid* GetGrid() const { return m_pGrid; }
    wxBitmapButton* GetRefreshButton() const { return m_pRefresh; }

private:
    wxPropertyGrid* m_pGrid = nullptr;
    wxBitmapButton* m_pRefresh = nullptr;
};
