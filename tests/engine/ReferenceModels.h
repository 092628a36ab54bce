#pragma once

// The engine's algorithms written out the slow, obvious way, for the fast
// ones to be checked against.

#include "TestTables.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace reference_models {

// The historical O(n^2) exchange sort, whose swaps among equal keys decide which
// keyword of a symbol gets the uses; std::string compares unsigned bytes.
inline void ExchangeSortReference(CKeywordArray& table, int key, bool ascending) {
    for (const auto& keyword : table)
        keyword->m_nSortKey = key;
    if (key != SORT_BY_LINE && key != SORT_BY_SYMBOL && key != SORT_BY_USED)
        return; // an unknown key compares nothing
    const auto sign = [](auto a, auto b) { return (a > b) - (a < b); };
    const std::size_t n = table.size();
    for (std::size_t p = 0; n > 1 && p <= n - 2; ++p) {
        for (std::size_t i = p + 1; i <= n - 1; ++i) {
            const CKeyword& r = *table[p];
            const CKeyword& q = *table[i];
            const int result = key == SORT_BY_LINE     ? sign(r.m_nLine, q.m_nLine)
                               : key == SORT_BY_SYMBOL ? r.m_strSymbol.compare(q.m_strSymbol)
                                                       : sign(r.GetUsedCount(), q.GetUsedCount());
            if (result == 0 ? r.m_bMarked : (ascending ? result > 0 : result < 0))
                std::swap(table[p], table[i]);
        }
    }
}

constexpr std::string_view kDelimiters = " ()[]{}<>!~-+*/%&^|?:;=.\"\t',";

// ReadLines' lines, cut at the delimiters and NUL, every token looked up with
// the binary search (which its own rows pin down).
inline CSourceUseArray ReferenceScan(const CKeywordArray& table, std::string_view text) {
    const std::string separators = std::string(kDelimiters) + '\0';
    CSourceUseArray uses;
    int line = 0;
    for (const CTextLine& textLine : testing_tables::Lines(text)) {
        const std::string_view s = textLine.m_strText;
        ++line;
        for (std::size_t i = s.find_first_not_of(separators); i != std::string_view::npos;
             i = s.find_first_not_of(separators, i)) {
            const std::size_t end = std::min(s.find_first_of(separators, i), s.size());
            if (CKeyword* keyword = FindKeyword(table, s.substr(i, end - i)))
                uses.push_back({keyword, line});
            i = end;
        }
    }
    return uses;
}

} // namespace reference_models
