#include "LineCounts.h"

#include "engine/AspxCounter.h"
#include "engine/CommentRuleCounters.h"
#include "engine/CounterFactory.h"
#include "engine/CountingManager.h"
#include "engine/JspCounter.h"
#include "engine/PhpCounter.h"
#include "engine/TxtCounter.h"

#include <gtest/gtest.h>
#include <typeindex>

namespace
{
struct FactoryRow
{
    const char* szName;
    const char* szRuleType;
    std::type_index expected;
};

std::ostream& operator<<(std::ostream& out, const FactoryRow& row)
{
    return out << '"' << row.szRuleType << '"';
}

class CounterForRuleType : public testing::TestWithParam<FactoryRow>
{
};

TEST_P(CounterForRuleType, IsChosenByNameWithoutRegardToCase)
{
    const std::unique_ptr<Counter> pCounter = CreateCounterForRuleType(GetParam().szRuleType);
    ASSERT_NE(pCounter, nullptr);
    EXPECT_EQ(std::type_index(typeid(*pCounter)), GetParam().expected);
    EXPECT_EQ(pCounter->m_pRule, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CounterForRuleType,
    testing::Values(
        FactoryRow{"C", "C", typeid(CppCounter)}, FactoryRow{"LowerCaseC", "c", typeid(CppCounter)},
        FactoryRow{"Basic", "BASIC", typeid(BasicCounter)},
        FactoryRow{"Pascal", "pascal", typeid(PascalCounter)},
        FactoryRow{"Shell", "Shell", typeid(ShellCounter)},
        FactoryRow{"Sql", "sql", typeid(SqlCounter)}, FactoryRow{"Xml", "xML", typeid(XmlCounter)},
        FactoryRow{"Jsp", "jsp", typeid(JspCounter)}, FactoryRow{"Php", "Php", typeid(PhpCounter)},
        FactoryRow{"Aspx", "ASPX", typeid(AspxCounter)},
        FactoryRow{"Text", "TEXT", typeid(TxtCounter)},
        FactoryRow{"UnknownTypeCountsByItsRule", "Lisp", typeid(CommentRuleCounter)},
        FactoryRow{"EmptyName", "", typeid(CommentRuleCounter)},
        FactoryRow{"TrailingBlankIsAnotherName", "C ", typeid(CommentRuleCounter)}),
    [](const testing::TestParamInfo<FactoryRow>& info) { return std::string(info.param.szName); });

class Lookups : public testing::Test
{
protected:
    Lookups()
    {
        m_manager.SetSaveRulesOnDestroy(false);
        AddRule("C", "//", "/*", "*/");
        AddRule("Lisp", ";", "#|", "|#");
        AddType(".cpp", "C", true);
        AddType(".h", "C", true);
        AddType(".txt", "Text", false);
    }

    void AddRule(const char* szType, const char* szSingle, const char* szBegin, const char* szEnd)
    {
        m_manager.m_ruleTable[szType] =
            std::make_unique<CounterRule>(szType, "", szSingle, szBegin, szEnd);
    }
    void AddType(const char* szExt, const char* szRuleType, bool bSelected)
    {
        m_manager.m_extensionTable[szExt] =
            std::make_unique<FileExtension>(szExt, szRuleType, "", bSelected);
    }

    CountingManager m_manager;
};

TEST_F(Lookups, RuleIsGivenOnlyToTheExactRuleTypeName)
{
    Counter* pExact = m_manager.GetCounter("C");
    Counter* pOtherCase = m_manager.GetCounter("c");
    EXPECT_EQ(typeid(*pOtherCase), typeid(CppCounter));
    EXPECT_EQ(pExact->m_pRule, m_manager.m_ruleTable["C"].get());
    EXPECT_EQ(pOtherCase->m_pRule, nullptr);
    EXPECT_NE(pExact, pOtherCase);
}

TEST_F(Lookups, OneCounterServesEveryUseOfItsRuleType)
{
    Counter* pFirst = m_manager.GetCounter("C");
    EXPECT_EQ(m_manager.GetCounter("C"), pFirst);
    EXPECT_EQ(m_manager.m_counterTable.size(), 1u);
}

TEST_F(Lookups, NewStyleCountsByItsOwnRule)
{
    Counter* pCounter = m_manager.GetCounter("Lisp");
    EXPECT_EQ(CountBytes(*pCounter, "(a) ; b\n; c\n#| d\ne |#"), (LineCounts{4, 0, 3, 1, 0}));
}

TEST_F(Lookups, RuleTypeWithoutRuleCountsEveryLineAsCode)
{
    Counter* pCounter = m_manager.GetCounter("Cobol");
    EXPECT_EQ(pCounter->m_pRule, nullptr);
    EXPECT_EQ(CountBytes(*pCounter, "a\n// b\n\n"), (LineCounts{3, 2, 0, 0, 1}));
}

struct ExtensionRow
{
    const char* szName;
    const char* szPath;
    const char* szExtension;
    bool bSelected;
    const char* szRuleType; // the out argument afterwards; "unchanged" when not selected
};

std::ostream& operator<<(std::ostream& out, const ExtensionRow& row)
{
    return out << row.szName;
}

class FileSelection : public Lookups, public testing::WithParamInterface<ExtensionRow>
{
};

TEST_P(FileSelection, GoesByTheLowerCasedTextAfterTheLastDot)
{
    const wxString strExt = CountingManager::GetFileExtension(GetParam().szPath);
    EXPECT_EQ(strExt, GetParam().szExtension);
    wxString strRuleType = "unchanged";
    EXPECT_EQ(m_manager.IsSelectedType(strExt, strRuleType), GetParam().bSelected);
    EXPECT_EQ(strRuleType, GetParam().szRuleType);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileSelection,
    testing::Values(
        ExtensionRow{"UpperCaseSelected", "/src/MAIN.CPP", ".CPP", true, "C"},
        ExtensionRow{"LowerCaseSelected", "/src/main.cpp", ".cpp", true, "C"},
        ExtensionRow{"OneLetterSelected", "/src/x.H", ".H", true, "C"},
        ExtensionRow{"UnknownType", "/src/x.hpp", ".hpp", false, "unchanged"},
        ExtensionRow{"NoDot", "/src/README", "", false, "unchanged"},
        ExtensionRow{"LastDotOnly", "/src/archive.tar.gz", ".gz", false, "unchanged"},
        ExtensionRow{"DotInTheFolderName", "/src/v1.2/Makefile", ".2/Makefile", false, "unchanged"},
        ExtensionRow{"KnownTypeNotSelected", "/src/v1.2/notes.txt", ".txt", false, "unchanged"}),
    [](const testing::TestParamInfo<ExtensionRow>& info)
    { return std::string(info.param.szName); });
} // namespace
