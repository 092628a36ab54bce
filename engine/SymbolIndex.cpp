#include "SymbolIndex.h"

#include "ByteBlock.h"
#include "ByteString.h"

#include <bit>
#include <cstring>

CKeyword* FindKeyword(const CKeywordArray& table, std::string_view token) {
    if (table.empty())
        return nullptr;
    std::ptrdiff_t lo = 0;
    std::ptrdiff_t hi = static_cast<std::ptrdiff_t>(table.size()) - 1;
    while (lo <= hi) {
        const std::ptrdiff_t mid = (lo + hi) / 2;
        CKeyword* keyword = table[static_cast<std::size_t>(mid)].get();
        const int order = bytes::Compare(token, keyword->m_strSymbol);
        if (order == 0 && !keyword->m_bMarked)
            return keyword;
        if (order <= 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return nullptr;
}

namespace {

std::uint64_t Mix(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * 0xBF58476D1CE4E5B9U;
    return h ^ (h >> 31U);
}

// A hash for symbols, which are short: eight bytes at a time, the last
// eight overlapping the ones before, and never a byte beyond the token.
std::uint64_t Hash(std::string_view s) {
    const char* p = s.data();
    const std::size_t n = s.size();
    std::uint64_t h = n * 0x9E3779B97F4A7C15U;
    if (n >= sizeof(std::uint64_t)) {
        for (std::size_t i = 0; i + sizeof(std::uint64_t) < n; i += sizeof(std::uint64_t))
            h = Mix(h, LoadWord(p + i));
        h = Mix(h, LoadWord(p + n - sizeof(std::uint64_t)));
    } else {
        h = Mix(h, LoadShortWord(s));
    }
    h *= 0x94D049BB133111EBU;
    return h ^ (h >> 32U);
}

std::uint32_t TagOf(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32U);
}

} // namespace

CSymbolIndex::CSymbolIndex(const CKeywordArray& table) {
    struct CFound {
        std::string_view m_strSymbol;
        CKeyword* m_pKeyword;
    };
    std::vector<CFound> found;
    found.reserve(table.size());
    for (std::size_t k = 0; k < table.size(); ++k) {
        const std::string_view symbol = table[k]->m_strSymbol;
        // Equal symbols stand together in a sorted table; ask the search once per symbol.
        if (k > 0 && table[k - 1]->m_strSymbol == symbol)
            continue;
        if (CKeyword* keyword = FindKeyword(table, symbol))
            found.push_back({symbol, keyword});
    }
    if (found.empty())
        return; // m_nMaxLength 0 < m_nMinLength: Find rejects every token

    m_nMinLength = found.front().m_strSymbol.size();
    m_arrSlots.resize(std::bit_ceil(found.size() * 2));
    m_nMask = m_arrSlots.size() - 1;
    for (const CFound& entry : found) {
        m_nMinLength = std::min(m_nMinLength, entry.m_strSymbol.size());
        m_nMaxLength = std::max(m_nMaxLength, entry.m_strSymbol.size());
        if (entry.m_strSymbol.size() >= 3) {
            const unsigned pair = static_cast<unsigned char>(entry.m_strSymbol[1]) << 8 |
                                  static_cast<unsigned char>(entry.m_strSymbol[2]);
            m_arrPairs[pair / 64] |= std::uint64_t{1} << (pair % 64);
        }
        const std::uint64_t hash = Hash(entry.m_strSymbol);
        std::size_t k = hash & m_nMask;
        while (m_arrSlots[k].m_pKeyword != nullptr) {
            if (Holds(m_arrSlots[k], TagOf(hash), entry.m_strSymbol))
                break; // an unsorted table may repeat a symbol apart; the search answers alike
            k = (k + 1) & m_nMask;
        }
        if (m_arrSlots[k].m_pKeyword == nullptr)
            m_arrSlots[k] = {TagOf(hash), static_cast<std::uint32_t>(entry.m_strSymbol.size()),
                             entry.m_strSymbol.data(), entry.m_pKeyword};
    }
}

bool CSymbolIndex::Holds(const Slot& slot, std::uint32_t tag, std::string_view token) {
    return slot.m_nTag == tag && slot.m_nLength == token.size() &&
           std::memcmp(slot.m_pSymbol, token.data(), token.size()) == 0;
}

CKeyword* CSymbolIndex::Lookup(std::string_view token) const {
    const std::uint64_t hash = Hash(token);
    for (std::size_t k = hash & m_nMask;; k = (k + 1) & m_nMask) {
        const Slot& slot = m_arrSlots[k];
        if (slot.m_pKeyword == nullptr)
            return nullptr;
        if (Holds(slot, TagOf(hash), token))
            return slot.m_pKeyword;
    }
}
