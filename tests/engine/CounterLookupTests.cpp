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
        FactoryRow{"C", typeid(CppCounter)}, FactoryRow{"c", typeid(CppCounter)},
        FactoryRow{"BASIC", typeid(BasicCounter)}, FactoryRow{"pascal", typeid(PascalCounter)},
        FactoryRow{"Shell", typeid(ShellCounter)}, FactoryRow{"sql", typeid(SqlCounter)},
        FactoryRow{"xML", typeid(XmlCounter)}, FactoryRow{"jsp", typeid(JspCounter)},
        FactoryRow{"Php", typeid(PhpCounter)}, FactoryRow{"ASPX", typeid(AspxCounter)},
        FactoryRow{"TEXT", typeid(TxtCounter)}, FactoryRow{"Lisp", typeid(CommentRuleCounter)},
        FactoryRow{"", typeid(CommentRuleCounter)}, FactoryRow{"C ", typeid(CommentRuleCounter)}));

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
    const char* szPath;
    const char* szExtension;
    bool bSelected;
    const char* szRuleType; // the out argument afterwards; "unchanged" when not selected
};

std::ostream& operator<<(std::ostream& out, const ExtensionRow& row)
{
    return out << row.szPath;
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
    testing::Values(ExtensionRow{"/src/MAIN.CPP", ".CPP", true, "C"},
                    ExtensionRow{"/src/main.cpp", ".cpp", true, "C"},
                    ExtensionRow{"/src/x.H", ".H", true, "C"},
                    ExtensionRow{"/src/x.hpp", ".hpp", false, "unchanged"},
                    ExtensionRow{"/src/README", "", false, "unchanged"},
                    ExtensionRow{"/src/archive.tar.gz", ".gz", false, "unchanged"},
                    ExtensionRow{"/src/v1.2/Makefile", ".2/Makefile", false, "unchanged"},
                    ExtensionRow{"/src/v1.2/notes.txt", ".txt", false, "unchanged"}),
    [](const testing::TestParamInfo<ExtensionRow>& info)
    { return "Row" + std::to_string(info.index); });
} // namespace
