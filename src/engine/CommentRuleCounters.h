#pragma once

#include "engine/Counter.h"

// The counters that count purely by the comment markers of their rule. They
// differ only in the rule they are given; without one, every non-blank line is
// code.

// Rule type "C".
class CppCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
};

// Rule type "Basic".
class BasicCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
};

// Rule type "Pascal".
class PascalCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
};

// Rule type "Shell".
class ShellCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
};

// Rule type "Sql".
class SqlCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
};

// Rule type "Xml".
class XmlCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        CountByRule(lines, m_pRule, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
};

// Any other rule type: a new source style needs only a rule in the rules file.
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
};
