#include "compare/LineDiff.h"

#include "compare/GitLibrary.h"

#include <algorithm>
#include <cstring>
#include <git2.h>

namespace
{
void AddLine(unsigned nKind, std::int64_t LineChanges::*pField, ChangeResult& change)
{
    ++(change.m_arrKinds[ChangeResult::KIND_LINES].*pField);
    change.m_arrKinds[ChangeResult::KIND_CODE].*pField += (nKind & LineKind::CODE) != 0;
    change.m_arrKinds[ChangeResult::KIND_CODE_COMMENT].*pField +=
        (nKind & LineKind::CODE_COMMENT) != 0;
    change.m_arrKinds[ChangeResult::KIND_COMMENT].*pField += (nKind & LineKind::COMMENT) != 0;
    change.m_arrKinds[ChangeResult::KIND_BLANK].*pField += (nKind & LineKind::BLANK) != 0;
}

// What the hunks of one diff add up to.
struct Walk
{
    const LineKinds* pOld;
    const LineKinds* pNew;
    ChangeResult* pChange;
    bool bOutOfRange = false;
};

int OnHunk(const git_diff_delta*, const git_diff_hunk* pHunk, void* pPayload)
{
    Walk& walk = *static_cast<Walk*>(pPayload);
    // Lines are numbered from 1; a side without lines in the hunk has none to
    // look at.
    const std::size_t nOld = static_cast<std::size_t>(pHunk->old_lines);
    const std::size_t nNew = static_cast<std::size_t>(pHunk->new_lines);
    const std::size_t nOldFirst = nOld ? static_cast<std::size_t>(pHunk->old_start) - 1 : 0;
    const std::size_t nNewFirst = nNew ? static_cast<std::size_t>(pHunk->new_start) - 1 : 0;
    if (nOldFirst + nOld > walk.pOld->size() || nNewFirst + nNew > walk.pNew->size())
    {
        walk.bOutOfRange = true;
        return 1; // ends the diff
    }
    const std::size_t nPaired = std::min(nOld, nNew);
    for (std::size_t i = 0; i < nNew; ++i)
        AddLine((*walk.pNew)[nNewFirst + i],
                i < nPaired ? &LineChanges::m_nModified : &LineChanges::m_nAdded, *walk.pChange);
    for (std::size_t i = nPaired; i < nOld; ++i)
        AddLine((*walk.pOld)[nOldFirst + i], &LineChanges::m_nRemoved, *walk.pChange);
    return 0;
}
} // namespace

void LineDiff::AddAll(const LineKinds& arrKinds, std::int64_t LineChanges::*pField,
                      ChangeResult& change)
{
    for (const std::uint8_t nKind : arrKinds)
        AddLine(nKind, pField, change);
}

std::string_view LineDiff::LfLines(std::string_view bytes, std::string& strCopy)
{
    if (bytes.empty() ||
        (bytes.back() == '\n' && std::memchr(bytes.data(), '\r', bytes.size()) == nullptr))
        return bytes;
    strCopy.clear();
    strCopy.reserve(bytes.size() + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        const char c = bytes[i];
        if (c != '\r')
            strCopy += c;
        else if (i + 1 >= bytes.size() || bytes[i + 1] != '\n')
            strCopy += '\n'; // a lone CR ends a line; in a CR LF the LF does
    }
    if (strCopy.back() != '\n')
        strCopy += '\n';
    return strCopy;
}

bool LineDiff::Compare(std::string_view oldBytes, const LineKinds& arrOldKinds,
                       std::string_view newBytes, const LineKinds& arrNewKinds,
                       ChangeResult& change)
{
    GitLibrary::Use();
    std::string strOldCopy, strNewCopy;
    const std::string_view oldLines = LfLines(oldBytes, strOldCopy);
    const std::string_view newLines = LfLines(newBytes, strNewCopy);

    git_diff_options options = GIT_DIFF_OPTIONS_INIT;
    options.flags = GIT_DIFF_MINIMAL | GIT_DIFF_FORCE_TEXT;
    options.context_lines = 0; // a hunk is one changed block
    options.interhunk_lines = 0;
    ChangeResult found;
    Walk walk{&arrOldKinds, &arrNewKinds, &found};
    const int nError = git_diff_buffers(oldLines.data(), oldLines.size(), nullptr, newLines.data(),
                                        newLines.size(), nullptr, &options, nullptr, nullptr,
                                        OnHunk, nullptr, &walk);
    if (nError != 0 || walk.bOutOfRange)
    {
        AddAll(arrOldKinds, &LineChanges::m_nRemoved, change);
        AddAll(arrNewKinds, &LineChanges::m_nAdded, change);
        return false;
    }
    // The new lines outside every hunk are the same in both versions: all
    // new lines, less those the hunks hold.
    AddAll(arrNewKinds, &LineChanges::m_nSame, found);
    for (LineChanges& kind : found.m_arrKinds)
        kind.m_nSame -= kind.m_nModified + kind.m_nAdded;
    for (int i = 0; i < ChangeResult::KIND_COUNT; ++i)
        change.m_arrKinds[i].Add(found.m_arrKinds[i]);
    return true;
}
