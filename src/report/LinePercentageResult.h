#pragma once

class Result;

// The share of each line kind in a result's lines, in percent; the blank share
// is the remainder so the four add up to 100. All four are 0 for a result
// without lines.
class LinePercentageResult
{
public:
    explicit LinePercentageResult(const Result& result);
    virtual ~LinePercentageResult() = default;

    double m_fCodePercent = 0;
    double m_fCodeCommentPercent = 0;
    double m_fCommentPercent = 0;
    double m_fBlankPercent = 0;
};
