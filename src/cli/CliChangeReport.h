#pragma once

#include <string>

class AnalysisParam;
class Comparison;

// The text linecast-cli prints for a comparison: the lines by file type, same,
// modified, added and removed, with a total row; the lines by kind; and the
// phase estimates of the changed code.
class CliChangeReport
{
public:
    virtual ~CliChangeReport() = default;

    static std::string Format(const Comparison& comparison, const AnalysisParam& param);
    static std::string FormatTypeTable(const Comparison& comparison);
    static std::string FormatKindTable(const Comparison& comparison);
};
