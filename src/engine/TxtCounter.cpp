#include "engine/TxtCounter.h"

#include "engine/LineReader.h"

void TxtCounter::CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t&, std::int64_t&,
                            std::int64_t&, std::int64_t& nBlankLines)
{
    // Blank lines are the only kind plain text has.
    ForEachLine(lines, nLines, nBlankLines, [](std::string_view) {});
}
