#include "KeywordSort.h"

#include "ByteString.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <deque>
#include <numeric>
#include <span>

// The program's historical sort is an exchange sort: for each position p it
// walks the rest of the table and exchanges p with every later entry that
// should come first. Among equal records its result depends on those exact
// exchanges, so it is reproduced, not replaced, but without its n^2 steps.
//
// Give each record the class 2 * rank + marked, rank being the dense rank of
// its key in the requested direction. The record at p then gives way exactly
// to a later record of smaller class, and to one of its own class when that
// class is odd (marked). The result lists the classes in increasing order;
// what remains is the order within each class, which follows from three
// properties of the exchanges:
//
// - Records of class <= c move among themselves as if no record of a greater
//   class were there: whether one of them is exchanged depends only on those
//   before it that are not greater than it.
// - Each step removes the first remaining record of smaller class from the
//   pattern of "smaller" and "own class" places. If j records of class c stand
//   before it, an even class c rotates those j records left by one (the first
//   jumps behind the others); an odd class c moves them all on by one place
//   and keeps their order.
// - Once no smaller record is left, an even class comes out in its current
//   order and an odd class in reverse order.
//
// So an odd class ends up reversed, and an even class follows from counting,
// between consecutive members, the records of smaller class. The reference
// transcription in the tests checks this against the literal exchange steps.

namespace {

using Index = std::uint32_t;

bool IsKnownKey(int nKey) {
    return nKey == SORT_BY_LINE || nKey == SORT_BY_SYMBOL || nKey == SORT_BY_USED;
}

// Dense rank of every record's key, 0 for the smallest.
std::vector<int> RankKeys(const CKeywordArray& table, int nKey) {
    const auto compare = [&](Index a, Index b) -> std::strong_ordering {
        const CKeyword& x = *table[a];
        const CKeyword& y = *table[b];
        switch (nKey) {
        case SORT_BY_LINE:
            return x.m_nLine <=> y.m_nLine;
        case SORT_BY_SYMBOL:
            return bytes::Compare(x.m_strSymbol, y.m_strSymbol) <=> 0;
        default:
            return x.GetUsedCount() <=> y.GetUsedCount();
        }
    };
    std::vector<Index> order(table.size());
    std::iota(order.begin(), order.end(), Index{0});
    std::sort(order.begin(), order.end(),
              [&](Index a, Index b) { return std::is_lt(compare(a, b)); });

    std::vector<int> ranks(table.size());
    int rank = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && std::is_neq(compare(order[k - 1], order[k])))
            ++rank;
        ranks[order[k]] = rank;
    }
    return ranks;
}

// Counts marked table positions below a bound (a Fenwick tree).
class CPositionCounter final {
public:
    explicit CPositionCounter(std::size_t n) : m_arrTree(n + 1, 0) {}

    void Add(std::size_t position) {
        for (std::size_t k = position + 1; k < m_arrTree.size(); k += k & (~k + 1))
            ++m_arrTree[k];
    }

    // Marked positions in [0, end).
    std::size_t CountBelow(std::size_t end) const {
        std::size_t count = 0;
        for (std::size_t k = end; k > 0; k -= k & (~k + 1))
            count += m_arrTree[k];
        return count;
    }

private:
    std::vector<std::size_t> m_arrTree;
};

// The order the exchanges leave among the members of one even class, given as
// their table positions in increasing order; `smaller` counts the positions of
// all records of smaller classes.
void OrderEvenClass(std::span<const Index> members, std::size_t n, const CPositionCounter& smaller,
                    std::vector<Index>& result) {
    // The first k members, rotated as far as the smaller records between
    // member k - 1 and member k have turned them so far.
    std::deque<Index> front;
    const std::size_t m = members.size();
    for (std::size_t k = 1; k <= m; ++k) {
        front.push_back(members[k - 1]);
        const std::size_t from = members[k - 1] + std::size_t{1};
        const std::size_t to = k < m ? members[k] : n;
        for (std::size_t turns = (smaller.CountBelow(to) - smaller.CountBelow(from)) % k; turns > 0;
             --turns) {
            front.push_back(front.front());
            front.pop_front();
        }
    }
    result.insert(result.end(), front.begin(), front.end());
}

} // namespace

void SortKeywords(CKeywordArray& table, int nKey, bool bAscending) {
    for (const auto& keyword : table)
        keyword->m_nSortKey = nKey;
    const std::size_t n = table.size();
    if (n < 2 || !IsKnownKey(nKey))
        return;

    const std::vector<int> ranks = RankKeys(table, nKey);
    const int maxRank = *std::max_element(ranks.begin(), ranks.end());
    std::vector<int> classes(n);
    for (std::size_t k = 0; k < n; ++k) {
        const int rank = bAscending ? ranks[k] : maxRank - ranks[k];
        classes[k] = 2 * rank + (table[k]->m_bMarked ? 1 : 0);
    }

    // Members of each class in table order, classes in increasing order.
    std::vector<Index> byClass(n);
    std::iota(byClass.begin(), byClass.end(), Index{0});
    std::stable_sort(byClass.begin(), byClass.end(),
                     [&](Index a, Index b) { return classes[a] < classes[b]; });

    std::vector<Index> result;
    result.reserve(n);
    CPositionCounter smaller(n);
    for (std::size_t begin = 0; begin < n;) {
        const int cls = classes[byClass[begin]];
        std::size_t end = begin + 1;
        while (end < n && classes[byClass[end]] == cls)
            ++end;
        const std::span<const Index> members(byClass.data() + begin, end - begin);
        if (members.size() == 1)
            result.push_back(members[0]);
        else if (cls % 2 == 1)
            result.insert(result.end(), members.rbegin(), members.rend());
        else
            OrderEvenClass(members, n, smaller, result);
        for (const Index position : members)
            smaller.Add(position);
        begin = end;
    }

    CKeywordArray sorted;
    sorted.reserve(n);
    for (const Index k : result)
        sorted.push_back(std::move(table[k]));
    table = std::move(sorted);
}
