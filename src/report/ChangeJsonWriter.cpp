#include "report/ChangeJsonWriter.h"

#include "compare/Comparison.h"
#include "config/Version.h"
#include "engine/NativePath.h"
#include "report/AnalysisParam.h"
#include "report/OutputFile.h"
#include "report/PhaseResult.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <wx/base64.h>

namespace
{
// Keys stay in the order they are written, the order a reader expects.
using Json = nlohmann::ordered_json;

std::string Utf8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

// A name as text under strKey and, when its bytes are not UTF-8, those bytes
// under strKey + "_bytes" in base64: the text alone would lose them.
void PutName(Json& object, const std::string& strKey, const wxString& strName)
{
    const wxString strShown = NativePath::ToDisplay(strName);
    object[strKey] = Utf8(strShown);
    if (strShown != strName)
    {
        const std::string strBytes = NativePath::ToBytes(strName);
        object[strKey + "_bytes"] = Utf8(wxBase64Encode(strBytes.data(), strBytes.size()));
    }
}

// Estimates are held in hundredths: written as such, without binary noise.
double Hundredths(double fValue)
{
    return std::round(fValue * 100) / 100;
}

void PutFigures(Json& object, const ChangeResult& r)
{
    static const char* const KINDS[ChangeResult::KIND_COUNT] = {"lines", "code", "code_and_comment",
                                                                "comment", "blank"};
    object["lines_added"] = r.LinesAdded();
    object["lines_removed"] = r.LinesRemoved();
    for (int i = 0; i < ChangeResult::KIND_COUNT; ++i)
    {
        const LineChanges& kind = r.m_arrKinds[i];
        object[KINDS[i]] = Json{{"same", kind.m_nSame},
                                {"modified", kind.m_nModified},
                                {"added", kind.m_nAdded},
                                {"removed", kind.m_nRemoved}};
    }
    const Result& c = r.m_changed;
    object["changed_code"] = c.m_nCodeLines + c.m_nCodeCommentLines;
    object["man_hours"] = Hundredths(c.m_fManHour);
    object["cost"] = Hundredths(c.m_fCost);
    object["ut_cases"] = Hundredths(c.m_fUTCases);
    object["ut_defects"] = Hundredths(c.m_fUTDefects);
    object["it_cases"] = Hundredths(c.m_fITCases);
    object["it_defects"] = Hundredths(c.m_fITDefects);
}

Json Sum(const ChangeResult& r)
{
    Json sum;
    sum["files"] = r.m_nFiles;
    for (int i = 0; i < ChangeResult::STATUS_COUNT; ++i)
        sum[std::string("files_") + ChangeResult::StatusName(ChangeResult::Status(i))] =
            r.m_arrFiles[i];
    PutFigures(sum, r);
    return sum;
}

Json Group(const std::string& strKey, const ChangeGroup& group)
{
    Json object;
    PutName(object, strKey, group.m_strName);
    object.update(Sum(group));
    return object;
}
} // namespace

std::string FormatChangeJson(const Comparison& comparison, const wxString& strOld,
                             const wxString& strNew, const AnalysisParam& param)
{
    Json root;
    root["generator"] = std::string("Linecast ") + LinecastVersion::TEXT;
    PutName(root, "old", strOld);
    PutName(root, "new", strNew);

    Json parameters = Json::object();
    std::size_t nCount = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nCount);
    for (std::size_t i = 0; i < nCount; ++i)
        parameters[pInfos[i].name] = param.*(pInfos[i].field);
    root["parameters"] = parameters;

    root["total"] = Sum(comparison.m_total);
    const PhaseResult phases(comparison.m_total.m_changed, param);
    root["phases"] = Json{
        {"low_level_design", {{"cost", phases.m_fLLDCost}, {"man_months", phases.m_fLLDManMonth}}},
        {"coding", {{"cost", phases.m_fCDCost}, {"man_months", phases.m_fCDManMonth}}},
        {"unit_test", {{"cost", phases.m_fUTCost}, {"man_months", phases.m_fUTManMonth}}},
        {"integration_test", {{"cost", phases.m_fITCost}, {"man_months", phases.m_fITManMonth}}},
        {"total", {{"cost", phases.m_fTotalCost}, {"man_months", phases.m_fTotalManMonth}}}};

    Json folders = Json::array();
    for (const auto& pDir : comparison.m_arrFolders)
        folders.push_back(Group("folder", *pDir));
    root["folders"] = std::move(folders);
    Json extensions = Json::array();
    for (const auto& pExt : comparison.m_arrExtensions)
        extensions.push_back(Group("extension", *pExt));
    root["extensions"] = std::move(extensions);

    Json files = Json::array();
    for (const auto& pFile : comparison.m_arrFiles)
    {
        Json file;
        PutName(file, "path", pFile->m_strPath);
        file["status"] = ChangeResult::StatusName(pFile->m_nStatus);
        file["extension"] = Utf8(pFile->m_strExt);
        PutFigures(file, *pFile);
        if (pFile->m_bUnreadable)
            file["unreadable"] = true;
        files.push_back(std::move(file));
    }
    root["files"] = std::move(files);
    // Names that are not UTF-8 are escaped above; anything else is replaced
    // rather than failing the whole export.
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool WriteChangeJson(const Comparison& comparison, const wxString& strOld, const wxString& strNew,
                     const AnalysisParam& param, const wxString& strPath, wxString& strError)
{
    return WriteOutputFile(strPath, FormatChangeJson(comparison, strOld, strNew, param), strError);
}
