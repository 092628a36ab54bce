#pragma once

// The keyword sort as the program always did it: an O(n^2) exchange sort whose
// swaps among equal keys decide which of several keywords with one symbol gets
// the uses. SortKeywords must give exactly its order; this copy stays naive so
// that it can be checked by reading.

#include "Keyword.h"

#include <utility>

namespace testing_tables {

// Sets `result` to < 0, 0 or > 0; false when `key` compares nothing.
inline bool ReferenceCompare(const CKeyword& r, const CKeyword& q, int key, int& result) {
    if (key == SORT_BY_LINE)
        result = (r.m_nLine > q.m_nLine) - (r.m_nLine < q.m_nLine);
    else if (key == SORT_BY_SYMBOL)
        result = r.m_strSymbol.compare(q.m_strSymbol); // char_traits<char>: unsigned bytes
    else if (key == SORT_BY_USED)
        result = (r.GetUsedCount() > q.GetUsedCount()) - (r.GetUsedCount() < q.GetUsedCount());
    return key >= SORT_BY_LINE && key <= SORT_BY_USED;
}

inline void ExchangeSortReference(CKeywordArray& table, int key, bool ascending) {
    for (auto& keyword : table)
        keyword->m_nSortKey = key;
    const std::size_t n = table.size();
    for (std::size_t p = 0; n > 1 && p <= n - 2; ++p) {
        for (std::size_t i = p + 1; i <= n - 1; ++i) {
            const CKeyword& r = *table[p];
            const CKeyword& q = *table[i];
            int result = 0;
            if (!ReferenceCompare(r, q, r.m_nSortKey, result))
                continue;
            if (result == 0 ? r.m_bMarked : (ascending ? result > 0 : result < 0))
                std::swap(table[p], table[i]);
        }
    }
}

} // namespace testing_tables
