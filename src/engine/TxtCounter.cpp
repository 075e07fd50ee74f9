#include "engine/TxtCounter.h"

#include "engine/LineReader.h"

void TxtCounter::CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t&, std::int64_t&,
                            std::int64_t&, std::int64_t& nBlankLines)
{
    std::string_view line;
    while (lines.Next(line))
    {
        ++nLines;
        if (Trim(line).empty())
            ++nBlankLines;
    }
}
