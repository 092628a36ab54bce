// The sort and the streaming scan against their slow reference versions, and
// the lookup against what it must find, on a small keyword table and a source
// text both drawn from the input:
//   byte     keyword count (0..15)
//   per keyword: a byte choosing the symbol (>= 0xE0: "g" and up to 7 bytes
//            of the input), a byte with marked (bit 0), uses (bits 1-2), line
//   byte     sort steps (0..7), then per step a byte: key (0..4), ascending
//   byte     piece count (0..15), then one byte per piece size
//   rest     the source text

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "KeywordSort.h"
#include "ReferenceModels.h"
#include "SourceTokenizer.h"
#include "SymbolIndex.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace reference_models;
using namespace testing_tables;

// Symbols the scan must tell apart: prefixes of each other, a "g" inside, and
// a byte above 0x7F, which sorts by its unsigned value.
const std::string_view kSymbols[] = {"g",         "gA", "gAA", "gAB",        "gB",        "g_x",
                                     "gOpenFile", "gg", "gAg", "gOpenFileX", "g\xC3\xA9", "g0"};

std::vector<KeywordRow> TakeRows(CFuzzInput& input) {
    std::vector<KeywordRow> rows(input.TakeByte() % 16);
    for (KeywordRow& row : rows) {
        const unsigned char choice = input.TakeByte();
        row.symbol = choice < 0xE0 ? std::string(kSymbols[choice % std::size(kSymbols)])
                                   : "g" + std::string(input.TakeBytes(choice & 7));
        const unsigned char flags = input.TakeByte();
        row.marked = (flags & 1) != 0;
        row.uses = flags >> 1 & 3;
        row.line = (flags >> 3) + 1;
    }
    return rows;
}

// The tokenizer fed in the given piece sizes, the rest in one last piece.
CSourceUseArray ScanInPieces(const CSymbolIndex& index, std::string_view text,
                             std::string_view sizes) {
    CSourceUseArray uses;
    CSourceTokenizer tokenizer(index, uses);
    for (const char size : sizes) {
        const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(size), text.size());
        tokenizer.Feed(text.substr(0, n));
        text.remove_prefix(n);
    }
    tokenizer.Feed(text);
    tokenizer.Finish();
    return uses;
}

// The binary search finds an unmarked keyword of the token if there is one,
// and the index finds what the search finds. (The scan's comparison with the
// reference covers the text's own tokens.)
void CheckLookup(const CKeywordArray& table, const CSymbolIndex& index, std::string_view token) {
    const CKeyword* found = FindKeyword(table, token);
    FUZZ_CHECK(index.Find(token) == found, "symbol index differs from the binary search");
    const bool bUnmarked = std::any_of(table.begin(), table.end(), [&](const auto& keyword) {
        return keyword->m_strSymbol == token && !keyword->m_bMarked;
    });
    FUZZ_CHECK((found != nullptr) == bUnmarked, "an unmarked keyword of the symbol is missed");
    FUZZ_CHECK(found == nullptr || (found->m_strSymbol == token && !found->m_bMarked),
               "found a marked keyword or another symbol");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CFuzzInput input(pData, nSize);
    const std::vector<KeywordRow> rows = TakeRows(input);
    CKeywordArray table = MakeTable(rows), reference = MakeTable(rows);
    for (int nSteps = input.TakeByte() % 8; nSteps >= 0; --nSteps) {
        // The last step is the sort every scan needs.
        const unsigned char step = nSteps == 0 ? 0 : input.TakeByte();
        const int nKey = nSteps == 0 ? SORT_BY_SYMBOL : step % 5; // 0 and 4 are no keys
        const bool bAscending = nSteps == 0 || (step & 8) != 0;
        SortKeywords(table, nKey, bAscending);
        ExchangeSortReference(reference, nKey, bAscending);
        FUZZ_CHECK(Order(table) == Order(reference), "sort differs from the exchange sort");
        FUZZ_CHECK(std::all_of(table.begin(), table.end(),
                               [&](const auto& keyword) { return keyword->m_nSortKey == nKey; }),
                   "sort key not stored");
    }
    for (std::size_t i = 1; i < table.size(); ++i)
        FUZZ_CHECK(std::pair(table[i - 1]->m_strSymbol, table[i - 1]->m_bMarked) <=
                       std::pair(table[i]->m_strSymbol, table[i]->m_bMarked),
                   "not sorted by symbol, unmarked first");

    const std::string_view sizes = input.TakeBytes(input.TakeByte() % 16);
    const std::string_view text = input.TakeRest();

    const CSymbolIndex index(table);
    for (const auto& keyword : table) {
        const std::string& symbol = keyword->m_strSymbol;
        CheckLookup(table, index, symbol);
        CheckLookup(table, index, symbol + "A");
        CheckLookup(table, index, std::string_view(symbol).substr(0, symbol.size() - 1));
        if (index.Find(symbol) != nullptr) {
            FUZZ_CHECK(symbol.size() <= index.GetMaxLength(), "a symbol longer than the longest");
            FUZZ_CHECK(symbol.size() < 3 ||
                           index.MayContinueWith(static_cast<unsigned char>(symbol[1]),
                                                 static_cast<unsigned char>(symbol[2])),
                       "a symbol's second and third bytes are said to match nothing");
        }
    }
    const CSourceUseArray whole = ScanText(table, text);
    FUZZ_CHECK(whole == ReferenceScan(table, text), "scan differs from the reference scan");
    FUZZ_CHECK(ScanInPieces(index, text, sizes) == whole, "pieces change the uses");
    FUZZ_CHECK(ScanInPieces(index, text, std::string(text.size(), '\1')) == whole,
               "single bytes change the uses");
    return 0;
}
