#include "KeywordFileReader.h"

#include "TestTables.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace testing_tables;
using namespace std::string_view_literals;

const std::string kLong(5000, 'x');
constexpr LineBreak None = LineBreak::None, Lf = LineBreak::Lf, CrLf = LineBreak::CrLf,
                    Cr = LineBreak::Cr;

struct LinesCase {
    const char* name;
    std::string bytes;
    CLineArray lines;
};
void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadLinesTest : public testing::TestWithParam<LinesCase> {};

TEST_P(ReadLinesTest, SplitsAtEachBreakAndJoinsBack) {
    EXPECT_EQ(Lines(GetParam().bytes), GetParam().lines);
    EXPECT_EQ(JoinLines(GetParam().lines), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, ReadLinesTest,
    testing::Values(LinesCase{"Empty", "", {}}, LinesCase{"NoBreak", "abc", {{"abc", None}}},
                    LinesCase{"Lf", "a\nb\n", {{"a", Lf}, {"b", Lf}}},
                    LinesCase{"CrLf", "a\r\nb\r\n", {{"a", CrLf}, {"b", CrLf}}},
                    LinesCase{"LoneCr", "a\rb\r", {{"a", Cr}, {"b", Cr}}},
                    LinesCase{
                        "Mixed", "a\r\nb\nc\rd", {{"a", CrLf}, {"b", Lf}, {"c", Cr}, {"d", None}}},
                    LinesCase{"EmptyLines", "\n\n", {{"", Lf}, {"", Lf}}},
                    LinesCase{"CrThenCrLf", "\r\r\n", {{"", Cr}, {"", CrLf}}},
                    LinesCase{"LfThenCr", "a\n\r", {{"a", Lf}, {"", Cr}}},
                    LinesCase{"LongLine", kLong + "\ny", {{kLong, Lf}, {"y", None}}},
                    LinesCase{"Nul",
                              std::string("a\0b\nc\0"sv),
                              {{std::string("a\0b"sv), Lf}, {std::string("c\0"sv), None}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadLines, AppendsToTheArray) {
    CLineArray lines = {{"old", Lf}};
    ReadLines("new", lines);
    EXPECT_EQ(lines, (CLineArray{{"old", Lf}, {"new", None}}));
}

// The round trip and these rules leave one way only to split any input.
TEST(ReadLines, RandomBytesSplitOneWayAndJoinBack) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> length(0, 40), byte(0, 255), pick(0, 7);
    for (int t = 0; t < 2000; ++t) {
        std::string bytes;
        for (int n = length(rng); n > 0; --n) {
            const int k = pick(rng);
            bytes += k < 4 ? "\r\n\0a"sv[k] : static_cast<char>(byte(rng));
        }
        const CLineArray lines = Lines(bytes);
        ASSERT_EQ(JoinLines(lines), bytes);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const CTextLine& line = lines[i];
            ASSERT_EQ(line.m_strText.find_first_of("\r\n"), std::string::npos);
            ASSERT_TRUE(i + 1 == lines.size() || line.m_nBreak != None);
            ASSERT_FALSE(line.m_nBreak == None && line.m_strText.empty())
                << "empty line after the end";
            ASSERT_FALSE(i > 0 && lines[i - 1].m_nBreak == Cr && (line == CTextLine{"", Lf}))
                << "CR LF split";
        }
    }
}

// One keyword per string: "<line> <symbol>=<value>", with " marked" after the line.
std::vector<std::string> Describe(const CKeywordArray& table) {
    std::vector<std::string> keywords;
    for (const auto& k : table) {
        EXPECT_TRUE(!k->m_bChecked && k->m_listUsed.empty() && k->m_nSortKey == SORT_BY_SYMBOL);
        keywords.push_back(std::to_string(k->m_nLine) + (k->m_bMarked ? " marked " : " ") +
                           k->m_strSymbol + "=" + k->m_strValue);
    }
    return keywords;
}

struct ParseCase {
    std::string text;
    std::vector<std::string> keywords;
};

void ExpectKeywords(const std::vector<ParseCase>& cases) {
    for (const ParseCase& c : cases) {
        CKeywordArray table;
        ParseKeywordLines(Lines(c.text), table);
        EXPECT_EQ(Describe(table), c.keywords) << testing::PrintToString(c.text);
    }
}

TEST(ParseKeywordLines, OneLineExamples) {
    ExpectKeywords({{R"(#define sOpenFile "Open file")", {"1 gOpenFile=Open file"}},
                    {"\t#define sSave \"Save\"", {"1 gSave=Save"}},
                    {R"(// #define sOld "Old")", {"1 marked gOld=Old"}},
                    {R"(int x; #define sZ "z")", {"1 marked gZ=z"}},
                    {R"(#define sName "Name"/* c */)", {"1 gName=Name"}},
                    {R"(#define sName "Name" /* c */)", {"1 gName=\"Name\" "}},
                    {R"(#define sC "v"// y)", {"1 gC=v"}},
                    {R"(#define sUrl "a//b" // c)", {R"(1 gUrl="a//b" // c)"}},
                    {R"(#define sC "v" // "q")", {R"(1 gC=v" // "q)"}},
                    {"#define sT \"T\"  ", {"1 gT=\"T\"  "}}, // nothing trims on the right
                    {R"(#define A "x")", {"1 g=x"}},
                    {R"(#define sE "")", {"1 gE="}},
                    {R"(#define sQ ")", {"1 gQ="}},
                    {R"(#define sEsc "a\"b\n")", {R"(1 gEsc=a\"b\n)"}},
                    {"#define \t sTab\t \"T\"", {"1 gTab=T"}},
                    {std::string("#define sN \"a\0b\""sv), {std::string("1 gN=a\0b"sv)}},
                    {"#define nMax 10", {}},
                    {R"(#define sX"x")", {}},
                    {R"(#define "x")", {}}});
}

TEST(ParseKeywordLines, LineNumbersAndIf0Blocks) {
    ExpectKeywords(
        {{"\n#define sA \"a\"\r\n\r#define sB \"b\"\n\n#define sC \"c\"",
          {"2 gA=a", "4 gB=b", "6 gC=c"}},
         {"#define sL \"" + kLong + "\"\n#define sM \"m\"", {"1 gL=" + kLong, "2 gM=m"}},
         {"#define sA \"1\"\n#define sA \"2\"", {"1 gA=1", "2 gA=2"}},
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
         {"#if 0 #define sA \"a\"\n#define sB \"b\"", {"1 marked gA=a", "2 gB=b"}},
         {"#if 0\n#endif #define sA \"a\"\n#define sB \"b\"", {"2 marked gA=a", "3 marked gB=b"}}});
}

TEST(ParseKeywordFile, FillsLinesAndAppendsKeywordsWhateverTheBreaks) {
    TempDir dir;
    for (std::string text : {"// k\r\n#define sA \"a\"\r\n#define sB \"b\"\r\n",
                             "// k\n#define sA \"a\"\n#define sB \"b\"\n",
                             "// k\r\n#define sA \"a\"\r\n#define sB \"b\"", ""}) {
        WriteFile(dir / "keys.h", text);
        CKeywordArray table = MakeTable({{"gOld"}});
        g_arrKeywordLines = {{"stale", Lf}};
        EXPECT_FALSE(ParseKeywordFile(dir / "keys.h", table));
        EXPECT_EQ(g_arrKeywordLines, Lines(text));
        std::vector<std::string> expected = {"1 gOld=", "2 gA=a", "3 gB=b"};
        expected.resize(text.empty() ? 1 : 3);
        EXPECT_EQ(Describe(table), expected);
    }
}

TEST(ParseKeywordFile, MissingFileChangesNothing) {
    TempDir dir;
    CKeywordArray table = MakeTable({{"gOld"}});
    const CKeyword* old = table[0].get();
    g_arrKeywordLines = {{"#define sOld \"o\"", CrLf}};
    EXPECT_TRUE(ParseKeywordFile(dir / "missing.h", table));
    EXPECT_EQ(g_arrKeywordLines, (CLineArray{{"#define sOld \"o\"", CrLf}}));
    EXPECT_EQ(Pointers(table), std::vector<const CKeyword*>{old});
}

} // namespace
