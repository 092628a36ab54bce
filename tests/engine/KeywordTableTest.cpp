// The keyword table: the keyword file read into it, its sort, and the scan that
// finds the uses of its symbols.

#include "KeywordFileReader.h"
#include "KeywordSort.h"
#include "ReferenceModels.h"
#include "SourceTokenizer.h"
#include "SymbolIndex.h"
#include "TestTables.h"
#include "UsageScanner.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using namespace testing_tables;
using namespace reference_models;
using namespace std::string_view_literals;

struct KeywordRow {
    std::string symbol;
    bool marked = false;
    int line = 1;
    int uses = 0;
};

// Each keyword's value is its row's index, so that an order can be read off.
CKeywordArray MakeTable(const std::vector<KeywordRow>& rows) {
    CKeywordArray table;
    for (const KeywordRow& row : rows) {
        table.push_back(std::make_unique<CKeyword>(row.symbol, std::to_string(table.size()),
                                                   row.line, row.marked));
        for (int i = 0; i < row.uses; ++i)
            table.back()->m_listUsed.emplace_back("use.c", i + 1);
    }
    return table;
}

// The rows of a MakeTable table, in the table's present order.
std::vector<int> Order(const CKeywordArray& table) {
    std::vector<int> order;
    for (const auto& keyword : table)
        order.push_back(std::stoi(keyword->m_strValue));
    return order;
}

// Few symbols, lines and use counts, so that equal keys are common. "g" comes
// from a one-letter define; the last symbol needs unsigned byte order.
const std::vector<std::string> kSymbols = {"g",  "gA",  "gAA",       "gAB",
                                           "gB", "g_x", "gOpenFile", "g\xC3\xA9"};

std::vector<KeywordRow> RandomRows(std::mt19937& rng, int n) {
    std::uniform_int_distribution<std::size_t> symbol(0, kSymbols.size() - 1);
    std::uniform_int_distribution<int> line(1, n / 2 + 1), uses(0, 3), percent(0, 99);
    std::vector<KeywordRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        rows.push_back({kSymbols[symbol(rng)], percent(rng) < 30, line(rng), uses(rng)});
    return rows;
}

constexpr LineBreak None = LineBreak::None, Lf = LineBreak::Lf, CrLf = LineBreak::CrLf,
                    Cr = LineBreak::Cr;

TEST(ReadLines, SplitsAtEachBreakAndJoinsBack) {
    const std::pair<std::string, CLineArray> rows[] = {{"", {}},
                                                       {"abc", {{"abc", None}}},
                                                       {"a\n\n", {{"a", Lf}, {"", Lf}}},
                                                       {"a\r\nb\r\n", {{"a", CrLf}, {"b", CrLf}}},
                                                       {"a\rb\r", {{"a", Cr}, {"b", Cr}}},
                                                       {"\r\r\n", {{"", Cr}, {"", CrLf}}},
                                                       {"a\n\r", {{"a", Lf}, {"", Cr}}}};
    for (const auto& [bytes, lines] : rows) {
        EXPECT_EQ(Lines(bytes), lines) << testing::PrintToString(bytes);
        EXPECT_EQ(JoinLines(lines), bytes);
    }
}

// The round trip and these rules leave one way only to split any input, NULs included.
TEST(ReadLines, RandomBytesSplitOneWayAppendAndJoinBack) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> length(0, 40), byte(0, 255), pick(0, 7);
    for (int t = 0; t < 2000; ++t) {
        std::string bytes;
        for (int n = length(rng); n > 0; --n) {
            const int k = pick(rng);
            bytes += k < 4 ? "\r\n\0a"sv[k] : static_cast<char>(byte(rng));
        }
        CLineArray lines = {{"earlier", Cr}};
        ReadLines(bytes, lines);
        ASSERT_EQ(lines.front(), (CTextLine{"earlier", Cr}));
        lines.erase(lines.begin());
        ASSERT_EQ(JoinLines(lines), bytes);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const CTextLine& line = lines[i];
            ASSERT_EQ(line.m_strText.find_first_of("\r\n"), std::string::npos);
            // Only the last line may lack a break, and then it is not empty.
            ASSERT_TRUE(line.m_nBreak != None ||
                        (i + 1 == lines.size() && !line.m_strText.empty()));
            ASSERT_FALSE(i > 0 && lines[i - 1].m_nBreak == Cr && (line == CTextLine{"", Lf}))
                << "CR LF split";
        }
    }
}

TEST(ParseKeywordLines, KeywordLinesAndIf0Blocks) {
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {R"(#define sOpenFile "Open file")", {"1 gOpenFile=Open file"}},
        {"\t#define sSave \"Save\"", {"1 gSave=Save"}},
        {R"(// #define sOld "Old")", {"1 marked gOld=Old"}},
        {R"(#define sName "Name"/* c */)", {"1 gName=Name"}},
        {R"(#define sName "Name" /* c */)", {"1 gName=\"Name\" "}},
        {R"(#define sC "v"// y)", {"1 gC=v"}},
        {R"(#define sUrl "a//b" // c)", {R"(1 gUrl="a//b" // c)"}},
        {R"(#define A "x")", {"1 g=x"}},
        {R"(#define sE "")", {"1 gE="}},
        {R"(#define sQ ")", {"1 gQ="}},
        {"#define \t sTab\t \"T\"", {"1 gTab=T"}},
        {std::string("#define sN \"a\0b\""sv), {std::string("1 gN=a\0b"sv)}},
        {"#define nMax 10", {}},
        {R"(#define sX"x")", {}},
        {"\n#define sA \"a\"\r\n\r#define sA \"b\"\n", {"2 gA=a", "4 gA=b"}},
        {"#if 0\n#define sIn \"In\"\n#endif\n#define sOut \"O\"", {"2 marked gIn=In", "4 gOut=O"}},
        {"#if 0\n  #if 0\n#define sA \"a\"\n\t#endif\n#define sB \"b\"\n#endif\n#define sC \"c\"",
         {"3 marked gA=a", "5 marked gB=b", "7 gC=c"}},
        // An #endif without "#if 0" drives the counter below zero.
        {"#ifdef X\n#endif\n#define sA \"a\"\n#if 0\n#define sB \"b\"",
         {"3 marked gA=a", "5 gB=b"}},
        {"#if 0x10\n#define sA \"a\"", {"2 marked gA=a"}},
        {"// #if 0\n#define sA \"a\"", {"2 gA=a"}},
        {"#if 0\n#endif // #if 0\n#define sA \"a\"", {"3 marked gA=a"}},
        // Keyword lines are never directives.
        {"#if 0 #define sA \"a\"\n#define sB \"b\"", {"1 marked gA=a", "2 gB=b"}}};
    for (const auto& [text, keywords] : rows) {
        CKeywordArray table;
        ParseKeywordLines(Lines(text), table);
        EXPECT_EQ(Describe(table), keywords) << testing::PrintToString(text);
    }
}

// The file's lines stay for a later wipe; a file that cannot be read changes nothing.
TEST(ParseKeywordFile, KeepsTheLinesAndAppendsTheKeywords) {
    TempDir dir;
    const std::string text = "// k\r\n#define sA \"a\"\n#define sB \"b\"";
    const std::string path = dir.Put("keys.h", text);
    CKeywordArray table = MakeTable({{"gOld"}});
    g_arrKeywordLines = {{"stale", Lf}};
    for (const std::string& name : {path, dir / "missing.h"}) {
        EXPECT_EQ(!ParseKeywordFile(name, table), name == path) << name;
        EXPECT_EQ(g_arrKeywordLines, Lines(text));
        EXPECT_EQ(g_strKeywordLinesFile, path);
        EXPECT_EQ(Describe(table), (std::vector<std::string>{"1 gOld=0", "2 gA=a", "3 gB=b"}));
    }
}

using Step = std::pair<int, bool>; // key, ascending

// Applies `steps` to two tables built from `rows`, one with SortKeywords, one
// with the reference, and compares them after every step.
void ExpectSameAsReference(const std::vector<KeywordRow>& rows, const std::vector<Step>& steps) {
    CKeywordArray actual = MakeTable(rows), expected = MakeTable(rows);
    for (const auto& [key, ascending] : steps) {
        SCOPED_TRACE("key " + std::to_string(key) + (ascending ? " up" : " down"));
        SortKeywords(actual, key, ascending);
        ExchangeSortReference(expected, key, ascending);
        ASSERT_EQ(Order(actual), Order(expected));
        for (const auto& keyword : actual)
            ASSERT_EQ(keyword->m_nSortKey, key);
    }
}

// Orders worked out by hand from the exchange steps, which pin down the reference.
// Equal records do not keep their input order.
TEST(KeywordSort, ReferenceOrderAmongEqualKeys) {
    const struct {
        std::vector<KeywordRow> rows;
        Step step;
        std::vector<int> order;
    } rows[] = {
        {{{"gA", false, 2}, {"gB", false, 2}, {"gC", false, 1}}, {SORT_BY_LINE, true}, {2, 1, 0}},
        {{{"gA", true}, {"gA", true}, {"gA", false}}, {SORT_BY_SYMBOL, true}, {2, 1, 0}},
        {{{"gA", true, 1, 1}, {"gB", false, 2}, {"gC", true, 3}, {"gD", false, 4, 1}},
         {SORT_BY_USED, true},
         {1, 2, 3, 0}}};
    for (const auto& row : rows) {
        CKeywordArray table = MakeTable(row.rows);
        ExchangeSortReference(table, row.step.first, row.step.second);
        EXPECT_EQ(Order(table), row.order) << row.step.first << " " << row.step.second;
    }
}

// Keys 0 and 4 are unknown: they move nothing but are stored all the same. Each
// table is sorted again and again from the previous order, as the list view does;
// the first two are empty and single, the last has hundreds of equal keys.
TEST(KeywordSort, MatchesTheExchangeSortOnRandomTables) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> size(0, 60), key(0, 4), coin(0, 1);
    for (int t = 0; t < 1000; ++t) {
        std::vector<Step> steps(t < 999 ? 4 : 8);
        std::generate(steps.begin(), steps.end(), [&] { return Step{key(rng), coin(rng) == 1}; });
        const auto rows = RandomRows(rng, t < 2 ? t : t < 999 ? size(rng) : 2000);
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(rows, steps)) << "table " << t;
    }
}

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

// "<symbol>:<line>" per use, so that a row can say what it expects.
std::string Describe(const CSourceUseArray& uses) {
    std::string s;
    for (const CSourceUse& use : uses)
        s += (s.empty() ? "" : " ") + use.m_pKeyword->m_strSymbol + ":" +
             std::to_string(use.m_nLine);
    return s;
}

// Symbols, near misses, long tokens, NULs and every kind of break.
std::string RandomSource(std::mt19937& rng, int chunks) {
    std::vector<std::string> pieces = kSymbols;
    pieces.insert(pieces.end(), {"gOpen", "x", "_", "1", "#", "\\", "\xC3", "\r", "\n", "\r\n", " ",
                                 ", ", "(", "\"", "\t", "->", "//", std::string(1, '\0')});
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size());
    std::uniform_int_distribution<int> longLength(0, 100);
    std::string text;
    for (int i = 0; i < chunks; ++i) {
        const std::size_t k = pick(rng);
        text += k < pieces.size() ? pieces[k] : "g" + std::string(longLength(rng), 'A');
    }
    return text;
}

TEST(UsageScanner, EveryByteEitherSeparatesTokensOrJoinsThem) {
    const CKeywordArray table = SortedTable({{"gOpenFile"}, {"gA"}, {"gB"}});
    const std::pair<std::string_view, const char*> rows[] = {
        {"", ""},
        {"Show(gOpenFile, gA)->gB[2]", "gOpenFile:1 gA:1 gB:1"},
        {"xgOpenFile gOpenFileX gOpen File gopenfile GA", ""},
        {"x\r\ngA\r\rgA\n\rgA\n", "gA:2 gA:4 gA:6"}};
    for (const auto& [text, uses] : rows)
        EXPECT_EQ(Describe(Scan(table, text)), uses) << testing::PrintToString(std::string(text));
    for (int c = 0; c < 256; ++c) {
        const bool separates =
            c == 0 || kDelimiters.find(static_cast<char>(c)) != std::string_view::npos;
        if (c == '\r' || c == '\n')
            continue;
        EXPECT_EQ(Describe(Scan(table, "gA" + std::string(1, static_cast<char>(c)) + "gB")),
                  separates ? "gA:1 gB:1" : "")
            << "byte " << c;
    }
    // Every token of a long line counts, however many come before it.
    std::string line = "x\n";
    for (int position = 0; position < 120; ++position)
        line += (position % 25 < 2 ? "gA" : "t" + std::to_string(position)) +
                (position % 2 == 1 ? ", " : "(");
    EXPECT_EQ(Scan(table, line), CSourceUseArray(10, {table[0].get(), 2}));
}

// The line of the keyword whose uses gA gives, 0 for none: on a marked hit the
// search goes left, so an unmarked keyword of the symbol is found if there is one.
TEST(UsageScanner, UsesGoToAnUnmarkedKeywordOrNowhere) {
    const std::pair<std::vector<KeywordRow>, int> rows[] = {
        {{{"gA", true, 1}, {"gB", false, 2}}, 0},
        {{{"gA", true, 1}, {"g", false, 2}, {"gA", false, 3}, {"gA", true, 4}}, 3},
        {{{"gA", false, 1}, {"gA", false, 2}, {"gB", false, 3}}, 2}, // the middle one
        {{}, 0}};
    for (const auto& [keywords, line] : rows) {
        const CKeywordArray table = SortedTable(keywords);
        const CKeyword* found = FindKeyword(table, "gA");
        EXPECT_EQ(found ? found->m_nLine : 0, line);
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

// Also checks the line numbers against ReadLines' numbering, and the index against
// the binary search. Pieces of one byte put a boundary at every position.
TEST(SourceTokenizer, PiecesOfAnySizeGiveTheUsesOfTheWholeText) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> size(0, 60), chunks(0, 300);
    std::vector<std::string> tokens = kSymbols;
    tokens.insert(tokens.end(), {"", "h", "G", "gAAB", "gA ", "gOpen", "gOpenFileX", "g\xC3"});
    for (int t = 0; t < 300; ++t) {
        const CKeywordArray table = SortedTable(RandomRows(rng, size(rng)));
        const CSymbolIndex index(table);
        for (const std::string& token : tokens) {
            CKeyword* expected = ReferenceSearch(table, token);
            ASSERT_EQ(FindKeyword(table, token), expected) << testing::PrintToString(token);
            ASSERT_EQ(index.Find(token), expected) << testing::PrintToString(token);
        }
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

// A FIFO is never opened for reading, which would wait for a writer. AnalyzeSourceFile
// appends to the uses already recorded, with the path exactly as given.
TEST(UsageScanner, ScanFileReadsTheWholeFileAndNothingButFiles) {
    std::mt19937 rng(9);
    const CKeywordArray table = SortedTable(RandomRows(rng, 40));
    const std::string text = RandomSource(rng, 150000); // spans many read buffers
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.c").c_str(), 0600), 0);
    const CUsageScanner scanner(table);
    CSourceUseArray uses, none;
    EXPECT_FALSE(scanner.ScanFile(dir.Put("big.c", text), uses));
    EXPECT_EQ(uses, Scan(table, text));
    EXPECT_GT(uses.size(), 1000u);
    EXPECT_TRUE(scanner.ScanFile(dir / "missing.c", none));
    EXPECT_TRUE(scanner.ScanFile(dir / "pipe.c", none));
    EXPECT_TRUE(none.empty());

    CKeywordArray small = SortedTable({{"gA", false, 1, 1}, {"gB"}, {"gC", true}});
    const std::string path = dir / "./src.c";
    WriteFile(path, "gA gC\r\n\r\ngB(gA)");
    AnalyzeSourceFile(path, small);
    AnalyzeSourceFile(dir / "missing.c", small);
    EXPECT_EQ(UsesOf(small), (std::vector<std::string>{"gA use.c:1", "gA " + path + ":1",
                                                       "gA " + path + ":3", "gB " + path + ":3"}));
}

} // namespace
