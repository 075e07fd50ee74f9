// Feeds random bytes to the rules file loader as the file itself, and checks
// that whatever it accepts survives the program's own save: loading the
// saved file gives the same tables (less the file types that name no rule,
// which a save drops), and saving those again writes the same bytes. A crash
// or a hang of the reader or the writer is a finding of libFuzzer itself.

#include "FuzzerSetUp.h"
#include "engine/CountingManager.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
std::string g_strPath;

std::string Utf8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

// Both tables as one sorted text; bKeptOnly leaves out the file types whose
// rule type names no rule.
std::string Dump(const CountingManager& manager, bool bKeptOnly)
{
    std::vector<std::string> arrLines;
    for (const auto& [strKey, pRule] : manager.m_ruleTable)
        arrLines.push_back(Utf8("rule\x1F" + strKey + "\x1F" + pRule->m_strType + "\x1F" +
                                pRule->m_strDesc + "\x1F" + pRule->m_strSingleLineComment + "\x1F" +
                                pRule->m_strMultiLineCommentBegin + "\x1F" +
                                pRule->m_strMultiLineCommentEnd));
    for (const auto& entry : manager.m_extensionTable)
    {
        const wxString& strKey = entry.first;
        const FileExtension* pExt = entry.second.get();
        const bool bNamesRule =
            std::any_of(manager.m_ruleTable.begin(), manager.m_ruleTable.end(),
                        [&](const auto& rule)
                        { return rule.second->m_strType.IsSameAs(pExt->m_strRuleType, false); });
        if (bKeptOnly && !bNamesRule)
            continue;
        arrLines.push_back(Utf8("ext\x1F" + strKey + "\x1F" + pExt->m_strName + "\x1F" +
                                pExt->m_strRuleType + "\x1F" + pExt->m_strDesc));
    }
    std::sort(arrLines.begin(), arrLines.end());
    std::string strOut;
    for (const std::string& str : arrLines)
        strOut += str + "\x1E";
    return strOut;
}

std::unique_ptr<CountingManager> Load()
{
    auto pManager = std::make_unique<CountingManager>();
    pManager->SetSaveRulesOnDestroy(false);
    pManager->SetRulesPath(wxString::FromUTF8(g_strPath));
    pManager->LoadRules();
    return pManager;
}

std::string ReadBack()
{
    std::ifstream in(g_strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void Fail(const char* szWhat, const std::string& strSaved)
{
    std::fprintf(stderr, "round trip broken: %s\n--- saved file ---\n%s\n", szWhat,
                 strSaved.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetUpWxForFuzzing();
    // A file system in memory where there is one: the save syncs its file.
    std::string strTemplate = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    strTemplate += "/linecast-fuzz-XXXXXX";
    if (!mkdtemp(strTemplate.data()))
        std::abort();
    g_strPath = strTemplate + "/conf.xml";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string strInput(reinterpret_cast<const char*>(pData), nSize);
    {
        std::ofstream out(g_strPath, std::ios::binary | std::ios::trunc);
        out.write(strInput.data(), static_cast<std::streamsize>(strInput.size()));
    }

    const auto pFirst = Load();
    if (!pFirst->RulesLoaded())
        return 0;
    pFirst->SaveRules();
    const std::string strSaved = ReadBack();
    // A save the reader would refuse is not written: then the file is the
    // input still, and it loads as it did.
    const bool bWritten = strSaved != strInput;

    const auto pSecond = Load();
    if (!pSecond->RulesLoaded())
        Fail(Utf8(pSecond->GetRulesError()).c_str(), strSaved);
    if (Dump(*pSecond, false) != Dump(*pFirst, bWritten))
        Fail("the tables changed", strSaved);
    pSecond->SaveRules();
    if (ReadBack() != strSaved)
        Fail("a second save wrote other bytes", strSaved);
    return 0;
}
