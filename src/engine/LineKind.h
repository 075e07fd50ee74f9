#pragma once

#include <cstdint>
#include <vector>

// What a counter made of one line, as bits: each set bit is one of the counts
// the line adds to. A comment-rule counter gives every line exactly one kind;
// the markup counters may count a line of script with a comment as a code line
// and as a comment line (CODE | COMMENT), and count markup in the total only
// (no bit).
namespace LineKind
{
constexpr unsigned TOTAL_ONLY = 0;
constexpr unsigned CODE = 1;
constexpr unsigned COMMENT = 2;
constexpr unsigned CODE_COMMENT = 4; // a code-and-comment line
constexpr unsigned BLANK = 8;
} // namespace LineKind

// The kinds of a file's lines, in line order.
using LineKinds = std::vector<std::uint8_t>;
