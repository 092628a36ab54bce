#include "KeywordSort.h"

#include "ExchangeSortReference.h"
#include "TestTables.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace testing_tables;

struct Step {
    int key;
    bool ascending;
};

// Applies `steps` to two tables built from `rows`, one with SortKeywords, one
// with the reference, and compares them after every step.
void ExpectSameAsReference(const std::vector<KeywordRow>& rows, const std::vector<Step>& steps) {
    CKeywordArray actual = MakeTable(rows), expected = MakeTable(rows);
    const auto actualBefore = Pointers(actual), expectedBefore = Pointers(expected);
    for (const auto [key, ascending] : steps) {
        SCOPED_TRACE("key " + std::to_string(key) + (ascending ? " up" : " down"));
        SortKeywords(actual, key, ascending);
        ExchangeSortReference(expected, key, ascending);
        ASSERT_EQ(Order(actual, actualBefore), Order(expected, expectedBefore));
        for (std::size_t i = 0; i < actual.size(); ++i) {
            ASSERT_EQ(actual[i]->m_nSortKey, key);
            // Ordered by the key, unmarked first among equal keys (checks the reference too).
            int result = 0;
            if (i == 0 || !ReferenceCompare(*actual[i - 1], *actual[i], key, result))
                continue;
            ASSERT_LE(ascending ? result : -result, 0) << "at " << i;
            ASSERT_FALSE(result == 0 && actual[i - 1]->m_bMarked && !actual[i]->m_bMarked) << i;
        }
    }
}

TEST(KeywordSort, KeysThatMoveNothingAreStillStored) {
    CKeywordArray empty;
    SortKeywords(empty, SORT_BY_LINE, true);
    EXPECT_TRUE(empty.empty());
    CKeywordArray single = MakeTable({{"gA", true, 7, 2}});
    SortKeywords(single, SORT_BY_USED, false);
    EXPECT_EQ(single[0]->m_nSortKey, SORT_BY_USED);
    // Unsorted under every key, with marked records and ties that a real key would move.
    for (int key : {0, 4, -1}) {
        for (bool ascending : {true, false}) {
            CKeywordArray table = MakeTable(
                {{"gC", true, 9, 0}, {"gA", false, 3, 2}, {"gA", true, 3, 2}, {"gB", false, 1, 1}});
            const auto before = Pointers(table);
            SortKeywords(table, key, ascending);
            EXPECT_EQ(Pointers(table), before) << key;
            for (const auto& keyword : table)
                EXPECT_EQ(keyword->m_nSortKey, key);
        }
    }
}

// Orders worked out by hand from the exchange steps; they pin down the reference
// as well. Equal records do not keep their input order.
TEST(KeywordSort, ExchangeOrderAmongEqualKeys) {
    const auto expectOrder = [](const std::vector<KeywordRow>& rows, Step step,
                                const std::vector<int>& order) {
        CKeywordArray table = MakeTable(rows), reference = MakeTable(rows);
        const auto before = Pointers(table), referenceBefore = Pointers(reference);
        SortKeywords(table, step.key, step.ascending);
        ExchangeSortReference(reference, step.key, step.ascending);
        EXPECT_EQ(Order(table, before), order) << "key " << step.key << " " << step.ascending;
        EXPECT_EQ(Order(reference, referenceBefore), order);
    };
    for (int key : {SORT_BY_LINE, SORT_BY_SYMBOL, SORT_BY_USED})
        for (bool ascending : {true, false})
            expectOrder({{"gX", true, 5, 1}, {"gX", false, 5, 1}}, {key, ascending}, {1, 0});
    expectOrder({{"gA", false, 2}, {"gB", false, 2}, {"gC", false, 1}}, {SORT_BY_LINE, true},
                {2, 1, 0});
    expectOrder({{"gA", false, 1}, {"gB", false, 1}, {"gC", false, 2}}, {SORT_BY_LINE, false},
                {2, 1, 0});
    expectOrder({{"gA", true}, {"gA", true}, {"gA", false}}, {SORT_BY_SYMBOL, true}, {2, 1, 0});
    expectOrder({{"gA", true, 1, 1}, {"gB", false, 2}, {"gC", true, 3}, {"gD", false, 4, 1}},
                {SORT_BY_USED, true}, {1, 2, 3, 0});
}

TEST(KeywordSort, MatchesTheExchangeSortOnRandomTables) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> size(0, 60), key(0, 4), coin(0, 1);
    const auto anyStep = [&] { return Step{key(rng), coin(rng) == 1}; };
    for (int t = 0; t < 400; ++t) {
        SCOPED_TRACE("table " + std::to_string(t));
        const auto rows = RandomRows(rng, size(rng));
        // Every key and direction on the random order, then three more from a sorted one.
        for (int k = 0; k <= 4; ++k)
            for (bool ascending : {true, false})
                ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(rows, {{k, ascending}}));
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(rows, {anyStep(), anyStep(), anyStep()}));
    }
}

// Hundreds of equal keys, sorted again and again from the previous order as the
// list view does.
TEST(KeywordSort, MatchesTheExchangeSortOnLargeTables) {
    std::mt19937 rng(77);
    const std::vector<Step> steps = {{SORT_BY_SYMBOL, true}, {SORT_BY_LINE, true},
                                     {SORT_BY_USED, false},  {SORT_BY_SYMBOL, false},
                                     {SORT_BY_USED, true},   {SORT_BY_LINE, false}};
    for (int n : {1999, 2000})
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(RandomRows(rng, n), steps));
}

} // namespace
