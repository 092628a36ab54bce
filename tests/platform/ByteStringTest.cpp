#include "ByteString.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

using namespace bytes;
using namespace std::string_view_literals;

constexpr Pos kHuge = PTRDIFF_MAX, kTiny = PTRDIFF_MIN;

int Sign(int result) {
    return (result > 0) - (result < 0);
}

// Each row is named after its own expression.
#define ROW(expression, expected)                                                                  \
    { #expression, expression, expected }

TEST(ByteString, SearchesGiveFirstOrLastPositionOrMinusOne) {
    // clang-format off
    struct {
        const char* name;
        Pos actual, expected;
    } const rows[] = {
        ROW(Find("abcabc", "bc"), 1),            ROW(Find("#define x", "#define"), 0),
        ROW(Find("abc", "x"), -1),               ROW(Find("ab", "abc"), -1),
        ROW(Find("", "a"), -1),                  ROW(Find("a\0bc"sv, "\0b"sv), 1),
        ROW(Find("abca", 'a'), 0),               ROW(Find("abc", 'z'), -1),
        ROW(Find("x\xC3y", '\xC3'), 1),          ROW(FindOneOf("ab c\td", " \t"), 2),
        ROW(FindOneOf("a\tb c", " \t"), 1),      ROW(FindOneOf("abc", " \t"), -1),
        ROW(FindOneOf("abc", ""), -1),           ROW(ReverseFind("\"a\"b", '"'), 2),
        ROW(ReverseFind("aaa", 'a'), 2),         ROW(ReverseFind("abc", '"'), -1),
        ROW(ReverseFind("", '"'), -1)};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(ByteString, TrimAndSubstringsClampTheirArguments) {
    // clang-format off
    struct {
        const char* name;
        std::string_view actual, expected;
    } const rows[] = {
        // TrimLeft removes the given set only: no other white space.
        ROW(TrimLeft(" \t x ", "\t "), "x "),    ROW(TrimLeft("\n x", "\t "), "\n x"),
        ROW(TrimLeft("\r\v\fx", "\t "), "\r\v\fx"), ROW(TrimLeft("   ", "\t "), ""),
        ROW(TrimLeft(" a", ""), " a"),           ROW(TrimLeft("xxy x", "x"), "y x"),
        ROW(Left("abc", 2), "ab"),               ROW(Left("abc", 0), ""),
        ROW(Left("abc", -1), ""),                ROW(Left("abc", kTiny), ""),
        ROW(Left("abc", 99), "abc"),             ROW(Right("abc", 2), "bc"),
        ROW(Right("abc", -5), ""),               ROW(Right("abc", kHuge), "abc"),
        ROW(Mid("abc", 1), "bc"),                ROW(Mid("abc", 3), ""),
        ROW(Mid("abc", 99), ""),                 ROW(Mid("abc", -2), "abc"),
        ROW(Mid("abc", kTiny), "abc"),           ROW(Mid("abcdef", 1, 2), "bc"),
        ROW(Mid("abc", 1, 99), "bc"),            ROW(Mid("abc", 1, kHuge), "bc"),
        ROW(Mid("abc", 1, 0), ""),               ROW(Mid("abc", 1, -1), ""),
        ROW(Mid("abc", 5, 2), ""),               ROW(Mid("a\0b"sv, 1, 2), "\0b"sv)};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(ByteString, CompareIsUnsignedByteOrder) {
    // clang-format off
    struct {
        const char* name;
        int actual, expected;
    } const rows[] = {
        ROW(Sign(Compare("a", "a")), 0),         ROW(Sign(Compare("a", "b")), -1),
        ROW(Sign(Compare("\xC3", "z")), 1),      ROW(Sign(Compare("\x80", "\x7F")), 1),
        ROW(Sign(Compare("ab", "abc")), -1),     ROW(Sign(Compare("abc", "ab")), 1),
        ROW(Sign(Compare("", "")), 0),           ROW(Sign(Compare("", "a")), -1),
        ROW(Sign(Compare("A", "a")), -1),        ROW(Sign(Compare("a\0b"sv, "a\0c"sv)), -1),
        ROW(Sign(Compare("a\0"sv, "a")), 1),     ROW(Sign(Compare("a\x01", "a\0"sv)), 1)};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(ByteString, MakeLowerChangesOnlyAsciiCapitals) {
    // Neighbours of the letter ranges and upper-half bytes stay as they are.
    std::string s("ABC xyz @[`{Z \xC3\x80\xC4\xDE\xFF A\0B"sv);
    MakeLower(s);
    EXPECT_EQ(s, "abc xyz @[`{z \xC3\x80\xC4\xDE\xFF a\0b"sv);
}

} // namespace
