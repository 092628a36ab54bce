// How long SortKeywords takes on a large keyword table, by key and direction.
// A realistic table: unique lines, a few repeated symbols, one in ten keywords
// marked, and use counts where most keywords have none or a few (many ties).

#include "KeywordSort.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

const std::string kFile = "src/file.c"; // the one file of every use

constexpr int kKeywords = 20000;

CKeywordArray MakeTable(int n, bool bWorstCase) {
    std::mt19937 random(12345);
    std::geometric_distribution<int> uses(0.35);
    CKeywordArray table;
    for (int k = 0; k < n; ++k) {
        // Every 500th keyword repeats an earlier name, as stale copies do.
        const int name = (k % 500 == 499) ? k - 17 : k;
        std::string symbol = "gText" + std::to_string(name * 7919 % 100003);
        const bool bMarked = bWorstCase || random() % 10 == 0;
        auto keyword = std::make_unique<CKeyword>(symbol, "Value", k + 1, bMarked);
        const int nUses = (bMarked || bWorstCase) ? 0 : uses(random);
        for (int u = 0; u < nUses; ++u)
            keyword->m_listUsed.emplace_back(kFile, u + 1);
        table.push_back(std::move(keyword));
    }
    std::shuffle(table.begin(), table.end(), random);
    return table;
}

// Puts the records back into the order they had before the timed sort.
void Restore(CKeywordArray& table, const std::vector<CKeyword*>& order) {
    for (auto& keyword : table)
        (void)keyword.release();
    for (std::size_t k = 0; k < order.size(); ++k)
        table[k].reset(order[k]);
}

void Run(benchmark::State& state, bool bWorstCase) {
    const int nKey = static_cast<int>(state.range(0));
    const bool bAscending = state.range(1) != 0;
    CKeywordArray table = MakeTable(kKeywords, bWorstCase);
    std::vector<CKeyword*> order;
    for (const auto& keyword : table)
        order.push_back(keyword.get());
    for ([[maybe_unused]] auto _ : state) {
        SortKeywords(table, nKey, bAscending);
        benchmark::ClobberMemory();
        state.PauseTiming();
        Restore(table, order);
        state.ResumeTiming();
    }
}

void BM_SortKeywords(benchmark::State& state) {
    Run(state, false);
}

// Every keyword marked and unused: the most exchanges the sort can make.
void BM_SortKeywordsAllMarked(benchmark::State& state) {
    Run(state, true);
}

} // namespace

BENCHMARK(BM_SortKeywords)
    ->ArgNames({"key", "ascending"})
    ->ArgsProduct({{SORT_BY_LINE, SORT_BY_SYMBOL, SORT_BY_USED}, {1, 0}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortKeywordsAllMarked)
    ->ArgNames({"key", "ascending"})
    ->ArgsProduct({{SORT_BY_USED}, {1, 0}})
    ->Unit(benchmark::kMillisecond);
