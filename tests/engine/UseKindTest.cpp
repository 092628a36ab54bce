// The kind of each use, fed whole and cut at every byte, and the pasted uses of
// a load.

#include "CalledNames.h"
#include "CalledNamesReader.h"
#include "GlossCutterDoc.h"
#include "NamedRows.h"
#include "PastingMacros.h"
#include "SourceLexer.h"
#include "SymbolIndex.h"
#include "TestTables.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace testing_tables;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest

// Every use of gX in `text`, as "LINE:kind", each followed by a blank.
std::string Kinds(const CKeywordArray& table, std::string_view text, std::size_t cut) {
    const CSymbolIndex index(table);
    CSourceUseArray uses;
    CSourceLexer lexer;
    CSourceTokenizer tokenizer(index, uses, &lexer);
    tokenizer.Feed(text.substr(0, cut));
    tokenizer.Feed(text.substr(std::min(cut, text.size())), true);
    tokenizer.Finish();
    std::string result;
    for (const CSourceUse& use : uses)
        result += std::to_string(use.m_nLine) + ":" + std::string(UseKindName(use.m_kind)) + " ";
    return result;
}

using KindRow = CaseRow<const char*>;

class UseKinds : public testing::TestWithParam<KindRow> {};

// Past 70 blanks, the lexer reads the row in whole blocks of 64 bytes too.
TEST_P(UseKinds, AreTheSameWhereverThePieceEnds) {
    const CKeywordArray table = MakeTable({{"gX"}});
    for (const std::string& text :
         {std::string(GetParam().input), std::string(70, ' ') + GetParam().input}) {
        for (std::size_t cut = 0; cut <= text.size(); ++cut)
            ASSERT_EQ(Kinds(table, text, cut), GetParam().expected)
                << "cut at " << cut << " of " << text.size();
    }
}

const KindRow kKindRows[] = {
    {"code_at_both_ends", "gX a gX", "1:code 1:code "},
    {"line_comment", "gX // gX\ngX", "1:code 1:comment 2:code "},
    {"line_comment_ended_by_a_lone_cr", "gX // gX\rgX", "1:code 1:comment 2:code "},
    {"line_comment_continued", "// a \\\ngX\r\n// \\\r\ngX\ngX", "2:comment 4:comment 5:code "},
    {"block_comment_over_lines", "/* gX\n gX */ gX /*/ gX */gX",
     "1:comment 2:comment 2:code "
     "2:comment 2:code "},
    {"unterminated_comment", "gX /* gX\n\ngX", "1:code 1:comment 3:comment "},
    {"strings_and_prefixes", R"("gX" L"gX" u8"gX" gX)", "1:string 1:string 1:string 1:code "},
    {"escapes", R"("\" gX" gX '"' gX '\'' gX)", "1:string 1:code 1:code 1:code "},
    {"comment_openers_in_strings", R"("//" gX "/*" gX)", "1:code 1:code "},
    {"unterminated_literals", "\"gX\ngX 'gX\ngX", "1:string 2:code 2:string 3:code "},
    {"escaped_line_break", "\"a\\\r\ngX\" gX", "2:string 2:code "},
    {"raw_string", R"~(R"d( gX )" gX )d" gX u8R"(gX)" xR"gX" gX R""gX R"a b"gX)~",
     "1:string 1:string 1:code 1:string 1:string 1:code 1:code 1:code "},
    {"digit_separators", "1'000'000 gX 0x1'F gX u'gX' gX", "1:code 1:code 1:string 1:code "},
    {"if_0_to_endif", "#if 0\ngX\n#endif\ngX", "2:inactive 4:code "},
    {"if_0_nested_to_else", "  # if 0 // off\ngX\n#ifdef A\n#else\ngX\n#endif\n#elif 1\ngX\n",
     "2:inactive 5:inactive 8:code "},
    {"if_0_with_comment_inside", "#if 0\n/* #endif */ gX\n#endif gX\ngX",
     "2:inactive 3:code "
     "4:code "},
    {"not_if_0", "#if 01\ngX\n#endif\nx #if 0\ngX\n#if gX\n", "2:code 5:code 6:code "},
    {"symbols_inside_directives", "# gX\n#  define gX(a) gX\n#if\tgX\n#gX 0\ngX",
     "1:code 2:code 2:code 3:code 5:code "},
};

INSTANTIATE_TEST_SUITE_P(Lexer, UseKinds, testing::ValuesIn(kKindRows), kRowName);

TEST(UseKinds, OnlyCFamilyNamesAreLexed) {
    for (const char* path : {"a.c", "dir.x/b.HPP", "c.c++", "d.rc", "e.mm"})
        EXPECT_TRUE(IsCFamilyFile(path)) << path;
    for (const char* path : {"a.txt", "c.d/Makefile", "b.cs", "x.h.in"})
        EXPECT_FALSE(IsCFamilyFile(path)) << path;
}

// Whether a text calls T, told from its called names with the text cut in two
// at every byte, and at every pair of bytes into three pieces.
struct CallRow {
    const char* name;
    std::string text;
    bool bCalls;
};

class CalledNamesOf : public testing::TestWithParam<CallRow> {};

CCalledNames NamesOf(const std::vector<std::string_view>& pieces) {
    CCalledNamesReader reader;
    for (const std::string_view piece : pieces)
        reader.Feed(piece);
    return reader.Finish();
}

bool MayCall(const std::vector<std::string_view>& pieces, std::string_view callee = "T") {
    return NamesOf(pieces).MayCall(CCalledNames::CLookup({CCalledNames::Hash(callee)}));
}

// `row` cut in three at every pair of bytes, and with 70 blanks before it, so
// that a block's masks see it too (or leave it to the bytes).
void ExpectAtEveryCut(const std::string& row, const std::function<bool(const CCalledNames&)>& ok) {
    for (const std::string& padded : {row, std::string(70, ' ') + row}) {
        const std::string_view text = padded;
        for (std::size_t a = 0; a <= text.size(); ++a) {
            for (std::size_t b = a; b <= text.size(); ++b) {
                ASSERT_TRUE(ok(NamesOf({text.substr(0, a), text.substr(a, b - a), text.substr(b)})))
                    << "cut at " << a << " and " << b << " of " << text.size();
            }
        }
    }
}

TEST_P(CalledNamesOf, AreFoundWhereverThePiecesEnd) {
    const CCalledNames::CLookup callee({CCalledNames::Hash("T")});
    ExpectAtEveryCut(GetParam().text, [&](const CCalledNames& names) {
        return names.MayCall(callee) == GetParam().bCalls;
    });
}

const CallRow kCallRows[] = {
    {"call", "x = T(a);", true},
    {"blanks_and_lines_before_the_parenthesis", "T \t\r\n (a)", true},
    {"at_the_start", "T(", true},
    {"longer_names", "xT(a) Tx(a) T_(a) _T(a)", false},
    {"no_parenthesis", "T [a] T", false},
    {"other_byte_between", "T;(a) T[0](a) T / (a)", false},
    // A definition's line joins these, or may: they leave the name in.
    {"backslash_newline_between", "T \\\n (a)", true},
    {"comment_between", "T/**/(a)", true},
    {"name_joined_by_a_backslash_newline", "x\\\r\nT(a)", true},
    {"line_break_before_the_name", "x\nT(a)", true},
    {"after_a_long_run_of_blanks",
     "x" + std::string(300, ' ') + "y T" + std::string(300, ' ') + "(a)", true},
    // Long enough for whole blocks, which the cuts put at every offset: a
    // name may begin in the block before its '('.
    {"names_that_a_block_cuts",
     std::string(70, 'x') + "T(a) xT(a) xxxxxxxxxxxxT(a)" + std::string(130, ' '), false},
    {"a_backslash_newline_that_blocks_cut", "x\\\nU(a)" + std::string(130, ' '), true},
    {"line_starts_that_blocks_cut", "x\nU(a) x\r\nU(a)" + std::string(130, ' '), false},
};

INSTANTIATE_TEST_SUITE_P(Pasting, CalledNamesOf, testing::ValuesIn(kCallRows), kRowName);

// Whether a text pastes anything, and may define a macro that pastes onto a
// "g" prefix, told from its bytes wherever the pieces end.
struct PasteRow {
    const char* name;
    std::string text;
    bool bHasMarks;
    bool bMayPaste;
};

class MayPasteOf : public testing::TestWithParam<PasteRow> {};

TEST_P(MayPasteOf, IsToldWhereverThePiecesEnd) {
    ExpectAtEveryCut(GetParam().text, [&](const CCalledNames& names) {
        return names.HasPasteMarks() == GetParam().bHasMarks &&
               names.MayPaste() == GetParam().bMayPaste;
    });
}

const PasteRow kPasteRows[] = {
    {"onto_g", "#define T(x) g ## x", true, true},
    {"onto_a_g_name_past_a_line", "#define T(x) gA \\\n ##x", true, true},
    {"joined_by_a_backslash_newline", "#define T(x) a #\\\n# x", true, true},
    // The bytes cannot tell: the name may go on before the backslash-newline,
    // or a comment may hide one.
    {"onto_a_name_that_may_go_on", "#define T(x) g\\\nA ## x", true, true},
    {"past_a_comment", "#define T(x) a /* c */ ## x", true, true},
    {"onto_other_names", "#define T(x) x ## y A##x fg##x", true, false},
    {"apart", "#define T(x) # x # y", false, false},
    {"none", "T(a)", false, false},
};

INSTANTIATE_TEST_SUITE_P(Pasting, MayPasteOf, testing::ValuesIn(kPasteRows), kRowName);

TEST(CalledNamesOf, IncludeACandidateSymbolThatRunsPastItsBlock) {
    const std::string name = "gXx" + std::string(70, 'x');
    for (std::size_t k = 0; k <= 64; ++k)
        EXPECT_TRUE(MayCall({std::string(k, ' ') + name + "(a)"}, name)) << k << " blanks before";
}

TEST(CalledNamesOf, AreUnsureOfANameLongerThanTheTailKept) {
    const std::string name(300, 'x');
    EXPECT_TRUE(MayCall({name.substr(0, 280), name.substr(280) + "(a)"}));
    EXPECT_FALSE(MayCall({name + "(a)"}));
}

// Files read on one thread share its room for their names: two read in turns,
// one with more names than a block of room holds, each keep the names they
// have when read alone, and what one does not fill goes to the next.
TEST(CalledNamesOf, StayTheirOwnWhenTwoFilesAreReadInTurns) {
    std::string many;
    for (int k = 0; k < 70'000; ++k)
        many += "n" + std::to_string(k) + "(a) ";
    const std::string few = "a(b(c(T(U(d)))))";
    const auto hashes = [](const CCalledNames& names) {
        std::vector<std::uint32_t> all;
        for (std::size_t k = 0; k < names.GetHashCount(); ++k)
            all.push_back(names.GetHash(k));
        return all;
    };
    CCalledNamesReader manyReader;
    CCalledNamesReader fewReader;
    for (std::size_t at = 0; at < many.size(); at += 4096) {
        manyReader.Feed(std::string_view(many).substr(at, 4096));
        fewReader.Feed(std::string_view(few).substr(std::min(at / 4096, few.size()), 1));
    }
    const CCalledNames inTurnsFew = fewReader.Finish();
    const CCalledNames inTurnsMany = manyReader.Finish();
    EXPECT_EQ(hashes(inTurnsMany), hashes(NamesOf({many})));
    EXPECT_EQ(hashes(inTurnsFew), hashes(NamesOf({few})));
    EXPECT_EQ(hashes(inTurnsMany).size(), 70'000u);
    // A file read to its end keeps only the room it fills.
    const CCalledNames first = NamesOf({few});
    const CCalledNames next = NamesOf({few});
    EXPECT_EQ(next.GetHashBytes().data(),
              first.GetHashBytes().data() + first.GetHashBytes().size());
}

// The kinds of a load's uses of each keyword, as "FILE:LINE:kind".
std::vector<std::string> LoadedKinds(const TempDir& dir, std::string_view keywords,
                                     unsigned nThreads = 0) {
    const std::string& folder = dir.root;
    CLoadSettings settings;
    settings.m_nThreads = nThreads;
    settings.m_strKeywordFile = dir.Put("texts", keywords);
    settings.m_arrSourceFolders[0] = dir / "src";
    CGlossCutterDoc doc;
    EXPECT_TRUE(doc.Load(settings));
    std::vector<std::string> result;
    for (const auto& keyword : doc.m_arrKeywords) {
        std::string line = keyword->m_strSymbol + ":";
        for (const CUsed& use : keyword->m_listUsed)
            line += " " + use.m_strFile.Get().substr(folder.size() + 5) + ":" +
                    std::to_string(use.m_nLine) + ":" + std::string(UseKindName(use.m_kind));
        result.push_back(line);
    }
    return result;
}

// The pasting macros are defined by the keyword file, or only by a file walked
// after the invocations: on one thread, those files are then scanned before
// any macro that pastes is known.
struct PastedRow {
    const char* name;
    const char* keywords;
    unsigned nThreads;
    const char* menuUses;
};

class PastedUses : public testing::TestWithParam<PastedRow> {};

TEST_P(PastedUses, JoinTheLexicalOnesInWalkAndLineOrder) {
    const TempDir dir;
    dir.Put("src/a.c", "T(A) gA T3(A)\n\nSHOW(B) T2(x, C) T(1A) T(A B) // T(D)\nSHOW4(E) SHOW5(F) "
                       "T2(\"x,y\", C)\n");
    dir.Put("src/d.c", "S2(A) HALF(A) CMT(B) SHOW6(C) SHOW7(G)\n");
    // Pastes, but onto no "g" prefix: read only once SHOW is reached.
    dir.Put("src/e.h", "#define SHOW6(y) SHOW(y) a ## b\n#define SHOW7(y) SHOW6(y)\n");
    dir.Put("src/a.txt", "T(A) // gA\n");
    // A comment and a string that the file's 256 KiB read pieces cut.
    dir.Put("src/b.c", std::string(262140, ' ') + "/* gA */ \"gA\" gA");
    // Walked after a.c, defining what it invokes. SHOW5 is parsed at once for
    // its "##", but is five macros away from one that pastes.
    dir.Put("src/c.h",
            "#define T(x) g ## x\n#define T2(a, b) gLong##a##b g##b\n"
            "#define SHOW(y) \\\n  T(y)\n#define SHOW2(y) SHOW(y)\n"
            "#define SHOW3(y) SHOW2(y)\n#define SHOW4(y) SHOW3(y)\n"
            "#define SHOW5(y) SHOW4(y) a ## b\n#define T3(x) /*/ g ## x */\n#if 0\n#define "
            "T(x) gMenu ## x\n#endif\n#define HALF(x) (1 / 2) + g ## x\n"
            "#define CMT(x) /* a */ g ## x\n");
    EXPECT_EQ(
        LoadedKinds(
            dir,
            std::string("#define sA \"a\"\n#define sB \"b\"\n#define sC \"c\"\n"
                        "#define sD \"d\"\n#define sE \"e\"\n#define sF \"f\"\n#define sG \"g\"\n"
                        "#define sMenuA \"m\"\n") +
                GetParam().keywords,
            GetParam().nThreads),
        (std::vector<std::string>{std::string("gA: a.c:1:code a.c:1:pasted d.c:1:pasted ") +
                                      "b.c:1:comment b.c:1:string b.c:1:code a.txt:1:code",
                                  "gB: a.c:3:pasted d.c:1:pasted",
                                  "gC: a.c:3:pasted a.c:4:pasted d.c:1:pasted", "gD: a.c:3:comment",
                                  "gE: a.c:4:pasted", "gF:", "gG: d.c:1:pasted",
                                  std::string("gMenuA:") + GetParam().menuUses}));
}

const PastedRow kPastedRows[] = {
    {"keyword_file_defines_one", "#define S2(x) gMenu##x\n", 0, " d.c:1:pasted"},
    {"only_a_later_file_defines_them", "", 1, ""},
};

INSTANTIATE_TEST_SUITE_P(Load, PastedUses, testing::ValuesIn(kPastedRows), kRowName);

} // namespace

namespace {

struct StatusRow {
    const char* name;
    bool bMarked;
    bool bKept;
    std::vector<UseKind> kinds;
    bool bOwnDefine; // the first use is on the keyword's own define line
    const char* expected;
    bool bStrictUnused;
};

class Statuses : public testing::TestWithParam<StatusRow> {};

TEST_P(Statuses, TakeTheFirstThatApplies) {
    const StatusRow& row = GetParam();
    CKeyword keyword("gX", "x", 1, row.bMarked);
    keyword.m_bKept = row.bKept;
    for (const UseKind kind : row.kinds)
        keyword.m_listUsed.emplace_back(kSomeFile, 2, kind);
    if (row.bOwnDefine)
        keyword.m_listUsed.front().m_bOwnDefine = true;
    EXPECT_EQ(KeywordStatusName(keyword.GetStatus()), row.expected);
    EXPECT_EQ(keyword.IsUnused(true), row.bStrictUnused);
    EXPECT_EQ(keyword.IsUnused(false), std::string_view(row.expected) == "unused");
}

const StatusRow kStatusRows[] = {
    {"marked_before_used", true, false, {UseKind::Code}, false, "marked", false},
    {"code", false, true, {UseKind::Comment, UseKind::Code}, false, "used", false},
    {"pasted", false, false, {UseKind::Pasted}, false, "used", false},
    {"kept_and_mentioned", false, true, {UseKind::String}, false, "kept", false},
    {"kept_without_uses", false, true, {}, false, "kept", false},
    {"comment_string_inactive",
     false,
     false,
     {UseKind::Comment, UseKind::String, UseKind::Inactive},
     false,
     "mentioned",
     true},
    {"own_define_line", false, false, {UseKind::Code}, true, "mentioned", true},
    {"no_use", false, false, {}, false, "unused", true},
};

INSTANTIATE_TEST_SUITE_P(Keyword, Statuses, testing::ValuesIn(kStatusRows), kRowName);

TEST(Statuses, TheKeywordFilesOwnDefineLineIsFlaggedWhereverItIsScanned) {
    const TempDir dir;
    CLoadSettings settings;
    settings.m_strKeywordFile = dir.Put("src/texts", "#define sX \"x\" // gX\n");
    settings.m_arrSourceFolders[0] = dir / "src";
    CGlossCutterDoc doc;
    ASSERT_TRUE(doc.Load(settings));
    EXPECT_EQ(KeywordStatusName(doc.m_arrKeywords[0]->GetStatus()), "mentioned");
    dir.Put("src/u.c", "int a = gX;");
    ASSERT_TRUE(doc.Load(settings));
    EXPECT_EQ(KeywordStatusName(doc.m_arrKeywords[0]->GetStatus()), "used");
}

} // namespace
