#pragma once

#include "engine/Counter.h"

#include <memory>
#include <wx/string.h>

// Makes the counter for a rule type name. "C", "Basic", "Pascal", "Shell",
// "Sql", "Xml", "JSP", "PHP", "Aspx" and "Text" (in any case) select their own
// counters; any other name counts by the comment markers of its rule, so a new
// source style needs only a rule in the rules file. Never returns null.
std::unique_ptr<Counter> CreateCounterForRuleType(const wxString& strRuleType);
