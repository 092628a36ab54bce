#include "SourceTokenizer.h"

#include "SymbolIndex.h"

#include <array>
#include <bit>
#include <climits>
#include <cstring>

namespace {

enum ByteClass : unsigned char { kToken, kDelimiter, kLf, kCr };

constexpr std::string_view kDelimiters = " ()[]{}<>!~-+*/%&^|?:;=.\"\t',";

constexpr std::array<unsigned char, 256> MakeClasses() {
    std::array<unsigned char, 256> classes{};
    for (const char c : kDelimiters)
        classes[static_cast<unsigned char>(c)] = kDelimiter;
    classes[0] = kDelimiter;
    classes['\n'] = kLf;
    classes['\r'] = kCr;
    return classes;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

bool IsTokenByte(unsigned char c) {
    return kClasses[c] == kToken;
}

// Number of bytes equal to `c` in [p, p + size), eight at a time.
std::size_t CountByte(const unsigned char* p, std::size_t size, unsigned char c) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t pattern = 0x0101010101010101ull * c;
    std::size_t count = 0;
    std::size_t k = 0;
    for (; k + 8 <= size; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + k, 8);
        const std::uint64_t x = word ^ pattern; // zero bytes where c stands
        const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
        count += static_cast<std::size_t>(std::popcount(zero));
    }
    for (; k < size; ++k)
        count += p[k] == c;
    return count;
}

// Line breaks in [p, end): an LF, a CR LF pair and a lone CR count once each.
// `bAfterCr` says whether the byte before p was a CR and becomes true when
// the range ends with one.
std::int64_t CountLineBreaks(const unsigned char* p, const unsigned char* end, bool& bAfterCr) {
    if (p == end)
        return 0;
    const auto size = static_cast<std::size_t>(end - p);
    std::int64_t count = 0;
    if (std::memchr(p, '\r', size) == nullptr) {
        count = static_cast<std::int64_t>(CountByte(p, size, '\n'));
        if (bAfterCr && *p == '\n')
            --count; // the second half of a CR LF pair counted before
        bAfterCr = false;
        return count;
    }
    for (; p != end; ++p) {
        if (*p == '\n') {
            count += bAfterCr ? 0 : 1;
            bAfterCr = false;
        } else {
            count += *p == '\r' ? 1 : 0;
            bAfterCr = *p == '\r';
        }
    }
    return count;
}

} // namespace

bool CSourceTokenizer::IsDelimiter(unsigned char c) {
    return kClasses[c] == kDelimiter;
}

CSourceTokenizer::CSourceTokenizer(const CSymbolIndex& index, CSourceUseArray& uses)
    : m_index(index), m_uses(uses) {}

void CSourceTokenizer::Emit(std::string_view token, std::int64_t nLine) {
    if (CKeyword* keyword = m_index.Find(token))
        m_uses.push_back({keyword, nLine > INT_MAX ? INT_MAX : static_cast<int>(nLine)});
}

void CSourceTokenizer::Feed(std::string_view piece) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(piece.data());
    const auto* const end = begin + piece.size();
    const auto* p = begin;

    if (m_bInToken) {
        // Finish the token the last piece ended in.
        const auto* stop = p;
        while (stop != end && IsTokenByte(*stop))
            ++stop;
        const auto length = static_cast<std::size_t>(stop - p);
        if (!m_bCarryUseless) {
            if (m_strCarry.size() + length > m_index.GetMaxLength())
                m_bCarryUseless = true;
            else
                m_strCarry.append(reinterpret_cast<const char*>(p), length);
        }
        p = stop;
        if (p == end)
            return;
        if (!m_bCarryUseless)
            Emit(m_strCarry, m_nLine);
        m_bInToken = false;
        m_strCarry.clear();
    }

    // Every symbol starts with "g", so only tokens that start with one are
    // looked at; line breaks are counted in bulk up to each such token.
    const auto* counted = p;
    while (p != end) {
        const auto* g = static_cast<const unsigned char*>(
            std::memchr(p, 'g', static_cast<std::size_t>(end - p)));
        if (g == nullptr)
            break;
        if (g != begin && IsTokenByte(g[-1])) {
            p = g + 1; // inside a token that started earlier
            continue;
        }
        const auto* stop = g + 1;
        while (stop != end && IsTokenByte(*stop))
            ++stop;
        m_nLine += CountLineBreaks(counted, g, m_bAfterCr);
        m_bAfterCr = false;
        counted = stop;
        const std::string_view token(reinterpret_cast<const char*>(g),
                                     static_cast<std::size_t>(stop - g));
        if (stop == end) {
            // The token may go on in the next piece; keep it only while it can match.
            m_bInToken = true;
            m_bCarryUseless = token.size() > m_index.GetMaxLength();
            if (!m_bCarryUseless)
                m_strCarry.assign(token);
            return;
        }
        Emit(token, m_nLine);
        p = stop;
    }
    m_nLine += CountLineBreaks(counted, end, m_bAfterCr);
    // A piece that ends inside a token which does not start with "g" needs no
    // carry, and its continuation is passed over as part of that token.
    m_bInToken = end != begin && IsTokenByte(end[-1]);
    if (m_bInToken)
        m_bCarryUseless = true;
}

void CSourceTokenizer::Finish() {
    if (m_bInToken && !m_bCarryUseless)
        Emit(m_strCarry, m_nLine);
    m_bInToken = false;
    m_bCarryUseless = false;
    m_strCarry.clear();
}
