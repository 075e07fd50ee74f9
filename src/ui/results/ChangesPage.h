#pragma once

#include "compare/ChangeSelection.h"
#include "report/ReportPage.h"

#include <wx/panel.h>

class AnalysisParam;
class ChangeListCtrl;
class Comparison;
class FileChange;
class FilterParam;
class wxListCtrl;
class wxStaticText;

// The "Changes" page of the result notebook: what a comparison of an older
// version with the counted folders found. A line names the two versions and
// the files by status; below it the files (path, status, the lines and code
// changed, the estimates of the change), the same by extension, and the
// estimates of the change by phase. Every list follows the filters.
class ChangesPage : public wxPanel
{
public:
    explicit ChangesPage(wxWindow* pParent);

    // A comparison of strOld with the folder strRoot begins: the page
    // empties, then shows each file as it is compared.
    void BeginRun(const wxString& strOld, const wxString& strRoot);
    void AppendFile(const FileChange& file);
    void EndGrowing();
    // Shows the files of comparison that pass filter, their sums and the
    // estimates of the change; again after each Refresh.
    void Select(const Comparison& comparison, const FilterParam& filter,
                const AnalysisParam& param);
    // No comparison: the page shows how to make one.
    void Clear();

    // The comparison shown, if any, with the versions as the user named them.
    const Comparison* GetComparison() const { return m_pComparison; }
    const wxString& OldName() const { return m_strOld; }
    const wxString& Root() const { return m_strRoot; }
    // What the report's Changes section shows; only with a comparison.
    ChangeFigures Figures() const { return ChangeFigures{m_selection, m_strOld, m_strRoot}; }

    ChangeListCtrl* GetFileList() const { return m_pFiles; }
    ChangeListCtrl* GetExtensionList() const { return m_pExtensions; }
    wxListCtrl* GetEstimateList() const { return m_pEstimates; }
    wxString GetHeading() const;

private:
    void ShowHeading();

    const Comparison* m_pComparison = nullptr;
    wxString m_strOld;
    wxString m_strRoot;
    ChangeSelection m_selection;

    wxStaticText* m_pHeading = nullptr;
    ChangeListCtrl* m_pFiles = nullptr;
    ChangeListCtrl* m_pExtensions = nullptr;
    wxListCtrl* m_pEstimates = nullptr;
};

// "From git:v1.0 to /src: 12 modified, 3 added, 1 removed, 240 unchanged",
// the heading of the page over the files the filters leave.
wxString ChangesHeadingText(const wxString& strOld, const wxString& strNew,
                            const ChangeResult& total);
