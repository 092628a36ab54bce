// The keyword file reader on any bytes: lines that give the file back, and
// keywords that belong each to one line and do not depend on how lines end.

#include "FuzzCheck.h"
#include "KeywordFileReader.h"
#include "TestTables.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using testing_tables::Lines;
using testing_tables::ParseLines;

bool SameKeyword(const CKeyword& a, const CKeyword& b) {
    return a.m_strSymbol == b.m_strSymbol && a.m_strValue == b.m_strValue &&
           a.m_nLine == b.m_nLine && a.m_bMarked == b.m_bMarked;
}

bool SameKeywords(const CKeywordArray& a, const CKeywordArray& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameKeyword(*a[i], *b[i]))
            return false;
    return true;
}

// The same lines, every one ended by `lineBreak`.
CLineArray WithBreaks(const CLineArray& lines, LineBreak lineBreak) {
    CLineArray result = lines;
    for (CTextLine& line : result)
        line.m_nBreak = lineBreak;
    return result;
}

void CheckLines(std::string_view bytes, const CLineArray& lines) {
    // Appending leaves what was there, and splits the same as into nothing.
    CLineArray appended = {{"earlier", LineBreak::Cr}};
    ReadLines(bytes, appended);
    FUZZ_CHECK(appended.front() == (CTextLine{"earlier", LineBreak::Cr}), "earlier line changed");
    FUZZ_CHECK(CLineArray(appended.begin() + 1, appended.end()) == lines, "append differs");

    FUZZ_CHECK(JoinLines(lines) == bytes, "lines do not give the bytes back");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CTextLine& line = lines[i];
        FUZZ_CHECK(line.m_strText.find_first_of("\r\n") == std::string::npos, "break inside line");
        FUZZ_CHECK(line.m_nBreak != LineBreak::None ||
                       (i + 1 == lines.size() && !line.m_strText.empty()),
                   "a line without a break that is not a last, non-empty line");
        FUZZ_CHECK(i == 0 || lines[i - 1].m_nBreak != LineBreak::Cr ||
                       line != CTextLine({"", LineBreak::Lf}),
                   "CR LF split into two breaks");
    }
}

void CheckKeywords(const CLineArray& lines, const CKeywordArray& table) {
    // What the lines so far hold of "#if 0" and "#endif".
    bool bDirectives = false;   // either text anywhere
    bool bEndif = false;        // "#endif" anywhere
    bool bIfZeroOpened = false; // a line without "#define" that starts with "#if 0"
    int nPreviousLine = 0;
    std::size_t nNext = 0; // the next keyword to meet, in line order
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            const std::string& previous = lines[i - 1].m_strText;
            bEndif |= previous.find("#endif") != std::string::npos;
            bDirectives |= bEndif || previous.find("#if 0") != std::string::npos;
            const auto start = previous.find_first_not_of("\t ");
            bIfZeroOpened |= start != std::string::npos &&
                             previous.find("#define") == std::string::npos &&
                             previous.compare(start, 5, "#if 0") == 0;
        }
        const int nLine = static_cast<int>(i) + 1;
        const std::string& text = lines[i].m_strText;
        const CKeywordArray alone = ParseLines({lines[i]});
        FUZZ_CHECK(alone.size() <= 1, "more than one keyword on a line");
        const bool bKeyword = nNext < table.size() && table[nNext]->m_nLine == nLine;
        FUZZ_CHECK(bKeyword == (alone.size() == 1), "a line read alone is read differently");
        if (!bKeyword)
            continue;
        const CKeyword& keyword = *table[nNext++];
        FUZZ_CHECK(keyword.m_nLine > nPreviousLine, "keywords out of line order");
        nPreviousLine = keyword.m_nLine;

        const CKeyword& single = *alone.front();
        FUZZ_CHECK(single.m_strSymbol == keyword.m_strSymbol &&
                       single.m_strValue == keyword.m_strValue,
                   "a line's keyword depends on the lines around it");
        FUZZ_CHECK(!single.m_bMarked || keyword.m_bMarked, "context unmarked a keyword");
        FUZZ_CHECK(bDirectives || single.m_bMarked == keyword.m_bMarked,
                   "marked without a comment or an \"#if 0\" before it");
        FUZZ_CHECK(!bIfZeroOpened || bEndif || keyword.m_bMarked,
                   "not marked after an \"#if 0\" that no \"#endif\" closed");

        const auto define = text.find("#define");
        FUZZ_CHECK(define != std::string::npos && text.find('"') != std::string::npos,
                   "keyword from a line without \"#define\" and a quote");
        FUZZ_CHECK(keyword.m_bMarked || text.find_first_not_of("\t ") == define,
                   "unmarked keyword not at the start of its line");
        FUZZ_CHECK(!keyword.m_strSymbol.empty() && keyword.m_strSymbol[0] == 'g',
                   "symbol does not start with g");
        FUZZ_CHECK(keyword.m_strSymbol.find_first_of("\t ") == std::string::npos,
                   "blank in a symbol");
        const auto name = text.find(keyword.m_strSymbol.substr(1), define + 7);
        FUZZ_CHECK(name != std::string::npos, "symbol is not the define's name");
        FUZZ_CHECK(text.find(keyword.m_strValue, name + keyword.m_strSymbol.size()) !=
                       std::string::npos,
                   "value is not text after the name");
        FUZZ_CHECK(!keyword.m_bChecked && keyword.m_listUsed.empty() &&
                       keyword.m_nSortKey == SORT_BY_SYMBOL,
                   "a fresh keyword is ticked, used or sorted");

        // The plain form of the keyword reads back as the same keyword.
        const CKeywordArray plain = ParseLines(
            Lines("#define s" + keyword.m_strSymbol.substr(1) + " \"" + keyword.m_strValue + "\""));
        FUZZ_CHECK(plain.size() == 1 && plain.front()->m_strSymbol == keyword.m_strSymbol &&
                       plain.front()->m_strValue == keyword.m_strValue && !plain.front()->m_bMarked,
                   "the plain form of a keyword reads differently");
    }
    FUZZ_CHECK(nNext == table.size(), "keyword on no line of the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as chars
    const std::string_view bytes(reinterpret_cast<const char*>(pData), nSize);
    const CLineArray lines = Lines(bytes);
    CheckLines(bytes, lines);

    CKeywordArray table;
    table.push_back(std::make_unique<CKeyword>("gEarlier", "e", 7, false));
    ParseKeywordLines(lines, table);
    FUZZ_CHECK(table.front()->m_strSymbol == "gEarlier", "earlier keyword changed");
    table.erase(table.begin());
    CheckKeywords(lines, table);

    // How lines end is no part of what they define.
    for (const LineBreak lineBreak : {LineBreak::Lf, LineBreak::CrLf, LineBreak::Cr})
        FUZZ_CHECK(SameKeywords(ParseLines(Lines(JoinLines(WithBreaks(lines, lineBreak)))), table),
                   "keywords depend on the line breaks");

    // The first lines alone give the keywords on them.
    const std::size_t nPrefix = nSize % (lines.size() + 1);
    const CKeywordArray prefix =
        ParseLines(CLineArray(lines.begin(), lines.begin() + std::ptrdiff_t(nPrefix)));
    std::size_t nOnPrefix = 0;
    while (nOnPrefix < table.size() && table[nOnPrefix]->m_nLine <= static_cast<int>(nPrefix))
        ++nOnPrefix;
    FUZZ_CHECK(prefix.size() == nOnPrefix, "the first lines give other keywords");
    for (std::size_t i = 0; i < nOnPrefix; ++i)
        FUZZ_CHECK(SameKeyword(*prefix[i], *table[i]), "the first lines give other keywords");
    return 0;
}
