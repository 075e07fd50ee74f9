#include "engine/CounterFactory.h"

#include "engine/AspxCounter.h"
#include "engine/CommentRuleCounters.h"
#include "engine/JspCounter.h"
#include "engine/PhpCounter.h"
#include "engine/TxtCounter.h"

std::unique_ptr<Counter> CreateCounterForRuleType(const wxString& strRuleType)
{
    const auto is = [&strRuleType](const char* pszName)
    { return strRuleType.CmpNoCase(pszName) == 0; };

    if (is("C"))
        return std::make_unique<CppCounter>();
    if (is("Basic"))
        return std::make_unique<BasicCounter>();
    if (is("Pascal"))
        return std::make_unique<PascalCounter>();
    if (is("Shell"))
        return std::make_unique<ShellCounter>();
    if (is("Sql"))
        return std::make_unique<SqlCounter>();
    if (is("Xml"))
        return std::make_unique<XmlCounter>();
    if (is("JSP"))
        return std::make_unique<JspCounter>();
    if (is("PHP"))
        return std::make_unique<PhpCounter>();
    if (is("Aspx"))
        return std::make_unique<AspxCounter>();
    if (is("Text"))
        return std::make_unique<TxtCounter>();
    return std::make_unique<CommentRuleCounter>();
}
