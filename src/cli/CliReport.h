#pragma once

#include <cstdint>
#include <string>

class AnalysisParam;
class CountingManager;
class Result;

// The text linecast-cli prints: the counts by file type with a total row, and
// the phase estimates, in aligned columns.
class CliReport
{
public:
    virtual ~CliReport() = default;

    // The table by file type, then the estimates of the four phases.
    static std::string Format(const CountingManager& manager, const AnalysisParam& param);
    static std::string FormatTypeTable(const CountingManager& manager);
    static std::string FormatEstimates(const CountingManager& manager, const AnalysisParam& param);
    // The estimates of the four phases from the code lines of total.
    static std::string FormatPhases(const Result& total, const AnalysisParam& param);
    // The file types of the loaded rules: type, rule type, description.
    static std::string FormatTypeList(const CountingManager& manager);

    // 1234567 as "1,234,567"; with decimals, "1,234.50".
    static std::string Grouped(std::int64_t nValue);
    static std::string Grouped(double fValue, int nDecimals);
};
