#include "report/ChangeCsvWriter.h"

#include "compare/Comparison.h"
#include "report/CsvText.h"
#include "report/CsvWriter.h"
#include "report/OutputFile.h"
#include "report/Rounding.h"

#include <wx/intl.h>

namespace
{
const char* const KIND_NAMES[ChangeResult::KIND_COUNT] = {"Lines", "Code lines", "Code//Comment",
                                                          "Comment lines", "Blank lines"};

// The columns every row of figures has, after its names.
std::string FigureColumns()
{
    std::string str = ",Lines added,Lines removed";
    for (const char* szKind : KIND_NAMES)
        for (const char* szWhat : {" same", " modified", " added", " removed"})
            str += std::string(",") + szKind + szWhat;
    return str + ",Changed code lines,Man-hour,Cost,UT Cases,UT Defects,IT Cases,IT Defects";
}

std::string Figures(const ChangeResult& r)
{
    std::string str = "," + CsvText::Int(r.LinesAdded()) + "," + CsvText::Int(r.LinesRemoved());
    for (const LineChanges& kind : r.m_arrKinds)
        for (std::int64_t n : {kind.m_nSame, kind.m_nModified, kind.m_nAdded, kind.m_nRemoved})
            str += "," + CsvText::Int(n);
    const Result& c = r.m_changed;
    str += "," + CsvText::Int(c.m_nCodeLines + c.m_nCodeCommentLines);
    for (double f :
         {c.m_fManHour, c.m_fCost, c.m_fUTCases, c.m_fUTDefects, c.m_fITCases, c.m_fITDefects})
        str += "," + FixedText(f, 2);
    return str;
}

std::string FileCounts(const ChangeResult& r)
{
    std::string str = "," + CsvText::Int(r.m_nFiles);
    for (std::int64_t n : r.m_arrFiles)
        str += "," + CsvText::Int(n);
    return str;
}
} // namespace

std::string FormatChangeCsv(const Comparison& comparison, const wxString& strOld,
                            const wxString& strNew, bool bHeader)
{
    CsvText csv;
    if (bHeader)
        csv.Header();

    const ChangeResult& t = comparison.m_total;
    csv.Title(_("# --- Total change ---"));
    csv.Line("Old version," + CsvField(strOld));
    csv.Line("New version," + CsvField(strNew));
    csv.Empty();
    csv.Line("Files," + CsvText::Int(t.m_nFiles));
    for (int i = 0; i < ChangeResult::STATUS_COUNT; ++i)
        csv.Line(std::string("Files ") + ChangeResult::StatusName(ChangeResult::Status(i)) + "," +
                 CsvText::Int(t.m_arrFiles[i]));
    csv.Empty();
    csv.Line("Kind,Same,Modified,Added,Removed");
    for (int i = 0; i < ChangeResult::KIND_COUNT; ++i)
    {
        const LineChanges& kind = t.m_arrKinds[i];
        csv.Line(std::string(KIND_NAMES[i]) + "," + CsvText::Int(kind.m_nSame) + "," +
                 CsvText::Int(kind.m_nModified) + "," + CsvText::Int(kind.m_nAdded) + "," +
                 CsvText::Int(kind.m_nRemoved));
    }
    csv.Empty();
    const Result& c = t.m_changed;
    csv.Line("Changed code lines," + CsvText::Int(c.m_nCodeLines + c.m_nCodeCommentLines));
    csv.Line("Man-hour," + FixedText(c.m_fManHour, 2));
    csv.Line("Cost," + FixedText(c.m_fCost, 2));
    csv.Line("UT Cases," + FixedText(c.m_fUTCases, 2));
    csv.Line("UT Defects," + FixedText(c.m_fUTDefects, 2));
    csv.Line("IT Cases," + FixedText(c.m_fITCases, 2));
    csv.Line("IT Defects," + FixedText(c.m_fITDefects, 2));
    csv.Empty();

    const std::string strGroupColumns =
        ",Files,Files same,Files modified,Files added,Files removed" + FigureColumns();
    csv.Title(_("# --- Change by directory ---"));
    csv.Line("Folder" + strGroupColumns);
    for (const auto& pDir : comparison.m_arrFolders)
        csv.Line(CsvField(pDir->m_strName) + FileCounts(*pDir) + Figures(*pDir));
    csv.Empty();

    csv.Title(_("# --- Change by extension ---"));
    csv.Line("Type" + strGroupColumns);
    for (const auto& pExt : comparison.m_arrExtensions)
        csv.Line(CsvField(pExt->m_strName) + FileCounts(*pExt) + Figures(*pExt));
    csv.Empty();

    csv.Title(_("# --- Change by file ---"));
    csv.Line("Folder,File,Type,Status" + FigureColumns());
    for (const auto& pFile : comparison.m_arrFiles)
        csv.Line(CsvField(pFile->m_strFolder) + "," + CsvField(pFile->m_strFile) + "," +
                 CsvField(pFile->m_strExt) + "," + ChangeResult::StatusName(pFile->m_nStatus) +
                 Figures(*pFile));
    return csv.m_str;
}

bool WriteChangeCsv(const Comparison& comparison, const wxString& strOld, const wxString& strNew,
                    const wxString& strPath, wxString& strError)
{
    return WriteOutputFile(strPath, FormatChangeCsv(comparison, strOld, strNew), strError);
}
