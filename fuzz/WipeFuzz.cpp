// Any keyword file read, then wiped with any ticks, in memory:
//   byte     bits 0-1: extra keywords (0..3); bits 2-4: tick mask bytes (0..7);
//            bits 5-7: an operation value other than Remove, which must mark
//   per extra keyword: two bytes for its line (0xFF second: far out of the
//            file), a byte with ticked (bit 0) and marked (bit 1)
//   bytes    the tick mask: bit k ticks the k-th keyword read, repeating
//   rest     the keyword file

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "KeywordFileReader.h"
#include "TestTables.h"
#include "Wipe.h"

#include <climits>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using testing_tables::Describe;
using testing_tables::Lines;
using testing_tables::ParseLines;

// Each keyword is its line's, read alone; only directives on earlier lines
// ("#if 0", "#endif") may mark it besides. How lines end is no part of it.
void CheckKeywords(const CLineArray& lines, const CKeywordArray& table) {
    bool bDirectives = false; // "#if 0" or "#endif" on an earlier line
    std::size_t nNext = 0;    // the next keyword to meet, in line order
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CKeywordArray alone = ParseLines({lines[i]});
        const bool bKeyword = nNext < table.size() && table[nNext]->m_nLine == int(i) + 1;
        FUZZ_CHECK(alone.size() == (bKeyword ? 1U : 0U), "a line read alone reads differently");
        if (bKeyword) {
            const CKeyword& keyword = *table[nNext++];
            const CKeyword& single = *alone.front();
            FUZZ_CHECK(single.m_strSymbol == keyword.m_strSymbol &&
                           single.m_strValue == keyword.m_strValue,
                       "a keyword depends on the lines around it");
            FUZZ_CHECK(bDirectives ? !single.m_bMarked || keyword.m_bMarked
                                   : single.m_bMarked == keyword.m_bMarked,
                       "marked other than by a directive");
        }
        const std::string& text = lines[i].m_strText;
        bDirectives |=
            text.find("#endif") != std::string::npos || text.find("#if 0") != std::string::npos;
    }
    FUZZ_CHECK(nNext == table.size(), "keyword on no line of the file");
    for (const LineBreak lineBreak : {LineBreak::Lf, LineBreak::CrLf, LineBreak::Cr}) {
        CLineArray other = lines;
        for (CTextLine& line : other)
            line.m_nBreak = lineBreak;
        FUZZ_CHECK(Describe(ParseLines(Lines(JoinLines(other)))) == Describe(table),
                   "keywords depend on the line breaks");
    }
}

// What the header promises, from the lines' numbers: Mark marks the ticked;
// Remove drops the ticked, the marked and every line that starts with the
// marker after blanks and tabs.
std::vector<LineFate> ExpectedFates(const CLineArray& lines, const CKeywordArray& table,
                                    bool bRemove) {
    std::set<int> wiped;
    for (const auto& keyword : table)
        if (keyword->m_bChecked || (bRemove && keyword->m_bMarked))
            wiped.insert(keyword->m_nLine);
    std::vector<LineFate> fates;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& text = lines[i].m_strText;
        const std::size_t at = text.find(kWipeMarker);
        const bool bMarker = at != std::string::npos && text.find_first_not_of(" \t") == at;
        const bool bKeep = !wiped.contains(static_cast<int>(i) + 1) && !(bRemove && bMarker);
        fates.push_back(bKeep ? LineFate::Keep : bRemove ? LineFate::Remove : LineFate::Mark);
    }
    return fates;
}

std::string Wipe(const CLineArray& lines, const CKeywordArray& table, unsigned operation) {
    const std::vector<LineFate> fates = PlanWipe(lines, table, operation);
    FUZZ_CHECK(fates == ExpectedFates(lines, table, operation == WIPE_REMOVE),
               "planned fates differ from the ticks");
    CLineArray kept; // each as it should be written
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (fates[i] != LineFate::Remove)
            kept.push_back(lines[i]);
        if (fates[i] == LineFate::Mark)
            kept.back().m_strText.insert(0, kWipeMarker);
    }
    std::string content = ApplyWipe(lines, fates);
    FUZZ_CHECK(content == JoinLines(kept), "a kept line changed, moved or lost its break");
    // A marker in front never joins or splits lines. (Removing a line may: a
    // lone CR before it and an empty line after it read back as one CR LF.)
    FUZZ_CHECK(operation == WIPE_REMOVE || Lines(content) == kept, "marking changed the lines");
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CFuzzInput input(pData, nSize);
    const unsigned char control = input.TakeByte();
    const unsigned kOtherOperations[] = {0, WIPE_MARK, 3, 4, 0x80, 0xFFFF, 0x10002, UINT_MAX};
    const unsigned otherOperation = kOtherOperations[control >> 5];
    std::string extras;
    for (int n = control & 3; n > 0; --n)
        extras += input.TakeBytes(3);
    const std::string_view mask = input.TakeBytes(control >> 2 & 7);
    const std::string_view bytes = input.TakeRest();

    const CLineArray lines = Lines(bytes);
    CKeywordArray table = ParseLines(lines);
    CheckKeywords(lines, table);
    for (std::size_t k = 0; k < table.size() && !mask.empty(); ++k)
        table[k]->m_bChecked = (mask[k / 8 % mask.size()] >> (k % 8) & 1) != 0;
    for (std::size_t i = 0; i + 3 <= extras.size(); i += 3) {
        const auto low = static_cast<unsigned char>(extras[i]);
        const auto high = static_cast<unsigned char>(extras[i + 1]);
        const auto flags = static_cast<unsigned char>(extras[i + 2]);
        // Lines 0 to two past the end, or far outside either way.
        const int nLine = high == 0xFF ? ((low & 1) != 0 ? INT_MAX : INT_MIN)
                                       : static_cast<int>((high << 8 | low) % (lines.size() + 3));
        table.push_back(std::make_unique<CKeyword>("gExtra", "x", nLine, (flags & 2) != 0));
        table.back()->m_bChecked = (flags & 1) != 0;
    }

    Wipe(lines, table, WIPE_MARK);
    Wipe(lines, table, WIPE_REMOVE);
    FUZZ_CHECK(PlanWipe(lines, table, otherOperation) == PlanWipe(lines, table, WIPE_MARK),
               "an operation other than Remove does not mark");
    for (const auto& keyword : table)
        keyword->m_bChecked = false;
    FUZZ_CHECK(Wipe(lines, table, WIPE_MARK) == bytes, "Mark with nothing ticked changed the file");
    return 0;
}
