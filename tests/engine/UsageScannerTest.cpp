#include "UsageScanner.h"

#include "KeywordSort.h"
#include "SourceTokenizer.h"
#include "SymbolIndex.h"
#include "TestTables.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace testing_tables;
using namespace std::string_view_literals;

constexpr std::string_view kDelimiters = " ()[]{}<>!~-+*/%&^|?:;=.\"\t',";

CKeywordArray SortedTable(const std::vector<KeywordRow>& rows) {
    CKeywordArray table = MakeTable(rows);
    SortKeywords(table, SORT_BY_SYMBOL, true);
    return table;
}

CSourceUseArray Scan(const CKeywordArray& table, std::string_view text) {
    CSourceUseArray uses;
    CUsageScanner(table).ScanText(text, uses);
    return uses;
}

// The lookup written out step by step: halve, and on a marked hit go left.
CKeyword* ReferenceSearch(const CKeywordArray& table, std::string_view token) {
    for (int lo = 0, hi = static_cast<int>(table.size()) - 1; lo <= hi;) {
        const int mid = (lo + hi) / 2;
        const int result = token.compare(table[mid]->m_strSymbol);
        if (result == 0 && !table[mid]->m_bMarked)
            return table[mid].get();
        if (result <= 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return nullptr;
}

// ReadLines' lines, cut at the delimiters and NUL, every token looked up.
CSourceUseArray ReferenceScan(const CKeywordArray& table, std::string_view text) {
    const std::string separators = std::string(kDelimiters) + '\0';
    CSourceUseArray uses;
    int line = 0;
    for (const CTextLine& textLine : Lines(text)) {
        const std::string_view s = textLine.m_strText;
        ++line;
        for (std::size_t i = s.find_first_not_of(separators); i != s.npos;
             i = s.find_first_not_of(separators, i)) {
            const std::size_t end = std::min(s.find_first_of(separators, i), s.size());
            if (CKeyword* keyword = ReferenceSearch(table, s.substr(i, end - i)))
                uses.push_back({keyword, line});
            i = end;
        }
    }
    return uses;
}

// Symbols, near misses, long tokens, NULs and every kind of break.
std::string RandomSource(std::mt19937& rng, int chunks) {
    static const std::vector<std::string> pieces = [] {
        std::vector<std::string> p = kSymbols;
        p.insert(p.end(), {"gOpen", "x", "_", "1", "#", "\\", "\xC3", "\r", "\n", "\r\n", " ", ", ",
                           "(", "\"", "\t", "->", "//", std::string(1, '\0')});
        return p;
    }();
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size());
    std::uniform_int_distribution<int> longLength(0, 100);
    std::string text;
    for (int i = 0; i < chunks; ++i) {
        const std::size_t k = pick(rng);
        text += k < pieces.size() ? pieces[k] : "g" + std::string(longLength(rng), 'A');
    }
    return text;
}

TEST(UsageScanner, TokenExamples) {
    const CKeywordArray table = SortedTable({{"gOpenFile"}});
    // clang-format off
    struct {
        std::string_view text;
        std::size_t uses;
    } const cases[] = {
        {"x = gOpenFile;", 1},  {"Show(gOpenFile, gOpenFile)", 2},  {"p->gOpenFile[2]", 1},
        {"// gOpenFile", 1},    {"\"gOpenFile\"", 1},  {"\tgOpenFile\t", 1},  {"gOpenFile_2", 0},
        {"#gOpenFile", 0},      {"gOpenFile\\n", 0},  {"gOpenFile@", 0},  {"$gOpenFile", 0},
        {"`gOpenFile`", 0},     {"gOpenFile\xC3", 0},  {"gopenfile GOpenFile", 0},  {"", 0},
        {"gOpen File", 0},      {"xgOpenFile gOpenFileX", 0},  {"gOpenFile\0gOpenFile"sv, 2}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(Scan(table, c.text), CSourceUseArray(c.uses, {table[0].get(), 1}))
            << testing::PrintToString(std::string(c.text));
}

TEST(UsageScanner, EveryByteEitherSeparatesTokensOrJoinsThem) {
    ASSERT_EQ(kDelimiters.size(), 28u);
    const CKeywordArray table = SortedTable({{"gA"}, {"gB"}});
    for (int c = 0; c < 256; ++c) {
        if (c == '\r' || c == '\n')
            continue;
        const bool separates = c == 0 || kDelimiters.find(static_cast<char>(c)) != kDelimiters.npos;
        const CSourceUseArray both = {{table[0].get(), 1}, {table[1].get(), 1}};
        EXPECT_EQ(Scan(table, "gA" + std::string(1, static_cast<char>(c)) + "gB"),
                  separates ? both : CSourceUseArray{})
            << "byte " << c;
    }
}

TEST(UsageScanner, EveryTokenOfALongLineCounts) {
    const CKeywordArray table = SortedTable({{"gA"}});
    std::string line;
    for (int position = 1; position <= 120; ++position) {
        const bool symbol = position == 1 || position == 16 || position == 17 || position % 50 == 0;
        line += (symbol ? "gA" : "t" + std::to_string(position)) + (position % 2 ? ", " : "(");
    }
    EXPECT_EQ(Scan(table, "x\n" + line), CSourceUseArray(5, {table[0].get(), 2}));
}

TEST(UsageScanner, LineBreaksOfAnyKindGiveTheSameRecords) {
    const CKeywordArray table = SortedTable({{"gA"}, {"gB"}});
    CKeyword *a = table[0].get(), *b = table[1].get();
    for (std::string_view text : {"x\ngA = gB;\n\nf(gA)\n", "x\r\ngA = gB;\r\n\r\nf(gA)\r\n",
                                  "x\rgA = gB;\r\rf(gA)", "x\r\ngA = gB;\n\rf(gA)"})
        EXPECT_EQ(Scan(table, text), (CSourceUseArray{{a, 2}, {b, 2}, {a, 4}}))
            << testing::PrintToString(std::string(text));
}

TEST(UsageScanner, UsesGoToAnUnmarkedKeywordOrNowhere) {
    struct {
        const char* name;
        std::vector<KeywordRow> rows;
        int line; // of the keyword that gets the uses of gA, 0 for none
    } const cases[] = {
        {"only marked", {{"gA", true, 1}, {"gB", false, 2}}, 0},
        {"marked first", {{"gA", true, 1}, {"gA", false, 2}}, 2},
        {"unmarked first", {{"gA", false, 1}, {"gA", true, 2}}, 1},
        {"among marked", {{"gA", true, 1}, {"g", false, 2}, {"gA", false, 3}, {"gA", true, 4}}, 3},
        {"two unmarked",
         {{"gA", false, 1}, {"gA", false, 2}, {"gB", false, 3}},
         2}, // the middle one
        {"empty table", {}, 0}};
    for (const auto& c : cases) {
        const CKeywordArray table = SortedTable(c.rows);
        CKeyword* found = FindKeyword(table, "gA");
        EXPECT_EQ(found ? found->m_nLine : 0, c.line) << c.name;
        EXPECT_EQ(Scan(table, "gA; gA"), CSourceUseArray(found ? 2 : 0, {found, 1})) << c.name;
    }
}

TEST(SymbolIndex, AgreesWithTheBinarySearchOnRandomTables) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> size(0, 60);
    std::vector<std::string> tokens = kSymbols;
    tokens.insert(tokens.end(), {"", "h", "G", "A", "gAAB", "gA ", "gOpen", "gOpenFileX", "g\xC3"});
    for (int t = 0; t < 300; ++t) {
        const CKeywordArray table = SortedTable(RandomRows(rng, size(rng)));
        const CSymbolIndex index(table);
        for (const std::string& token : tokens) {
            CKeyword* expected = ReferenceSearch(table, token);
            ASSERT_EQ(FindKeyword(table, token), expected)
                << t << " " << testing::PrintToString(token);
            ASSERT_EQ(index.Find(token), expected) << t << " " << testing::PrintToString(token);
        }
    }
}

CSourceUseArray FeedInPieces(const CSymbolIndex& index, std::string_view text,
                             const std::vector<std::size_t>& sizes) {
    CSourceUseArray uses;
    CSourceTokenizer tokenizer(index, uses);
    for (std::size_t size : sizes) {
        tokenizer.Feed(text.substr(0, size));
        text.remove_prefix(std::min(size, text.size()));
    }
    tokenizer.Feed(text);
    tokenizer.Finish();
    return uses;
}

// Also checks the line numbers against ReadLines' numbering.
TEST(SourceTokenizer, PiecesOfAnySizeGiveTheUsesOfTheWholeText) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> size(0, 60), chunks(0, 300);
    for (int t = 0; t < 200; ++t) {
        const CKeywordArray table = SortedTable(RandomRows(rng, size(rng)));
        const CSymbolIndex index(table);
        const std::string text = RandomSource(rng, chunks(rng));
        const CSourceUseArray whole = Scan(table, text);
        ASSERT_EQ(whole, ReferenceScan(table, text)) << testing::PrintToString(text);
        for (std::size_t maxPiece : {1, 9, 300}) {
            std::uniform_int_distribution<std::size_t> piece(maxPiece == 1 ? 1 : 0, maxPiece);
            std::vector<std::size_t> sizes(text.size());
            std::generate(sizes.begin(), sizes.end(), [&] { return piece(rng); });
            ASSERT_EQ(FeedInPieces(index, text, sizes), whole)
                << maxPiece << testing::PrintToString(text);
        }
    }
}

TEST(SourceTokenizer, EverySplitPointInTwoPieces) {
    const CKeywordArray table = SortedTable({{"gA"}, {"gAA"}, {"gB", true}});
    const CSymbolIndex index(table);
    const std::string_view text = "x gA\r\ngAgA\r\rgAA gA\r\n\0gB gA"sv;
    const CSourceUseArray whole = ReferenceScan(table, text);
    ASSERT_EQ(whole.size(), 4u);
    for (std::size_t cut = 0; cut <= text.size(); ++cut)
        EXPECT_EQ(FeedInPieces(index, text, {cut}), whole) << "cut at " << cut;
}

TEST(UsageScanner, ScanFileReadsTheWholeFile) {
    std::mt19937 rng(9);
    const CKeywordArray table = SortedTable(RandomRows(rng, 40));
    const std::string text = RandomSource(rng, 150000); // spans many read buffers
    TempDir dir;
    WriteFile(dir / "big.c", text);
    const CUsageScanner scanner(table);
    CSourceUseArray fromFile, none;
    EXPECT_FALSE(scanner.ScanFile(dir / "big.c", fromFile));
    EXPECT_EQ(fromFile, Scan(table, text));
    EXPECT_GT(fromFile.size(), 1000u);
    EXPECT_TRUE(scanner.ScanFile(dir / "missing.c", none));
    EXPECT_TRUE(none.empty());
}

using Places = std::vector<std::pair<std::string, int>>;

Places Used(const CKeyword& keyword) {
    Places used;
    for (const CUsed& use : keyword.m_listUsed)
        used.emplace_back(use.m_strFile, use.m_nLine);
    return used;
}

TEST(UsageScanner, RecordsAppendPathAndLineInOrder) {
    CKeywordArray table = SortedTable({{"gA", false, 1, 1}, {"gB"}, {"gC", true}});
    CUsageScanner::AddUses("src/x.c",
                           {{table[0].get(), 3}, {table[1].get(), 1}, {table[0].get(), 7}});
    EXPECT_EQ(Used(*table[0]), (Places{{"use.c", 1}, {"src/x.c", 3}, {"src/x.c", 7}}));
    EXPECT_EQ(Used(*table[1]), (Places{{"src/x.c", 1}}));

    TempDir dir;
    const std::string path = dir / "./src.c"; // kept exactly as given
    WriteFile(path, "gA gC\r\n\r\ngB(gA)");
    AnalyzeSourceFile(path, table);
    AnalyzeSourceFile(dir / "missing.c", table);
    EXPECT_EQ(Used(*table[0]),
              (Places{{"use.c", 1}, {"src/x.c", 3}, {"src/x.c", 7}, {path, 1}, {path, 3}}));
    EXPECT_EQ(Used(*table[1]), (Places{{"src/x.c", 1}, {path, 3}}));
    EXPECT_TRUE(table[2]->m_listUsed.empty());
}

} // namespace
