// The keyword file reader on any bytes: lines that give the file back, and
// keywords that belong each to one line and do not depend on how lines end.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "KeywordFileReader.h"
#include "TestTables.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using testing_tables::Describe;
using testing_tables::Lines;
using testing_tables::ParseLines;

void CheckLines(std::string_view bytes, const CLineArray& lines) {
    CLineArray appended = {{"earlier", LineBreak::Cr}};
    ReadLines(bytes, appended);
    FUZZ_CHECK(appended.front() == (CTextLine{"earlier", LineBreak::Cr}), "earlier line changed");
    FUZZ_CHECK(CLineArray(appended.begin() + 1, appended.end()) == lines, "append differs");
    FUZZ_CHECK(JoinLines(lines) == bytes, "lines do not give the bytes back");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CTextLine& line = lines[i];
        FUZZ_CHECK(line.m_strText.find_first_of("\r\n") == std::string::npos, "break in a line");
        FUZZ_CHECK(line.m_nBreak != LineBreak::None ||
                       (i + 1 == lines.size() && !line.m_strText.empty()),
                   "a line without a break that is not a last, non-empty line");
        FUZZ_CHECK(i == 0 || lines[i - 1].m_nBreak != LineBreak::Cr ||
                       line != CTextLine({"", LineBreak::Lf}),
                   "CR LF split into two breaks");
    }
}

void CheckKeywords(const CLineArray& lines, const CKeywordArray& table) {
    bool bDirectives = false;   // "#if 0" or "#endif" anywhere on the lines so far
    bool bEndif = false;        // "#endif" anywhere
    bool bIfZeroOpened = false; // a line without "#define" that starts with "#if 0"
    std::size_t nNext = 0;      // the next keyword to meet, in line order
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
        const std::string& text = lines[i].m_strText;
        const CKeywordArray alone = ParseLines({lines[i]});
        const bool bKeyword = nNext < table.size() && table[nNext]->m_nLine == int(i) + 1;
        FUZZ_CHECK(alone.size() == (bKeyword ? 1U : 0U), "a line read alone reads differently");
        if (!bKeyword)
            continue;
        const CKeyword& keyword = *table[nNext++];
        const CKeyword& single = *alone.front();
        FUZZ_CHECK(single.m_strSymbol == keyword.m_strSymbol &&
                       single.m_strValue == keyword.m_strValue,
                   "a keyword depends on the lines around it");
        FUZZ_CHECK(!single.m_bMarked || keyword.m_bMarked, "context unmarked a keyword");
        FUZZ_CHECK(bDirectives || single.m_bMarked == keyword.m_bMarked, "marked by no directive");
        FUZZ_CHECK(!bIfZeroOpened || bEndif || keyword.m_bMarked, "unmarked in an open \"#if 0\"");

        // What the rows of the reader's tests pin down, in short: a keyword comes
        // from a "#define" line with a quote, and is fresh.
        FUZZ_CHECK(text.find("#define") != std::string::npos && text.find('"') != std::string::npos,
                   "keyword from a line without \"#define\" and a quote");
        FUZZ_CHECK(keyword.m_strSymbol.starts_with('g') && !keyword.m_bChecked &&
                       keyword.m_listUsed.empty() && keyword.m_nSortKey == SORT_BY_SYMBOL,
                   "a fresh keyword is no g-symbol, or is ticked, used or sorted");
        // The plain form of the keyword reads back as the same keyword.
        const std::string plain =
            "#define s" + keyword.m_strSymbol.substr(1) + " \"" + keyword.m_strValue + "\"";
        FUZZ_CHECK(Describe(ParseLines(Lines(plain))) ==
                       std::vector{"1 " + keyword.m_strSymbol + "=" + keyword.m_strValue},
                   "the plain form of a keyword reads differently");
    }
    FUZZ_CHECK(nNext == table.size(), "keyword on no line of the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    const std::string_view bytes = CFuzzInput(pData, nSize).TakeRest();
    const CLineArray lines = Lines(bytes);
    CheckLines(bytes, lines);

    CKeywordArray table;
    table.push_back(std::make_unique<CKeyword>("gEarlier", "e", 7, false));
    ParseKeywordLines(lines, table);
    FUZZ_CHECK(table.front()->m_strSymbol == "gEarlier", "earlier keyword changed");
    table.erase(table.begin());
    CheckKeywords(lines, table);

    // How lines end is no part of what they define.
    for (const LineBreak lineBreak : {LineBreak::Lf, LineBreak::CrLf, LineBreak::Cr}) {
        CLineArray other = lines;
        for (CTextLine& line : other)
            line.m_nBreak = lineBreak;
        FUZZ_CHECK(Describe(ParseLines(Lines(JoinLines(other)))) == Describe(table),
                   "keywords depend on the line breaks");
    }
    // The first lines alone give the keywords on them.
    const std::size_t nPrefix = nSize % (lines.size() + 1);
    std::vector<std::string> onPrefix = Describe(table);
    std::erase_if(onPrefix, [&](const std::string& k) { return std::stoul(k) > nPrefix; });
    FUZZ_CHECK(Describe(ParseLines(CLineArray(lines.begin(), lines.begin() + long(nPrefix)))) ==
                   onPrefix,
               "the first lines give other keywords");
    return 0;
}
