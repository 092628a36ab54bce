// Scanner throughput: C-like source text with a keyword table of realistic
// size, scanned from memory and from a file in the page cache.

#include "CalledNames.h"
#include "CalledNamesReader.h"
#include "KeywordSort.h"
#include "SourceLexer.h"
#include "UsageScanner.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kKeywords = 5000;
constexpr std::size_t kTextBytes = 32u << 20;

CKeywordArray MakeTable() {
    CKeywordArray table;
    for (int k = 0; k < kKeywords; ++k)
        table.push_back(std::make_unique<CKeyword>("gText" + std::to_string(k), "v", k + 1, false));
    SortKeywords(table, SORT_BY_SYMBOL, true);
    return table;
}

std::string MakeSource() {
    static const char* const kWords[] = {
        "if",     "(",      "index",  "<",   "count",  ")",        "{",     "}",
        "return", "status", "=",      "get", "window", "->",       "title", ";",
        "gTemp",  "glyph",  "buffer", "[",   "]",      "0x1F",     "\"",    "//",
        "size_t", "const",  "char",   "*",   "name",   "gTextual", ",",     "struct"};
    std::mt19937 random(7);
    std::string text;
    text.reserve(kTextBytes + 256);
    int column = 0;
    while (text.size() < kTextBytes) {
        if (random() % 40 == 0) {
            text += "gText" +
                    std::to_string(random() % (std::size_t{2} * kKeywords)); // half are symbols
        } else {
            text += kWords[random() % std::size(kWords)];
        }
        if (++column == 12) {
            text += "\n    ";
            column = 0;
        } else {
            text += ' ';
        }
    }
    return text;
}

// With state.range(0) at 1, the text is lexed for the kinds of its uses; at
// 2, the names it calls are gathered too, as for a C-family file.
void BM_ScanText(benchmark::State& state) {
    const CKeywordArray table = MakeTable();
    const CSymbolIndex index(table);
    const std::string text = MakeSource();
    CSourceUseArray uses;
    for ([[maybe_unused]] auto _ : state) {
        uses.clear();
        CSourceLexer lexer;
        CCalledNamesReader called;
        CSourceTokenizer tokenizer(index, uses, state.range(0) != 0 ? &lexer : nullptr);
        tokenizer.Feed(text);
        tokenizer.Finish();
        if (state.range(0) == 2)
            called.Feed(text);
        benchmark::DoNotOptimize(uses.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["uses"] = static_cast<double>(uses.size());
}

void BM_ScanFile(benchmark::State& state) {
    const CKeywordArray table = MakeTable();
    const CUsageScanner scanner(table);
    const std::string text = MakeSource();
    const auto path = std::filesystem::temp_directory_path() / "glosscutter-scan-bench.c";
    std::ofstream(path, std::ios::binary) << text;
    CSourceUseArray uses;
    for ([[maybe_unused]] auto _ : state) {
        uses.clear();
        scanner.ScanFile(path.string(), uses);
        benchmark::DoNotOptimize(uses.data());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_ScanText)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanFile)->Unit(benchmark::kMillisecond);
