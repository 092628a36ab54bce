#pragma once

// Builders shared by the engine tests.

#include "Keyword.h"
#include "KeywordFileReader.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace testing_tables {

struct KeywordRow {
    std::string symbol;
    bool marked = false;
    int line = 1;
    int uses = 0;
};

inline CKeywordArray MakeTable(const std::vector<KeywordRow>& rows) {
    CKeywordArray table;
    for (const KeywordRow& row : rows) {
        table.push_back(std::make_unique<CKeyword>(row.symbol, "", row.line, row.marked));
        for (int i = 0; i < row.uses; ++i)
            table.back()->m_listUsed.emplace_back("use.c", i + 1);
    }
    return table;
}

inline std::vector<const CKeyword*> Pointers(const CKeywordArray& table) {
    std::vector<const CKeyword*> pointers;
    for (const auto& keyword : table)
        pointers.push_back(keyword.get());
    return pointers;
}

// Where each record now in `table` stood in `before`; at() throws on a stranger.
inline std::vector<int> Order(const CKeywordArray& table,
                              const std::vector<const CKeyword*>& before) {
    std::map<const CKeyword*, int> position;
    for (int i = 0; i < static_cast<int>(before.size()); ++i)
        position[before[i]] = i;
    std::vector<int> order;
    for (const auto& keyword : table)
        order.push_back(position.at(keyword.get()));
    return order;
}

// Few symbols, lines and use counts, so that equal keys are common. "g" comes
// from a one-letter define; the last symbol needs unsigned byte order.
inline const std::vector<std::string> kSymbols = {"g",  "gA",  "gAA",       "gAB",
                                                  "gB", "g_x", "gOpenFile", "g\xC3\xA9"};

inline std::vector<KeywordRow> RandomRows(std::mt19937& rng, int n) {
    std::uniform_int_distribution<std::size_t> symbol(0, kSymbols.size() - 1);
    std::uniform_int_distribution<int> line(1, n / 2 + 1), uses(0, 3), percent(0, 99);
    std::vector<KeywordRow> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({kSymbols[symbol(rng)], percent(rng) < 30, line(rng), uses(rng)});
    return rows;
}

inline CLineArray Lines(std::string_view text) {
    CLineArray lines;
    ReadLines(text, lines);
    return lines;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A fresh folder under the temp folder, removed with its content.
struct TempDir {
    std::string root;
    TempDir() {
        static int counter = 0;
        root = (std::filesystem::temp_directory_path() /
                ("glosscutter-test-" + std::to_string(::getpid()) + "-" +
                 std::to_string(counter++) + "-" + std::to_string(std::random_device{}())))
                   .string();
        std::filesystem::create_directories(root);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(std::string_view name) const { return root + "/" + std::string(name); }
};

} // namespace testing_tables
