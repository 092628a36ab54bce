// The sort, the streaming scan and its lexer's kinds against their slow
// reference versions, the lookup and the called names against what they must
// find, on a small keyword table and a source text both drawn from the input:
//   byte     keyword count (0..15)
//   per keyword: a byte choosing the symbol (>= 0xE0: "g" and up to 7 bytes
//            of the input), a byte with marked (bit 0), uses (bits 1-2), line
//   byte     sort steps (0..7), then per step a byte: key (0..4), ascending
//   byte     piece count (0..15), then one byte per piece size
//   rest     the source text

#include "CalledNames.h"
#include "CalledNamesReader.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "KeywordSort.h"
#include "PastingMacros.h"
#include "ReferenceModels.h"
#include "SourceLexer.h"
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

// Symbols to tell apart: prefixes of each other, a "g" inside, a byte above 0x7F.
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

// The tokenizer, and its lexer if `bLexed`, fed in the given piece sizes, the
// rest in one last piece; the pieces go to `pCalled` too, if given.
CSourceUseArray ScanInPieces(const CSymbolIndex& index, std::string_view text,
                             std::string_view sizes, bool bLexed,
                             CCalledNamesReader* pCalled = nullptr) {
    CSourceUseArray uses;
    CSourceLexer lexer;
    CSourceTokenizer tokenizer(index, uses, bLexed ? &lexer : nullptr);
    const auto feed = [&](std::string_view piece, bool bLast = false) {
        tokenizer.Feed(piece, bLast);
        if (pCalled != nullptr)
            pCalled->Feed(piece);
    };
    for (const char size : sizes) {
        const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(size), text.size());
        feed(text.substr(0, n));
        text.remove_prefix(n);
    }
    feed(text, true);
    tokenizer.Finish();
    return uses;
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
        FUZZ_CHECK(
            Order(table) == Order(reference) &&
                std::all_of(table.begin(), table.end(),
                            [&](const auto& keyword) { return keyword->m_nSortKey == nKey; }),
            "sort differs from the exchange sort, or its key is not stored");
    }

    const std::string_view sizes = input.TakeBytes(input.TakeByte() % 16);
    const std::string_view text = input.TakeRest();

    const CSymbolIndex index(table);
    // The search finds an unmarked keyword of each symbol that has one, and the
    // index finds what the search finds.
    for (const auto& keyword : table) {
        const CKeyword* found = FindKeyword(table, keyword->m_strSymbol);
        FUZZ_CHECK(index.Find(keyword->m_strSymbol) == found, "index differs from the search");
        FUZZ_CHECK(found == nullptr
                       ? keyword->m_bMarked
                       : found->m_strSymbol == keyword->m_strSymbol && !found->m_bMarked,
                   "missed an unmarked keyword, or found a marked one or another symbol");
    }
    const CSourceUseArray whole = ScanText(table, text);
    FUZZ_CHECK(whole == ReferenceScan(table, text), "scan differs from the reference scan");
    FUZZ_CHECK(ScanInPieces(index, text, sizes, false) == whole, "pieces change the uses");
    const CSourceUseArray lexed = ReferenceScan(table, text, ReferenceKinds(text));
    FUZZ_CHECK(ScanInPieces(index, text, sizes, true) == lexed,
               "pieces change the kinds, or the kinds differ from the reference lexer");
    FUZZ_CHECK(ScanInPieces(index, text, std::string(text.size(), '\1'), true) == lexed,
               "single bytes change the uses or their kinds");

    // Whatever the pieces, a file's called names hold every name that stands
    // before a '(' of the whole text, as an invocation or a definition's line
    // has it, and it is known to paste when one of its definitions does.
    CCalledNamesReader reader;
    ScanInPieces(index, text, sizes, true, &reader);
    const CCalledNames called = reader.Finish();
    const auto mayCall = [&](std::string_view name) {
        return called.MayCall(CCalledNames::CLookup({CCalledNames::Hash(name)}));
    };
    for (std::size_t open = text.find('('); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        const std::string_view name = NameBeforeParenthesis(text, open);
        FUZZ_CHECK(name.empty() || mayCall(name),
                   "a name before a '(' is missing from the called names");
        const CCalledNameBefore before = CalledNameBefore(text, open);
        FUZZ_CHECK(before.m_strName.empty() || mayCall(before.m_strName),
                   "a name a definition may call is missing from the called names");
    }
    std::vector<CMacroDefinition> macros;
    AddTextDefinitions(text, macros);
    FUZZ_CHECK(!AnyPastes(macros) || called.MayPaste(),
               "a macro that pastes onto a \"g\" prefix went unseen");
    FUZZ_CHECK(!called.MayPaste() || called.HasPasteMarks(), "a paste without its marks");
    return 0;
}
