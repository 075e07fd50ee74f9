#pragma once

#include <memory>
#include <vector>
#include <wx/arrstr.h>
#include <wx/datetime.h>
#include <wx/string.h>

class AnalysisParam;
class ChangeGroup;
class ChangeSelection;
class CountingManager;
class ExtensionResult;
class FilterParam;
class TotalResult;

// The page of the report pane, which Export HTML also writes: an HTML template
// shipped beside the program with its $placeholders$ replaced by the figures
// of the last count. The template is read anew for every page, so an edited
// template shows from the next report on.
class ReportPage
{
public:
    // Template paths, appended to the folder the templates are found in.
    static const char* const START_TEMPLATE;
    static const char* const REPORT_TEMPLATE;
    // Shown when a template cannot be read.
    static const char* const FALLBACK_PAGE;

    virtual ~ReportPage() = default;

    // The interface language's canonical name (ja, zh_CN): the templates
    // translated into it are used where they are shipped.
    void SetLanguage(const wxString& strLanguage) { m_strLanguage = strLanguage; }

    // The page text becomes the template, or the fallback page.
    void LoadPageTemplate(const wxString& strTemplate);
    // The start page, with the program's version and the latest published one.
    const wxString& ShowVersionPage(const wxString& strLatestVersion);
    // The analysis report of the manager's current results, generated now,
    // with the Changes section when a comparison is given.
    const wxString& GenerateReport(const CountingManager& manager, const FilterParam& filter,
                                   const AnalysisParam& param, const wxString& strLatestVersion,
                                   const struct ChangeFigures* pChanges = nullptr);

    const wxString& GetPageText() const { return m_strPageText; }

private:
    wxString m_strPageText;
    wxString m_strLanguage;
};

// Everything one analysis report shows, so that filling a template needs
// neither a counting manager nor the clock.
struct ReportFigures
{
    const TotalResult& total;
    const std::vector<std::unique_ptr<ExtensionResult>>& arrExtensionResults;
    const wxArrayString& arrDirectories; // the folders checked in the filter
    const wxArrayString& arrExtensions;  // the extensions checked in the filter
    const AnalysisParam& param;
    wxString strLatestVersion;
    wxDateTime dtGenerated;
    bool bPartial = false; // the count was stopped before its end
};

// What the report's Changes section shows: the files of a comparison that
// the filters leave visible, the two versions as the user named them.
struct ChangeFigures
{
    const ChangeSelection& selection;
    wxString strOld;
    wxString strNew;
};

// The full path of a template ("/conf/...") in the program's data folder: its
// variant for the language ("/conf/ja/...") when one is shipped, for the
// language without its region (ja for ja_JP) else, the English one otherwise.
wxString ReportTemplatePath(const wxString& strTemplate, const wxString& strLanguage = wxString());
// A whole template file decoded as UTF-8, or the fallback page when it
// cannot be opened or is not UTF-8.
wxString ReadPageTemplate(const wxString& strFullPath);

// The placeholder steps on a template's text.
wxString FillStartPage(wxString strPage, const wxString& strLatestVersion);
wxString FillReport(wxString strPage, const ReportFigures& figures);
// The Changes section, between the $changes_begin$ and $changes_end$
// placeholders (each inside an HTML comment), filled from pChanges; without
// a comparison the section is cut out of the page.
wxString FillChanges(wxString strPage, const ChangeFigures* pChanges, const AnalysisParam& param);
wxString ChangesByTypeRows(const std::vector<std::unique_ptr<ChangeGroup>>& arrExtensions);
// The rows of the table by file type, every second one shaded.
wxString LinesByTypeRows(const std::vector<std::unique_ptr<ExtensionResult>>& arrExtensionResults);

// The page with every width="12.34%" rounded to a whole percent: wxHtmlWindow
// ignores a width with decimals, which would collapse every bar of the
// charts. Browsers take the exact figures of the page text.
wxString WholePercentWidths(const wxString& strPage);

// Text for an HTML page: &, <, > and " become entities, and so does $, so
// that no inserted name can pose as a placeholder of a later step.
wxString EscapeHtml(const wxString& strText);
