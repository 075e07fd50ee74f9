#pragma once

#include "engine/Counter.h"

// Counts purely by the comment markers of its rule; without one, every
// non-blank line is code. It serves any rule type without a counter of its
// own, so a new source style needs only a rule in the rules file.
class CommentRuleCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
    void CountLinesWith(const Markers& markers, LineReader& lines, std::int64_t& nLines,
                        std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                        std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines) override
    {
        CountByRule(lines, markers, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
    void ClassifyLinesWith(const Markers& markers, LineReader& lines, LineKinds& arrKinds) override
    {
        ClassifyByRule(lines, markers, arrKinds);
    }
    bool CountsInPieces() const override { return true; }

protected:
    void CountPieceLines(const Markers& markers, LineReader& lines, PieceCounts& counts) override
    {
        CountByRuleBothWays(lines, markers, counts);
    }
};

// The named comment-rule styles differ only in the rule they are given.
class CppCounter final : public CommentRuleCounter // "C"
{
};
class BasicCounter final : public CommentRuleCounter // "Basic"
{
};
class PascalCounter final : public CommentRuleCounter // "Pascal"
{
};
class ShellCounter final : public CommentRuleCounter // "Shell"
{
};
class SqlCounter final : public CommentRuleCounter // "Sql"
{
};
class XmlCounter final : public CommentRuleCounter // "Xml"
{
};
