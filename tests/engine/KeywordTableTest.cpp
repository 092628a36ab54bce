// The keyword file read, the sort, the lookup and the scan: hand-worked rows that
// pin down the reference models, which the fuzz targets hold the code to.

#include "Duplicates.h"
#include "KeepPatterns.h"
#include "KeywordFileReader.h"
#include "KeywordSort.h"
#include "NamedRows.h"
#include "ReferenceModels.h"
#include "TestTables.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_tables;
using namespace reference_models;
using namespace std::string_view_literals;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest
using Strings = std::vector<std::string>;

using ParseRow = CaseRow<std::string, Strings>; // keywords as Describe gives them

const ParseRow kParseRows[] = {
    {"plain", R"(#define sOpenFile "Open file")", {"1 gOpenFile=Open file"}},
    {"commented out", R"(// #define sOld "Old")", {"1 marked gOld=Old"}},
    {"blank before comment", R"(#define sName "Name" /* c */)", {"1 gName=\"Name\" "}},
    {"line comment after", R"(#define sC "v"// y)", {"1 gC=v"}},
    {"slashes inside quotes", R"(#define sUrl "a//b" // c)", {R"(1 gUrl="a//b" // c)"}},
    {"one-letter name", R"(#define A "x")", {"1 g=x"}},
    {"empty value", R"(#define sE "")", {"1 gE="}},
    {"lone quote", R"(#define sQ ")", {"1 gQ="}},
    {"tabs and blanks", "#define \t sTab\t \"T\"", {"1 gTab=T"}},
    {"NUL in value", std::string("#define sN \"a\0b\""sv), {std::string("1 gN=a\0b"sv)}},
    {"no quote", "#define nMax 10", {}},
    {"no blank after name", R"(#define sX"x")", {}},
    {"mixed breaks", "\n#define sA \"a\"\r\n\r#define sA \"b\"\n", {"2 gA=a", "4 gA=b"}},
    {"if 0",
     "#if 0\n#define sIn \"In\"\n#endif\n#define sOut \"O\"",
     {"2 marked gIn=In", "4 gOut=O"}},
    {"nested if 0",
     "#if 0\n  #if 0\n#define sA \"a\"\n\t#endif\n#define sB \"b\"\n#endif\n#define sC \"c\"",
     {"3 marked gA=a", "5 marked gB=b", "7 gC=c"}},
    // An #endif without "#if 0" drives the counter below zero.
    {"endif of ifdef",
     "#ifdef X\n#endif\n#define sA \"a\"\n#if 0\n#define sB \"b\"",
     {"3 marked gA=a", "5 gB=b"}},
    {"if 0x10", "#if 0x10\n#define sA \"a\"", {"2 marked gA=a"}},
    {"commented if 0", "// #if 0\n#define sA \"a\"", {"2 gA=a"}},
    {"endif naming if 0", "#if 0\n#endif // #if 0\n#define sA \"a\"", {"3 marked gA=a"}},
    {"keyword line is no directive",
     "#if 0 #define sA \"a\"\n#define sB \"b\"",
     {"1 marked gA=a", "2 gB=b"}},
    {"keep comment on the line",
     "#define sDyn \"x\" // glosscutter:keep built at run time",
     {"1 kept gDyn=\"x\" "}},
    {"keep comment above",
     "/* glosscutter:keep */\n#define sA \"a\"\n#define sB \"b\"",
     {"2 kept gA=a", "3 gB=b"}},
    {"keep tag outside a comment", "#define sA \"glosscutter:keep\"", {"1 gA=glosscutter:keep"}},
};

class ParseKeywordLinesRows : public testing::TestWithParam<ParseRow> {};
TEST_P(ParseKeywordLinesRows, GiveTheseKeywords) {
    EXPECT_EQ(Describe(ParseLines(Lines(GetParam().input))), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, ParseKeywordLinesRows, testing::ValuesIn(kParseRows), kRowName);

// Each keyword as "line [lines of the same symbol] [lines of the same value]".
using DuplicateRow = CaseRow<std::string, Strings>;

const DuplicateRow kDuplicateRows[] = {
    {"none", "#define sA \"a\"\n#define sB \"b\"", {"1 [] []", "2 [] []"}},
    {"three of one symbol",
     "#define sA \"a\"\n#define sB \"b\"\n#define sA \"c\"\n#define sA \"d\"",
     {"1 [3,4] []", "2 [] []", "3 [1,4] []", "4 [1,3] []"}},
    {"one value, two symbols",
     "#define sA \"v\"\n#define sB \"w\"\n#define sC \"v\"",
     {"1 [] [3]", "2 [] []", "3 [] [1]"}},
    // A redefinition with the same text is no candidate to merge.
    {"same symbol, same value",
     "#define sA \"v\"\n#define sA \"v\"\n#define sB \"v\"",
     {"1 [2] [3]", "2 [1] [3]", "3 [] [1,2]"}},
    {"marked ones left out",
     "#define sA \"v\"\n// #define sA \"v\"\n#define sB \"v\"",
     {"1 [] [3]", "2 [] []", "3 [] [1]"}},
    {"prefix is no duplicate", "#define sAb \"v\"\n#define sA \"vw\"", {"1 [] []", "2 [] []"}},
};

class FindDuplicatesRows : public testing::TestWithParam<DuplicateRow> {};
TEST_P(FindDuplicatesRows, ListTheOtherLines) {
    CKeywordArray table = ParseLines(Lines(GetParam().input));
    FindDuplicates(table);
    FindDuplicates(table); // a second run replaces what the first found
    const auto join = [](const std::vector<int>& lines) {
        std::string text;
        for (const int line : lines)
            text += (text.empty() ? "" : ",") + std::to_string(line);
        return "[" + text + "]";
    };
    Strings found;
    for (const auto& keyword : table)
        found.push_back(std::to_string(keyword->m_nLine) + " " +
                        join(keyword->m_arrSameSymbolLines) + " " +
                        join(keyword->m_arrSameValueLines));
    EXPECT_EQ(found, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, FindDuplicatesRows, testing::ValuesIn(kDuplicateRows), kRowName);

using GlobRow = CaseRow<std::pair<const char*, const char*>, bool>; // pattern, symbol

const GlobRow kGlobRows[] = {
    {"star", {"g*File", "gOpenFile"}, true},
    {"star for nothing", {"gOpen*", "gOpen"}, true},
    {"question", {"g?pen", "gOpen"}, true},
    {"question is one byte", {"g?", "gOp"}, false},
    {"back to the star", {"g*a*b", "gxaxab"}, true},
    {"whole symbol", {"gOpen", "gOpenFile"}, false},
};

class KeepPatternRows : public testing::TestWithParam<GlobRow> {};
TEST_P(KeepPatternRows, MatchTheWholeSymbol) {
    EXPECT_EQ(MatchesKeepPattern(GetParam().input.first, GetParam().input.second),
              GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, KeepPatternRows, testing::ValuesIn(kGlobRows), kRowName);

struct SortRow {
    const char* name;
    std::vector<KeywordRow> rows;
    int key;
    bool ascending;
    std::vector<int> order;
};

// Worked out by hand from the exchange steps, so that they pin the reference
// down; records equal in key do not keep their input order.
// clang-format off
const SortRow kSortRows[] = {
    {"lines", {{"gA", false, 2}, {"gB", false, 2}, {"gC", false, 1}}, SORT_BY_LINE, true, {2, 1, 0}},
    {"symbols, marked", {{"gA", true}, {"gA", true}, {"gA", false}}, SORT_BY_SYMBOL, true, {2, 1, 0}},
    {"uses", {{"gA", true, 1, 1}, {"gB", false, 2}, {"gC", true, 3}, {"gD", false, 4, 1}},
     SORT_BY_USED, true, {1, 2, 3, 0}},
    {"symbols down", {{"gB"}, {"gA", true}, {"gC"}, {"gA"}}, SORT_BY_SYMBOL, false, {2, 0, 3, 1}},
};
// clang-format on

class KeywordSortRows : public testing::TestWithParam<SortRow> {};
TEST_P(KeywordSortRows, ReferenceAndSortGiveThisOrder) {
    CKeywordArray reference = MakeTable(GetParam().rows), sorted = MakeTable(GetParam().rows);
    ExchangeSortReference(reference, GetParam().key, GetParam().ascending);
    SortKeywords(sorted, GetParam().key, GetParam().ascending);
    EXPECT_EQ(Order(reference), GetParam().order);
    EXPECT_EQ(Order(sorted), GetParam().order);
}
INSTANTIATE_TEST_SUITE_P(Rows, KeywordSortRows, testing::ValuesIn(kSortRows), kRowName);

CKeywordArray SortedTable(const std::vector<KeywordRow>& rows) {
    CKeywordArray table = MakeTable(rows);
    SortKeywords(table, SORT_BY_SYMBOL, true);
    return table;
}

// The line of the keyword that gets the uses of gA, 0 for none. On a marked
// hit the search goes left, so it finds an unmarked keyword if there is one.
using LookupRow = CaseRow<std::vector<KeywordRow>, int>;

// clang-format off
const LookupRow kLookupRows[] = {
    {"only marked", {{"gA", true, 1}, {"gB", false, 2}}, 0},
    {"marked after unmarked", {{"gA", true, 1}, {"g", false, 2}, {"gA", false, 3}, {"gA", true, 4}}, 3},
    {"two unmarked: the middle one", {{"gA", false, 1}, {"gA", false, 2}, {"gB", false, 3}}, 2},
    {"three unmarked: the second", {{"gA", false, 1}, {"gA", false, 2}, {"gA", false, 3}, {"gB"}}, 2},
    {"empty table", {}, 0},
};
// clang-format on

class FindKeywordRows : public testing::TestWithParam<LookupRow> {};
TEST_P(FindKeywordRows, AnUnmarkedKeywordOrNone) {
    const CKeywordArray table = SortedTable(GetParam().input);
    const CKeyword* found = FindKeyword(table, "gA");
    EXPECT_EQ(found != nullptr ? found->m_nLine : 0, GetParam().expected);
    EXPECT_EQ(CSymbolIndex(table).Find("gA"), found);
}
INSTANTIATE_TEST_SUITE_P(Rows, FindKeywordRows, testing::ValuesIn(kLookupRows), kRowName);

// "<symbol>:<line>" per use.
std::string UsesText(const CSourceUseArray& uses) {
    std::string s;
    for (const CSourceUse& use : uses)
        s += " " + use.m_pKeyword->m_strSymbol + ":" + std::to_string(use.m_nLine);
    return s;
}

// Every byte either separates tokens or belongs to them; lines count as
// ReadLines counts them.
TEST(UsageScanner, EveryByteEitherSeparatesTokensOrJoinsThem) {
    const CKeywordArray table = SortedTable({{"gOpenFile"}, {"gA"}, {"gB"}});
    EXPECT_EQ(UsesText(ScanText(table, "xgOpenFile gOpenFileX gOpen File gopenfile GA")), "");
    EXPECT_EQ(UsesText(ScanText(table, "x\r\ngA\r\rgA\n\rgA\n")), " gA:2 gA:4 gA:6");
    // Alone, in a whole block of 64 bytes, and across the end of one.
    for (const std::size_t blanks : {0, 70, 61}) {
        for (int c = 0; c < 256; ++c) {
            const bool separates =
                c == 0 || kDelimiters.find(static_cast<char>(c)) != std::string_view::npos;
            if (c != '\r' && c != '\n') {
                const std::string text =
                    std::string(blanks, ' ') + "gA" + std::string(1, char(c)) + "gB";
                EXPECT_EQ(UsesText(ScanText(table, text)), separates ? " gA:1 gB:1" : "")
                    << "byte " << c << " after " << blanks << " blanks";
            }
        }
    }
}

} // namespace
