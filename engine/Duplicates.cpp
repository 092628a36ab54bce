#include "Duplicates.h"

#include <algorithm>
#include <functional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Calls `group` with every set of two or more unmarked keywords that share
// `key`. Sorting their hashes finds the sets without a container per key,
// which a table of thousands of keywords would pay for in allocations.
template <typename Key, typename Group>
void ForEachGroup(const CKeywordArray& table, Key key, Group group) {
    std::vector<std::pair<std::size_t, CKeyword*>> hashed;
    hashed.reserve(table.size());
    for (const auto& keyword : table)
        if (!keyword->m_bMarked)
            hashed.emplace_back(std::hash<std::string_view>()(key(*keyword)), keyword.get());
    std::ranges::sort(hashed, {}, &std::pair<std::size_t, CKeyword*>::first);
    std::vector<CKeyword*> members;
    for (auto run = hashed.begin(); run != hashed.end();) {
        const auto end = std::find_if(run, hashed.end(),
                                      [&](const auto& entry) { return entry.first != run->first; });
        if (end - run > 1) {
            // Within one hash, the keys themselves tell the groups apart.
            members.clear();
            for (auto entry = run; entry != end; ++entry)
                members.push_back(entry->second);
            std::ranges::sort(members, {}, [&](const CKeyword* member) { return key(*member); });
            for (auto first = members.begin(); first != members.end();) {
                const auto last = std::find_if(first, members.end(), [&](const CKeyword* other) {
                    return key(*other) != key(**first);
                });
                if (last - first > 1)
                    group(std::span<CKeyword* const>(first, last));
                first = last;
            }
        }
        run = end;
    }
}

// Every keyword of a group gets the lines of the others for which `counts` holds.
template <typename Counts>
void Record(std::span<CKeyword* const> members, std::vector<int> CKeyword::*lines,
            const Counts& counts) {
    for (CKeyword* keyword : members) {
        for (const CKeyword* other : members)
            if (other != keyword && counts(*keyword, *other))
                (keyword->*lines).push_back(other->m_nLine);
        std::ranges::sort(keyword->*lines);
    }
}

} // namespace

// Not const: the table stays, but its keywords change.
// cppcheck-suppress constParameter
void FindDuplicates(CKeywordArray& table) {
    for (const auto& keyword : table) {
        keyword->m_arrSameSymbolLines.clear();
        keyword->m_arrSameValueLines.clear();
    }
    ForEachGroup(
        table, [](const CKeyword& k) -> std::string_view { return k.m_strSymbol; },
        [](std::span<CKeyword* const> members) {
            Record(members, &CKeyword::m_arrSameSymbolLines,
                   [](const CKeyword&, const CKeyword&) { return true; });
        });
    ForEachGroup(
        table, [](const CKeyword& k) -> std::string_view { return k.m_strValue; },
        [](std::span<CKeyword* const> members) {
            Record(members, &CKeyword::m_arrSameValueLines,
                   [](const CKeyword& a, const CKeyword& b) {
                       return a.m_strSymbol != b.m_strSymbol;
                   });
        });
}
