#pragma once

#include "engine/SkippedPath.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>
#include <wx/string.h>

class AnalysisParam;
class Result;

// The pieces the JSON exports share (JsonWriter, ChangeJsonWriter), so that a
// count and a comparison write names, estimates, parameters, phases and what
// was skipped alike.
namespace JsonFields
{
// Keys stay in the order they are written, the order a reader expects.
using Json = nlohmann::ordered_json;

std::string Utf8(const wxString& str);
// A name as text under strKey and, when its bytes are not UTF-8, those bytes
// under strKey + "_bytes" in base64: the text alone would lose them.
void PutName(Json& object, const std::string& strKey, const wxString& strName);
// Rounded as the CSV writes it, so both exports hold the same numbers.
double Estimate(double fValue);
// The six estimates of a file or a sum.
void PutEstimates(Json& object, const Result& r);
// The ten analysis parameters by name.
Json Parameters(const AnalysisParam& param);
// Cost and man-months of the four phases and in total, from the code lines
// of total.
Json Phases(const Result& total, const AnalysisParam& param);
// Appends to skipped what a run left out as already included.
void PutSkipped(Json& skipped, const std::vector<SkippedPath>& arrSkipped);
} // namespace JsonFields
