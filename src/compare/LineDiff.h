#pragma once

#include "compare/ChangeResult.h"
#include "engine/LineKind.h"

#include <string>
#include <string_view>

// The line diff of two versions of one file: a minimal diff (libgit2's) over
// the lines as the counter splits them (at LF, CR LF or a lone CR), compared
// byte for byte without their line ends. In each changed block the removed
// and added lines are paired in order; the pairs count as modified, the rest
// as removed or added.
class LineDiff
{
public:
    // Adds the per-kind figures of the change into change (its status and
    // files are left to the caller), each version's lines with their kinds.
    // False when the diff could not be made (a file too large for it): then
    // every old line counts as removed and every new one as added.
    static bool Compare(std::string_view oldBytes, const LineKinds& arrOldKinds,
                        std::string_view newBytes, const LineKinds& arrNewKinds,
                        ChangeResult& change);

    // Lines found in one version only, or the same in both.
    static void AddAll(const LineKinds& arrKinds, std::int64_t LineChanges::*pField,
                       ChangeResult& change);

    // The bytes with each line ended by one LF: the bytes themselves when
    // they already are, else a copy made in strCopy.
    static std::string_view LfLines(std::string_view bytes, std::string& strCopy);
};
