#pragma once

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>
#include <wx/string.h>

// The rule and file type tables keep no order of their own. Lists and the
// rules file show their entries by name: without regard to case first, which
// reads naturally, then exactly, so that names differing only in case keep
// one order from one run (and one save) to the next.
template <class T>
std::vector<const T*> SortedByName(const std::unordered_map<wxString, std::unique_ptr<T>>& table,
                                   wxString T::*pName)
{
    std::vector<const T*> arrEntries;
    for (const auto& entry : table)
        arrEntries.push_back(entry.second.get());
    std::sort(arrEntries.begin(), arrEntries.end(),
              [pName](const T* a, const T* b)
              {
                  const int nCmp = (a->*pName).CmpNoCase(b->*pName);
                  return nCmp != 0 ? nCmp < 0 : (a->*pName).Cmp(b->*pName) < 0;
              });
    return arrEntries;
}
