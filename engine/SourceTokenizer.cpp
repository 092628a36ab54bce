#include "SourceTokenizer.h"

#include "ByteBlock.h"
#include "SourceLexer.h"
#include "SymbolIndex.h"

#include <array>
#include <bit>
#include <climits>

// Every symbol starts with "g", so the only tokens worth a look are those that
// start with one. The text is read in blocks of 64 bytes; for each block three
// bit masks say where the "g", CR and LF bytes are. A "g" whose previous byte
// belongs to no token starts a candidate, and its line is the block's first
// line plus the line breaks before it in the block. Everything else is
// skipped without a look at the single bytes.

namespace {

constexpr std::string_view kDelimiters = " ()[]{}<>!~-+*/%&^|?:;=.\"\t',";

constexpr std::array<bool, 256> MakeTokenBytes() {
    std::array<bool, 256> token{};
    token.fill(true);
    for (const char c : kDelimiters)
        token[static_cast<unsigned char>(c)] = false;
    token[0] = false;
    token['\n'] = false;
    token['\r'] = false;
    return token;
}

constexpr std::array<bool, 256> kTokenBytes = MakeTokenBytes();

bool IsTokenByte(char c) {
    return kTokenBytes[static_cast<unsigned char>(c)];
}

constexpr std::size_t kBlock = CByteBlock::kSize;
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
static_assert(CByteBlockAvx2::kSize == kBlock, "the loop's blocks are of one size");
#endif

constexpr std::array<bool, 256> kDelimiterBytes = [] {
    std::array<bool, 256> delimiters{};
    for (std::size_t b = 0; b < 256; ++b)
        delimiters[b] = !kTokenBytes[b];
    return delimiters;
}();

constexpr CNibbleClass kDelimiterClass = MakeNibbleClass(kDelimiterBytes);
static_assert(IsExactClass(kDelimiterClass, kDelimiterBytes),
              "the delimiters' high halves take more than eight values");

// Whether a block tells the token bytes itself; otherwise the loop reads them.
template <class TBlock>
constexpr bool kTellsTokens = false;
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
template <>
constexpr bool kTellsTokens<CByteBlockAvx2> = true;
#endif

struct CBlockMasks {
    std::uint64_t m_nG = 0;
    std::uint64_t m_nCr = 0;
    std::uint64_t m_nLf = 0;
    std::uint64_t m_nToken = 0; // kTellsTokens, or a short block: the token bytes
};

// Masks of the `size` (at most 64) bytes at `p`; bit k stands for p[k].
template <class TBlock>
CBlockMasks MaskBlock(const char* p, std::size_t size) {
    CBlockMasks masks;
    if (size == TBlock::kSize) {
        const TBlock block(p);
        masks.m_nG = block.Equal('g');
        masks.m_nCr = block.Equal('\r');
        masks.m_nLf = block.Equal('\n');
        if constexpr (kTellsTokens<TBlock>)
            masks.m_nToken = ~block.InNibbleClass(kDelimiterClass);
        return masks;
    }
    for (std::size_t k = 0; k < size; ++k) {
        const std::uint64_t bit = std::uint64_t{1} << k;
        masks.m_nG |= p[k] == 'g' ? bit : 0;
        masks.m_nCr |= p[k] == '\r' ? bit : 0;
        masks.m_nLf |= p[k] == '\n' ? bit : 0;
        masks.m_nToken |= IsTokenByte(p[k]) ? bit : 0;
    }
    return masks;
}

} // namespace

CSourceTokenizer::CSourceTokenizer(const CSymbolIndex& index, CSourceUseArray& uses,
                                   CSourceLexer* pLexer)
    : m_index(index), m_uses(uses), m_pLexer(pLexer) {}

void CSourceTokenizer::Emit(std::string_view token, std::int64_t nLine, UseKind kind) {
    if (CKeyword* keyword = m_index.Find(token))
        m_uses.push_back({keyword, ClampLine(nLine), kind});
}

UseKind CSourceTokenizer::KindAt(const char* p) {
    return m_pLexer == nullptr ? UseKind::Code : m_pLexer->KindAt(p);
}

void CSourceTokenizer::Feed(std::string_view piece, bool bLastPiece) {
    if (piece.empty())
        return;
    if (m_pLexer != nullptr)
        m_pLexer->BeginPiece(piece);
    FeedTokens(piece);
    if (m_pLexer != nullptr)
        m_pLexer->EndPiece(bLastPiece);
}

#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
// The loop compiled for AVX2 in whole: its blocks' code is inlined only into
// a function compiled for it.
struct CSourceTokenizer::CAvx2 {
    GLOSSCUTTER_AVX2_TARGET __attribute__((flatten)) static void
    FeedTokens(CSourceTokenizer& tokenizer, std::string_view piece) {
        tokenizer.FeedTokensWith<CByteBlockAvx2>(piece);
    }
};
#endif

void CSourceTokenizer::FeedTokens(std::string_view piece) {
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
    if (HasAvx2Block()) {
        CAvx2::FeedTokens(*this, piece);
        return;
    }
#endif
    FeedTokensWith<CByteBlock>(piece);
}

// One function on purpose: split into the carried token and the blocks, the
// scan takes 5% longer.
template <class TBlock>
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void CSourceTokenizer::FeedTokensWith(std::string_view piece) {
    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    const char* p = begin;

    if (m_bInToken) {
        // Finish the candidate the last piece ended in.
        const char* stop = p;
        while (stop != end && IsTokenByte(*stop))
            ++stop;
        const auto length = static_cast<std::size_t>(stop - p);
        if (!m_bCarryUseless) {
            if (m_strCarry.size() + length > m_index.GetMaxLength())
                m_bCarryUseless = true;
            else
                m_strCarry.append(p, length);
        }
        p = stop;
        if (p == end)
            return;
        if (!m_bCarryUseless)
            Emit(m_strCarry, m_nLine, m_carryKind);
        m_bInToken = false;
        m_strCarry.clear();
    }

    while (p != end) {
        const std::size_t size = std::min(kBlock, static_cast<std::size_t>(end - p));
        const CBlockMasks masks = MaskBlock<TBlock>(p, size);
        // A line ends at each CR, and at each LF that does not complete a CR LF.
        const std::uint64_t breaks =
            masks.m_nCr | (masks.m_nLf & ~((masks.m_nCr << 1) | (m_bAfterCr ? 1u : 0u)));
        const char* next = p + size;
        std::int64_t nLine = m_nLine;
        bool bJumped = false;
        std::uint64_t candidates = masks.m_nG;
        if constexpr (kTellsTokens<TBlock>)
            candidates &= ~(masks.m_nToken << 1); // the first byte's is read below
        for (std::uint64_t g = candidates; g != 0; g &= g - 1) {
            const int bit = std::countr_zero(g);
            const char* start = p + bit;
            const bool bAfterToken = start == begin ? m_bAfterToken : IsTokenByte(start[-1]);
            if (bAfterToken)
                continue; // inside a longer token
            // Most tokens that start with "g" are told apart by their next two
            // bytes; those need not be read to their end.
            if (end - start > 3 && IsTokenByte(start[1]) && IsTokenByte(start[2]) &&
                !m_index.MayContinueWith(static_cast<unsigned char>(start[1]),
                                         static_cast<unsigned char>(start[2])))
                continue;
            nLine = m_nLine + TBlock::CountBits(breaks & ((std::uint64_t{1} << bit) - 1));
            const char* stop = start + 1;
            if constexpr (kTellsTokens<TBlock>) {
                // The first byte past the token in the block, or the block's end.
                const std::uint64_t others = ~masks.m_nToken & ~((std::uint64_t{2} << bit) - 1);
                stop = others != 0 ? p + std::countr_zero(others) : p + size;
            }
            while (stop != end && IsTokenByte(*stop))
                ++stop;
            const std::string_view token(start, static_cast<std::size_t>(stop - start));
            if (stop == end) {
                // The token may go on in the next piece; keep it only while it can match.
                m_nLine = nLine;
                m_bAfterCr = false;
                m_bInToken = true;
                m_bCarryUseless = token.size() > m_index.GetMaxLength();
                if (!m_bCarryUseless) {
                    m_strCarry.assign(token);
                    m_carryKind = KindAt(start);
                }
                return;
            }
            // The kind is asked only of a match, so the lexer runs ahead in long strides.
            if (CKeyword* keyword = m_index.Find(token))
                m_uses.push_back({keyword, ClampLine(nLine), KindAt(start)});
            if (stop >= next) {
                // The token ran past this block; go on right after it. It
                // holds no line break, so its line is the line there.
                next = stop;
                bJumped = true;
                break;
            }
        }
        if (bJumped) {
            m_nLine = nLine;
            m_bAfterCr = false;
        } else {
            m_nLine += TBlock::CountBits(breaks);
            m_bAfterCr = next[-1] == '\r';
        }
        p = next;
    }
    m_bAfterToken = IsTokenByte(end[-1]);
}

void CSourceTokenizer::Finish() {
    if (m_bInToken && !m_bCarryUseless)
        Emit(m_strCarry, m_nLine, m_carryKind);
    if (m_pLexer != nullptr)
        m_pLexer->Finish();
    m_bInToken = false;
    m_bCarryUseless = false;
    m_strCarry.clear();
}
