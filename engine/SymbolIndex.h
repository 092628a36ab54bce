#pragma once

#include "Keyword.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class CKeyword;

// The binary search over a table sorted by symbol: the keyword whose symbol
// equals `token`, or nullptr. A hit on a marked keyword goes on to the left,
// so with the sort's order (unmarked before marked among equal symbols) it
// finds an unmarked keyword whenever there is one. Marked keywords are never
// returned.
CKeyword* FindKeyword(const CKeywordArray& table, std::string_view token);

// What FindKeyword yields for every symbol of the table, computed once per load
// and then looked up by hash, so that each token costs one hash instead of
// log2(n) string comparisons. Every symbol starts with "g" and no other token
// can match, which makes most tokens cost a single byte test.
class CSymbolIndex final {
public:
    explicit CSymbolIndex(const CKeywordArray& table);

    CKeyword* Find(std::string_view token) const {
        if (token.size() < m_nMinLength || token.size() > m_nMaxLength || token[0] != 'g')
            return nullptr;
        return Lookup(token);
    }

    // Tokens longer than this never match; a scanner need not keep them.
    std::size_t GetMaxLength() const { return m_nMaxLength; }

    // False when no token of three or more bytes that goes on with `second`
    // and `third` after its "g" can match: a scanner may pass it over unread.
    bool MayContinueWith(unsigned char second, unsigned char third) const {
        const unsigned pair = static_cast<unsigned>(second) << 8 | third;
        return (m_arrPairs[pair / 64] >> (pair % 64) & 1) != 0;
    }

private:
    struct Slot {
        // The symbol's hash, in its high bits, and its length: most tokens
        // that land on the slot differ from its symbol in one of the two.
        std::uint32_t m_nTag = 0;
        std::uint32_t m_nLength = 0;
        const char* m_pSymbol = nullptr; // the keyword's m_strSymbol
        CKeyword* m_pKeyword = nullptr;
    };

    CKeyword* Lookup(std::string_view token) const;
    static bool Holds(const Slot& slot, std::uint32_t tag, std::string_view token);

    std::vector<Slot> m_arrSlots;                       // open addressing, size a power of two
    std::array<std::uint64_t, 65536 / 64> m_arrPairs{}; // second and third bytes of the symbols
    std::size_t m_nMask = 0;
    std::size_t m_nMinLength = 1;
    std::size_t m_nMaxLength = 0;
};
