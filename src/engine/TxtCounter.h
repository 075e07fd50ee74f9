#pragma once

#include "engine/Counter.h"

// Plain text: lines are only ever counted in the total and as blank lines.
// The rule's markers are not used.
class TxtCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override;
};
