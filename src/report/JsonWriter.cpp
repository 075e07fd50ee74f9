#include "report/JsonWriter.h"

#include "config/Version.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "report/AnalysisParam.h"
#include "report/OutputFile.h"
#include "report/PhaseResult.h"
#include "report/Rounding.h"

#include <ctime>
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

// Rounded as the CSV writes it, so both exports hold the same numbers.
double Estimate(double fValue)
{
    return FixedValue(fValue, 2);
}

void PutCounts(Json& object, const Result& r)
{
    object["lines"] = r.m_nLines;
    object["code"] = r.m_nCodeLines;
    object["code_and_comment"] = r.m_nCodeCommentLines;
    object["comment"] = r.m_nCommentLines;
    object["blank"] = r.m_nBlankLines;
    object["size"] = r.m_nSize;
}

void PutEstimates(Json& object, const Result& r)
{
    object["man_hours"] = Estimate(r.m_fManHour);
    object["cost"] = Estimate(r.m_fCost);
    object["ut_cases"] = Estimate(r.m_fUTCases);
    object["ut_defects"] = Estimate(r.m_fUTDefects);
    object["it_cases"] = Estimate(r.m_fITCases);
    object["it_defects"] = Estimate(r.m_fITDefects);
}

Json Group(const std::string& strKey, const wxString& strName, const Result& r)
{
    Json group;
    PutName(group, strKey, strName);
    group["files"] = r.m_nFiles;
    PutCounts(group, r);
    return group;
}

// Local time with its offset from UTC (RFC 3339), so the date reads as the
// CSV's and the instant is still exact.
Json Modified(const wxDateTime& dt)
{
    if (!dt.IsValid())
        return nullptr;
    const std::time_t tTime = dt.GetTicks();
    std::tm tmLocal{};
    char szText[40];
    if (!localtime_r(&tTime, &tmLocal) ||
        std::strftime(szText, sizeof(szText), "%Y-%m-%dT%H:%M:%S%z", &tmLocal) == 0)
        return nullptr;
    std::string str = szText; // ...+0200
    str.insert(str.size() - 2, ":");
    return str;
}

Json Phase(double fCost, double fManMonths)
{
    return Json{{"cost", Estimate(fCost)}, {"man_months", Estimate(fManMonths)}};
}
} // namespace

std::string FormatResultJson(const CountingManager& manager, const AnalysisParam& param)
{
    Json root;
    root["generator"] = std::string("Linecast ") + LinecastVersion::TEXT;

    Json& parameters = root["parameters"] = Json::object();
    std::size_t nParams = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nParams);
    for (std::size_t i = 0; i < nParams; ++i)
        parameters[pInfos[i].name] = param.*(pInfos[i].field);

    const TotalResult& t = manager.m_totalResult;
    Json& total = root["total"];
    total["files"] = t.m_nFiles;
    PutCounts(total, t);
    PutEstimates(total, t);

    // Every file of the last run, hidden by the window's filter or not, as in
    // the CSV.
    Json& files = root["files"] = Json::array();
    for (const auto& pFile : manager.m_arrFileResults)
    {
        Json file;
        PutName(file, "path", pFile->m_strPath);
        PutName(file, "folder", pFile->m_strFolder);
        PutName(file, "file", pFile->m_strFile);
        file["extension"] = Utf8(NativePath::ToDisplay(pFile->m_strExt));
        PutCounts(file, *pFile);
        // The time of a file that could not be read is not known.
        file["modified"] = pFile->m_bUnreadable ? Json() : Modified(pFile->m_dtModified);
        PutEstimates(file, *pFile);
        file["unreadable"] = pFile->m_bUnreadable;
        files.push_back(std::move(file));
    }

    Json& folders = root["folders"] = Json::array();
    for (const auto& pDir : manager.m_arrDirectoryResults)
        folders.push_back(Group("folder", pDir->m_strName, *pDir));
    Json& extensions = root["extensions"] = Json::array();
    for (const auto& pExt : manager.m_arrExtensionResults)
        extensions.push_back(Group("extension", pExt->m_strName, *pExt));

    const PhaseResult phases(t, param);
    root["phases"] = {
        {"low_level_design", Phase(phases.m_fLLDCost, phases.m_fLLDManMonth)},
        {"coding", Phase(phases.m_fCDCost, phases.m_fCDManMonth)},
        {"unit_test", Phase(phases.m_fUTCost, phases.m_fUTManMonth)},
        {"integration_test", Phase(phases.m_fITCost, phases.m_fITManMonth)},
        {"total", Phase(phases.m_fTotalCost, phases.m_fTotalManMonth)},
    };

    // What the run left out, in the order it met it, then the files it could
    // not read (those are still counted, as empty files).
    Json& skipped = root["skipped"] = Json::array();
    for (const SkippedPath& path : manager.m_arrSkippedPaths)
    {
        const bool bFolder = path.m_nKind == SkippedPath::FOLDER;
        Json entry;
        PutName(entry, "path", path.m_strPath);
        entry["kind"] = bFolder ? "folder" : "file";
        entry["reason"] = bFolder ? "already included" : "already counted under another name";
        PutName(entry, "included_as", path.m_strIncludedAs);
        skipped.push_back(std::move(entry));
    }
    for (const auto& pFile : manager.m_arrFileResults)
    {
        if (!pFile->m_bUnreadable)
            continue;
        Json entry;
        PutName(entry, "path", pFile->m_strPath);
        entry["kind"] = "file";
        entry["reason"] = "could not be read; counted as an empty file";
        skipped.push_back(std::move(entry));
    }

    // Every text above is valid UTF-8; replacing rather than throwing is only
    // the last line of defence.
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool WriteResultJson(const CountingManager& manager, const AnalysisParam& param,
                     const wxString& strPath, wxString& strError)
{
    return WriteOutputFile(strPath, FormatResultJson(manager, param), strError);
}
