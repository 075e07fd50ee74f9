#pragma once

#include <wx/propgrid/propgrid.h>

class AnalysisParam;
class TotalResult;

// The top of the "Summary" page: the line counts, test figures, files and size
// of the last count or refresh, and the cost and man-months of each phase.
// Shown, not edited.
class SummaryGrid : public wxPropertyGrid
{
public:
    explicit SummaryGrid(wxWindow* pParent);

    // Appends the categories and properties, every value 0.
    void CreateProperties();
    // Shows the totals and the phase estimates derived from them.
    void ShowResults(const TotalResult& total, const AnalysisParam& param);
};
