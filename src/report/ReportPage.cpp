#include "report/ReportPage.h"

#include "compare/ChangeSelection.h"
#include "config/DataFiles.h"
#include "config/Version.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "report/AnalysisParam.h"
#include "report/LinePercentageResult.h"
#include "report/PhaseResult.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>

const char* const ReportPage::START_TEMPLATE = "/conf/quorvel_index.html";
const char* const ReportPage::REPORT_TEMPLATE = "/conf/report_tpl.html";
const char* const ReportPage::FALLBACK_PAGE =
    "<html><body><h2>Welcome to use Linecast!</h2>\t\t\t\t\t\t\t<br>"
    "The default report page seems to be missing...</body></html>";

namespace
{
// Numbers as printf's "%W.Nf" writes them in the C locale. The report must
// not follow the user's locale: a decimal comma in width="29,41%" would break
// every bar of the charts.
wxString Fixed(double fValue, int nDecimals, int nWidth = 2)
{
    // A share that rounds to nothing is 0, not "-0.00"; a share of nothing
    // (0 / 0) is 0, not "nan".
    if (!std::isfinite(fValue) || std::fabs(fValue) < 0.5 * std::pow(10.0, -nDecimals))
        fValue = 0;
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof(buf), fValue, std::chars_format::fixed, nDecimals);
    wxString str(buf, res.ptr - buf);
    if (static_cast<int>(str.length()) < nWidth)
        str.insert(0, nWidth - str.length(), ' ');
    return str;
}

wxString Percent(double fValue)
{
    return Fixed(fValue, 2) + "%";
}

wxString Int(std::int64_t nValue)
{
    return wxString::Format("%lld", static_cast<long long>(nValue));
}

// "first" replaces the first occurrence still in the page, "all" every one.
enum Mode
{
    FIRST,
    ALL
};

void Put(wxString& strPage, const wxString& strPlaceholder, const wxString& strValue, Mode mode)
{
    strPage.Replace(strPlaceholder, strValue, mode == ALL);
}

wxString YourVersion()
{
    return EscapeHtml(_("Your Version - ") + LinecastVersion::TEXT);
}

// A folder or extension name as the page shows it: bytes that are not UTF-8
// as U+FFFD (the page is UTF-8 text, in the pane and in a saved file), then
// escaped.
wxString NameHtml(const wxString& strName)
{
    return EscapeHtml(NativePath::ToDisplay(strName));
}

wxString LatestVersion(const wxString& strLatestVersion)
{
    // The text comes from the network.
    return EscapeHtml(_("Latest Version - ") + strLatestVersion);
}
} // namespace

wxString EscapeHtml(const wxString& strText)
{
    wxString str;
    str.reserve(strText.length());
    for (const wxUniChar c : strText)
    {
        switch (c.GetValue())
        {
        case '&':
            str += "&amp;";
            break;
        case '<':
            str += "&lt;";
            break;
        case '>':
            str += "&gt;";
            break;
        case '"':
            str += "&quot;";
            break;
        case '$':
            str += "&#36;";
            break;
        default:
            str += c;
        }
    }
    return str;
}

wxString WholePercentWidths(const wxString& strPage)
{
    // One pass that copies the page once: a kernel-sized report holds
    // hundreds of thousands of characters and thousands of widths, so
    // cutting the rest of the page off after every width would copy it over
    // and over. What is rounded is a width="N.N%" attribute's number (quote
    // optional, any case); everything else stays as it was.
    static const wxString strAttribute = "width=";
    const auto isDigit = [](wxUniChar c) { return c >= '0' && c <= '9'; };
    const size_t nLength = strPage.length();
    wxString strResult;
    strResult.reserve(nLength);
    size_t nCopied = 0; // strPage before this is in strResult
    for (size_t nAt = strPage.find_first_of("wW"); nAt != wxString::npos;
         nAt = strPage.find_first_of("wW", nAt + 1))
    {
        if (strPage.substr(nAt, strAttribute.length()).Lower() != strAttribute)
            continue;
        size_t nNumber = nAt + strAttribute.length();
        if (nNumber < nLength && strPage[nNumber] == '"')
            ++nNumber;
        size_t nEnd = nNumber;
        while (nEnd < nLength && isDigit(strPage[nEnd]))
            ++nEnd;
        if (nEnd == nNumber || nEnd == nLength || strPage[nEnd] != '.')
            continue;
        ++nEnd;
        while (nEnd < nLength && isDigit(strPage[nEnd]))
            ++nEnd;
        if (nEnd == nLength || strPage[nEnd] != '%')
            continue;
        double fPercent = 0;
        strPage.substr(nNumber, nEnd - nNumber).ToCDouble(&fPercent);
        strResult.append(strPage, nCopied, nNumber - nCopied);
        strResult += Int(std::lround(fPercent));
        nCopied = nEnd;
        nAt = nEnd;
    }
    strResult.append(strPage, nCopied, wxString::npos);
    return strResult;
}

wxString ReportTemplatePath(const wxString& strTemplate, const wxString& strLanguage)
{
    // The templates are read-only data shipped with the program, found where
    // its other data is: beside it in the build, in share/ once installed.
    const wxString strRelative = strTemplate.Mid(1);
    const wxString strFolder = strRelative.BeforeLast('/');
    const wxString strName = strRelative.AfterLast('/');
    // A language name is a folder name here: nothing that leaves the folder.
    const bool bPlainName =
        !strLanguage.empty() && strLanguage.find_first_of("/\\.") == wxString::npos;
    if (bPlainName && !strFolder.empty())
    {
        for (const wxString& strVariant : {strLanguage, strLanguage.BeforeFirst('_')})
        {
            const wxString strPath = DataFilePath(strFolder + "/" + strVariant + "/" + strName);
            if (wxFileName::FileExists(strPath))
                return strPath;
        }
    }
    return DataFilePath(strRelative);
}

wxString ReadPageTemplate(const wxString& strFullPath)
{
    // A missing template is no error to report: the fallback page says it.
    wxLogNull noLog;
    // Only a regular file: opening a FIFO would block the window for good.
    if (wxFileName::FileExists(strFullPath))
    {
        wxFile file(strFullPath);
        const wxFileOffset nLength = file.IsOpened() ? file.Length() : wxInvalidOffset;
        if (nLength != wxInvalidOffset)
        {
            std::string strBytes(static_cast<size_t>(nLength), '\0');
            if (file.Read(strBytes.data(), strBytes.size()) == static_cast<ssize_t>(nLength))
            {
                const wxString strText = wxString::FromUTF8(strBytes.data(), strBytes.size());
                // Bytes that are not UTF-8 decode to nothing.
                if (!strText.empty() || strBytes.empty())
                    return strText;
            }
        }
    }
    return ReportPage::FALLBACK_PAGE;
}

wxString FillStartPage(wxString strPage, const wxString& strLatestVersion)
{
    Put(strPage, "$your_version$", YourVersion(), FIRST);
    Put(strPage, "$latest_version$", LatestVersion(strLatestVersion), FIRST);
    return strPage;
}

wxString LinesByTypeRows(const std::vector<std::unique_ptr<ExtensionResult>>& arrExtensionResults)
{
    wxString strRows;
    for (size_t i = 0; i < arrExtensionResults.size(); ++i)
    {
        const ExtensionResult& ext = *arrExtensionResults[i];
        strRows += i % 2 == 0 ? "<tr>" : "<tr bgcolor=\"#eef4e2\">";
        strRows += "<td>" + NameHtml(ext.m_strName) + "</td>";
        for (std::int64_t n : {ext.m_nFiles, ext.m_nSize, ext.m_nLines, ext.m_nCodeLines,
                               ext.m_nCodeCommentLines, ext.m_nCommentLines, ext.m_nBlankLines})
            strRows += "<td align=\"right\">" + Int(n) + "</td>";
        strRows += "</tr>";
    }
    return strRows;
}

wxString FillReport(wxString strPage, const ReportFigures& figures)
{
    const TotalResult& t = figures.total;
    const LinePercentageResult lines(t);
    const PhaseResult phases(t, figures.param);
    // Line and phase shares read "0%" when no line was counted.
    const bool bLines = t.m_nLines != 0;
    const auto lineShare = [bLines](double fPercent)
    { return bLines ? Percent(fPercent) : wxString("0%"); };

    Put(strPage, "$report_title$", EscapeHtml(_("Linecast Analysis Report")), ALL);
    Put(strPage, "$gen_time$",
        figures.dtGenerated.Format("%Y-%m-%d") + " " + figures.dtGenerated.Format("%H:%M:%S"),
        FIRST);
    Put(strPage, "$your_version$", YourVersion(), FIRST);
    Put(strPage, "$latest_version$", LatestVersion(figures.strLatestVersion), FIRST);

    wxString strDirs;
    for (const wxString& strDir : figures.arrDirectories)
        strDirs += NameHtml(strDir) + "<br>";
    Put(strPage, "$str_counting_dirs$", strDirs, FIRST);
    wxString strExts;
    for (const wxString& strExt : figures.arrExtensions)
        strExts += NameHtml(strExt) + ";";
    Put(strPage, "$str_counting_exts$", strExts, FIRST);

    Put(strPage, "$n_files$", Int(t.m_nFiles), FIRST);
    Put(strPage, "$n_size$", Int(t.m_nSize), FIRST);
    Put(strPage, "$n_lines$", Int(t.m_nLines), FIRST);
    Put(strPage, "$n_code_lines$", Int(t.m_nCodeLines), FIRST);
    Put(strPage, "$n_code_parcentage$", lineShare(lines.m_fCodePercent), ALL);
    Put(strPage, "$n_code_comm_lines$", Int(t.m_nCodeCommentLines), FIRST);
    Put(strPage, "$n_code_comm_parcentage$", lineShare(lines.m_fCodeCommentPercent), ALL);
    Put(strPage, "$n_comm_lines$", Int(t.m_nCommentLines), FIRST);
    Put(strPage, "$n_comm_parcentage$", lineShare(lines.m_fCommentPercent), ALL);
    Put(strPage, "$n_blank_lines$", Int(t.m_nBlankLines), FIRST);
    Put(strPage, "$n_blank_parcentage$", lineShare(lines.m_fBlankPercent), ALL);
    Put(strPage, "$str_lines_by_type$", LinesByTypeRows(figures.arrExtensionResults), ALL);

    // Test shares: cases of each kind among all cases, defects against all
    // cases (for the chart) and against the cases of their own kind.
    const double fUTc = t.m_fUTCases, fUTd = t.m_fUTDefects;
    const double fITc = t.m_fITCases, fITd = t.m_fITDefects;
    const auto testShare = [fUTc](double fPart, double fWhole)
    { return fUTc > 0 ? Percent(100 * fPart / fWhole) : wxString("0%"); };
    Put(strPage, "$n_ut_case$", Fixed(fUTc, 0), FIRST);
    Put(strPage, "$n_ut_defect$", Fixed(fUTd, 0), FIRST);
    Put(strPage, "$n_ut_case_parcentage$", testShare(fUTc, fUTc + fITc), FIRST);
    Put(strPage, "$n_ut_defect_parcentage_chart$", testShare(fUTd, fUTc + fITc), FIRST);
    Put(strPage, "$n_ut_defect_parcentage$", testShare(fUTd, fUTc), FIRST);
    Put(strPage, "$n_it_case$", Fixed(fITc, 0), FIRST);
    Put(strPage, "$n_it_defect$", Fixed(fITd, 0), FIRST);
    Put(strPage, "$n_it_case_parcentage$", testShare(fITc, fUTc + fITc), FIRST);
    // The template's second chart placeholder is the integration test's.
    Put(strPage, "$n_ut_defect_parcentage_chart$", testShare(fITd, fUTc + fITc), FIRST);
    Put(strPage, "$n_it_defect_parcentage$", testShare(fITd, fITc), FIRST);

    Put(strPage, "$n_total_cost$", Fixed(phases.m_fTotalCost, 2), FIRST);
    Put(strPage, "$n_cost_lld$", Fixed(phases.m_fLLDCost, 2), FIRST);
    Put(strPage, "$n_cost_lld_parcentage$", lineShare(phases.m_fLLDCostPercent), ALL);
    Put(strPage, "$n_cost_coding$", Fixed(phases.m_fCDCost, 2), FIRST);
    Put(strPage, "$n_cost_coding_parcentage$", lineShare(phases.m_fCDCostPercent), ALL);
    Put(strPage, "$n_cost_ut$", Fixed(phases.m_fUTCost, 2), FIRST);
    Put(strPage, "$n_cost_ut_parcentage$", lineShare(phases.m_fUTCostPercent), ALL);
    Put(strPage, "$n_cost_it$", Fixed(phases.m_fITCost, 2), FIRST);
    Put(strPage, "$n_cost_it_parcentage$", lineShare(phases.m_fITCostPercent), ALL);
    Put(strPage, "$n_total_mm$", Fixed(phases.m_fTotalManMonth, 2), FIRST);
    Put(strPage, "$n_mm_lld$", Fixed(phases.m_fLLDManMonth, 2), FIRST);
    Put(strPage, "$n_mm_lld_parcentage$", lineShare(phases.m_fLLDManMonthPercent), ALL);
    Put(strPage, "$n_mm_coding$", Fixed(phases.m_fCDManMonth, 2), FIRST);
    Put(strPage, "$n_mm_coding_parcentage$", lineShare(phases.m_fCDManMonthPercent), ALL);
    Put(strPage, "$n_mm_ut$", Fixed(phases.m_fUTManMonth, 2), FIRST);
    Put(strPage, "$n_mm_ut_parcentage$", lineShare(phases.m_fUTManMonthPercent), ALL);
    Put(strPage, "$n_mm_it$", Fixed(phases.m_fITManMonth, 2), FIRST);
    Put(strPage, "$n_mm_it_parcentage$", lineShare(phases.m_fITManMonthPercent), ALL);

    // The parameters the estimates above were computed with, and whether the
    // figures cover the whole count.
    const AnalysisParam& param = figures.param;
    for (const auto& [szName, nValue] : {std::pair{"$param_mm_lines$", param.m_nManMonthLines},
                                         {"$param_mm_days$", param.m_nManMonthDays},
                                         {"$param_mm_cost$", param.m_nManMonthCost},
                                         {"$param_ut_case_density$", param.m_nUTCaseDensity},
                                         {"$param_ut_defect_density$", param.m_nUTDefectDensity},
                                         {"$param_it_case_density$", param.m_nITCaseDensity},
                                         {"$param_it_defect_density$", param.m_nITDefectDensity},
                                         {"$param_lld_percent$", param.m_nLLDPercent},
                                         {"$param_ut_percent$", param.m_nUTPercent},
                                         {"$param_it_percent$", param.m_nITPercent}})
        Put(strPage, szName, Int(nValue), ALL);
    Put(strPage, "$str_partial_notice$",
        figures.bPartial ? EscapeHtml(_("Partial results: the count was stopped before it "
                                        "reached every file."))
                         : wxString(),
        ALL);
    return strPage;
}

wxString ChangesByTypeRows(const std::vector<std::unique_ptr<ChangeGroup>>& arrExtensions)
{
    wxString strRows;
    for (size_t i = 0; i < arrExtensions.size(); ++i)
    {
        const ChangeGroup& ext = *arrExtensions[i];
        const Result& changed = ext.m_changed;
        strRows += i % 2 == 0 ? "<tr>" : "<tr bgcolor=\"#eef4e2\">";
        strRows += "<td>" + NameHtml(ext.m_strName) + "</td>";
        for (std::int64_t n :
             {ext.m_nFiles, ext.m_arrFiles[ChangeResult::STATUS_MODIFIED],
              ext.m_arrFiles[ChangeResult::STATUS_ADDED],
              ext.m_arrFiles[ChangeResult::STATUS_REMOVED], ext.LinesAdded(), ext.LinesRemoved(),
              changed.m_nCodeLines + changed.m_nCodeCommentLines})
            strRows += "<td align=\"right\">" + Int(n) + "</td>";
        strRows += "</tr>";
    }
    return strRows;
}

wxString FillChanges(wxString strPage, const ChangeFigures* pChanges, const AnalysisParam& param)
{
    static const char* const BEGIN = "<!--$changes_begin$-->";
    static const char* const END = "<!--$changes_end$-->";
    const size_t nBegin = strPage.find(BEGIN);
    const size_t nEnd = strPage.find(END);
    if (nBegin == wxString::npos || nEnd == wxString::npos || nEnd < nBegin)
        return strPage;
    if (!pChanges)
        return strPage.erase(nBegin, nEnd + std::strlen(END) - nBegin);
    strPage.erase(nEnd, std::strlen(END));
    strPage.erase(nBegin, std::strlen(BEGIN));

    const ChangeResult& t = pChanges->selection.m_total;
    Put(strPage, "$str_change_old$", NameHtml(pChanges->strOld), ALL);
    Put(strPage, "$str_change_new$", NameHtml(pChanges->strNew), ALL);
    Put(strPage, "$n_change_files$", Int(t.m_nFiles), ALL);
    static const char* const STATUSES[ChangeResult::STATUS_COUNT] = {"same", "modified", "added",
                                                                     "removed"};
    for (int i = 0; i < ChangeResult::STATUS_COUNT; ++i)
        Put(strPage, wxString::Format("$n_change_files_%s$", STATUSES[i]), Int(t.m_arrFiles[i]),
            ALL);
    Put(strPage, "$n_change_lines_added$", Int(t.LinesAdded()), ALL);
    Put(strPage, "$n_change_lines_removed$", Int(t.LinesRemoved()), ALL);
    static const char* const KINDS[ChangeResult::KIND_COUNT] = {"all", "code", "code_comm", "comm",
                                                                "blank"};
    for (int i = 0; i < ChangeResult::KIND_COUNT; ++i)
    {
        const LineChanges& kind = t.m_arrKinds[i];
        const std::int64_t arrValues[] = {kind.m_nSame, kind.m_nModified, kind.m_nAdded,
                                          kind.m_nRemoved};
        for (int j = 0; j < ChangeResult::STATUS_COUNT; ++j)
            Put(strPage, wxString::Format("$n_change_%s_%s$", KINDS[i], STATUSES[j]),
                Int(arrValues[j]), ALL);
    }
    Put(strPage, "$str_changes_by_type$", ChangesByTypeRows(pChanges->selection.m_arrExtensions),
        ALL);

    // The estimates of the changed code: code and code-with-comment lines
    // added and modified, costed as a count costs its code.
    const Result& c = t.m_changed;
    const PhaseResult phases(c, param);
    Put(strPage, "$n_change_code$", Int(c.m_nCodeLines + c.m_nCodeCommentLines), ALL);
    Put(strPage, "$n_change_total_mm$", Fixed(phases.m_fTotalManMonth, 2), ALL);
    Put(strPage, "$n_change_total_cost$", Fixed(phases.m_fTotalCost, 2), ALL);
    Put(strPage, "$n_change_mm_lld$", Fixed(phases.m_fLLDManMonth, 2), ALL);
    Put(strPage, "$n_change_mm_coding$", Fixed(phases.m_fCDManMonth, 2), ALL);
    Put(strPage, "$n_change_mm_ut$", Fixed(phases.m_fUTManMonth, 2), ALL);
    Put(strPage, "$n_change_mm_it$", Fixed(phases.m_fITManMonth, 2), ALL);
    Put(strPage, "$n_change_cost_lld$", Fixed(phases.m_fLLDCost, 2), ALL);
    Put(strPage, "$n_change_cost_coding$", Fixed(phases.m_fCDCost, 2), ALL);
    Put(strPage, "$n_change_cost_ut$", Fixed(phases.m_fUTCost, 2), ALL);
    Put(strPage, "$n_change_cost_it$", Fixed(phases.m_fITCost, 2), ALL);
    Put(strPage, "$n_change_ut_case$", Fixed(c.m_fUTCases, 0), ALL);
    Put(strPage, "$n_change_ut_defect$", Fixed(c.m_fUTDefects, 0), ALL);
    Put(strPage, "$n_change_it_case$", Fixed(c.m_fITCases, 0), ALL);
    Put(strPage, "$n_change_it_defect$", Fixed(c.m_fITDefects, 0), ALL);
    return strPage;
}

void ReportPage::LoadPageTemplate(const wxString& strTemplate)
{
    m_strPageText = ReadPageTemplate(ReportTemplatePath(strTemplate, m_strLanguage));
}

const wxString& ReportPage::ShowVersionPage(const wxString& strLatestVersion)
{
    LoadPageTemplate(START_TEMPLATE);
    m_strPageText = FillStartPage(m_strPageText, strLatestVersion);
    return m_strPageText;
}

const wxString& ReportPage::GenerateReport(const CountingManager& manager,
                                           const FilterParam& filter, const AnalysisParam& param,
                                           const wxString& strLatestVersion,
                                           const ChangeFigures* pChanges)
{
    LoadPageTemplate(REPORT_TEMPLATE);
    const ReportFigures figures{manager.m_totalResult,
                                manager.m_arrExtensionResults,
                                filter.m_arrDirectories,
                                filter.m_arrExtensions,
                                param,
                                strLatestVersion,
                                wxDateTime::Now(),
                                manager.m_bPartial};
    m_strPageText = FillChanges(FillReport(m_strPageText, figures), pChanges, param);
    return m_strPageText;
}
