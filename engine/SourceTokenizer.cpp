#include "SourceTokenizer.h"

#include "SymbolIndex.h"

#include <array>
#include <climits>

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

} // namespace

bool CSourceTokenizer::IsDelimiter(unsigned char c) { return kClasses[c] == kDelimiter; }

CSourceTokenizer::CSourceTokenizer(const CSymbolIndex& index, CSourceUseArray& uses)
    : m_index(index), m_uses(uses) {}

void CSourceTokenizer::Emit(std::string_view token, std::int64_t nLine) {
    if (CKeyword* keyword = m_index.Find(token))
        m_uses.push_back({keyword, nLine > INT_MAX ? INT_MAX : static_cast<int>(nLine)});
}

void CSourceTokenizer::Feed(std::string_view piece) {
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    const auto* const end = p + piece.size();

    if (m_bInToken) {
        // Finish the token the last piece ended in. It lies on the current line:
        // nothing since its start has ended the line.
        const auto* stop = p;
        while (stop != end && kClasses[*stop] == kToken)
            ++stop;
        const std::size_t length = static_cast<std::size_t>(stop - p);
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

    for (;;) {
        // Separators, counting line ends; a CR LF pair counts once.
        while (p != end) {
            const unsigned char cls = kClasses[*p];
            if (cls == kToken)
                break;
            if (cls == kLf) {
                if (!m_bAfterCr)
                    ++m_nLine;
                m_bAfterCr = false;
            } else if (cls == kCr) {
                ++m_nLine;
                m_bAfterCr = true;
            } else {
                m_bAfterCr = false;
            }
            ++p;
        }
        if (p == end)
            return;
        m_bAfterCr = false;

        const auto* const start = p;
        while (p != end && kClasses[*p] == kToken)
            ++p;
        const std::string_view token(reinterpret_cast<const char*>(start),
                                     static_cast<std::size_t>(p - start));
        if (p == end) {
            // The token may go on in the next piece; keep it only while it can match.
            m_bInToken = true;
            m_bCarryUseless = token[0] != 'g' || token.size() > m_index.GetMaxLength();
            if (!m_bCarryUseless)
                m_strCarry.assign(token);
            return;
        }
        if (token[0] == 'g')
            Emit(token, m_nLine);
    }
}

void CSourceTokenizer::Finish() {
    if (m_bInToken && !m_bCarryUseless)
        Emit(m_strCarry, m_nLine);
    m_bInToken = false;
    m_bCarryUseless = false;
    m_strCarry.clear();
}
