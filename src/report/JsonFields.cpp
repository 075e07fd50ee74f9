#include "report/JsonFields.h"

#include "engine/NativePath.h"
#include "engine/Result.h"
#include "report/AnalysisParam.h"
#include "report/PhaseResult.h"
#include "report/Rounding.h"

#include <wx/base64.h>

namespace JsonFields
{
std::string Utf8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

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

double Estimate(double fValue)
{
    return FixedValue(fValue, 2);
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

Json Parameters(const AnalysisParam& param)
{
    Json parameters = Json::object();
    std::size_t nParams = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nParams);
    for (std::size_t i = 0; i < nParams; ++i)
        parameters[pInfos[i].name] = param.*(pInfos[i].field);
    return parameters;
}

Json Phases(const Result& total, const AnalysisParam& param)
{
    const PhaseResult phases(total, param);
    const auto phase = [](double fCost, double fManMonths) {
        return Json{{"cost", Estimate(fCost)}, {"man_months", Estimate(fManMonths)}};
    };
    return {
        {"low_level_design", phase(phases.m_fLLDCost, phases.m_fLLDManMonth)},
        {"coding", phase(phases.m_fCDCost, phases.m_fCDManMonth)},
        {"unit_test", phase(phases.m_fUTCost, phases.m_fUTManMonth)},
        {"integration_test", phase(phases.m_fITCost, phases.m_fITManMonth)},
        {"total", phase(phases.m_fTotalCost, phases.m_fTotalManMonth)},
    };
}

void PutSkipped(Json& skipped, const std::vector<SkippedPath>& arrSkipped)
{
    for (const SkippedPath& path : arrSkipped)
    {
        const bool bFolder = path.m_nKind == SkippedPath::FOLDER;
        Json entry;
        PutName(entry, "path", path.m_strPath);
        entry["kind"] = bFolder ? "folder" : "file";
        switch (path.m_nReason)
        {
        case SkippedPath::ALREADY_INCLUDED:
            entry["reason"] = bFolder ? "already included" : "already counted under another name";
            PutName(entry, "included_as", path.m_strIncludedAs);
            break;
        case SkippedPath::MISSING:
            entry["reason"] = "does not exist";
            break;
        case SkippedPath::UNREADABLE:
            entry["reason"] = "cannot be read";
            break;
        }
        skipped.push_back(std::move(entry));
    }
}
} // namespace JsonFields
