#include "Duplicates.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using CGroups = std::unordered_map<std::string_view, std::vector<CKeyword*>>;

// Every keyword of a group gets the lines of the others for which `counts` holds.
template <typename Counts>
void Record(const CGroups& groups, std::vector<int> CKeyword::*lines, const Counts& counts) {
    for (const auto& [key, members] : groups) {
        if (members.size() < 2)
            continue;
        for (CKeyword* keyword : members) {
            for (const CKeyword* other : members)
                if (other != keyword && counts(*keyword, *other))
                    (keyword->*lines).push_back(other->m_nLine);
            std::ranges::sort(keyword->*lines);
        }
    }
}

} // namespace

// Not const: the table stays, but its keywords change.
// cppcheck-suppress constParameter
void FindDuplicates(CKeywordArray& table) {
    CGroups bySymbol, byValue;
    for (const auto& keyword : table) {
        keyword->m_arrSameSymbolLines.clear();
        keyword->m_arrSameValueLines.clear();
        if (keyword->m_bMarked)
            continue;
        bySymbol[keyword->m_strSymbol].push_back(keyword.get());
        byValue[keyword->m_strValue].push_back(keyword.get());
    }
    Record(bySymbol, &CKeyword::m_arrSameSymbolLines,
           [](const CKeyword&, const CKeyword&) { return true; });
    Record(byValue, &CKeyword::m_arrSameValueLines,
           [](const CKeyword& a, const CKeyword& b) { return a.m_strSymbol != b.m_strSymbol; });
}
