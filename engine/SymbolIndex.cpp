#include "SymbolIndex.h"

#include "ByteString.h"

#include <bit>
#include <functional>

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

std::size_t Hash(std::string_view s) {
    return std::hash<std::string_view>{}(s);
}

} // namespace

CSymbolIndex::CSymbolIndex(const CKeywordArray& table) {
    std::vector<Slot> found;
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
    for (const Slot& entry : found) {
        m_nMinLength = std::min(m_nMinLength, entry.m_strSymbol.size());
        m_nMaxLength = std::max(m_nMaxLength, entry.m_strSymbol.size());
        if (entry.m_strSymbol.size() >= 3) {
            const unsigned pair = static_cast<unsigned char>(entry.m_strSymbol[1]) << 8 |
                                  static_cast<unsigned char>(entry.m_strSymbol[2]);
            m_arrPairs[pair / 64] |= std::uint64_t{1} << (pair % 64);
        }
        std::size_t k = Hash(entry.m_strSymbol) & m_nMask;
        while (m_arrSlots[k].m_pKeyword != nullptr) {
            if (m_arrSlots[k].m_strSymbol == entry.m_strSymbol)
                break; // an unsorted table may repeat a symbol apart; the search answers alike
            k = (k + 1) & m_nMask;
        }
        if (m_arrSlots[k].m_pKeyword == nullptr)
            m_arrSlots[k] = entry;
    }
}

CKeyword* CSymbolIndex::Lookup(std::string_view token) const {
    for (std::size_t k = Hash(token) & m_nMask;; k = (k + 1) & m_nMask) {
        const Slot& slot = m_arrSlots[k];
        if (slot.m_pKeyword == nullptr)
            return nullptr;
        if (slot.m_strSymbol == token)
            return slot.m_pKeyword;
    }
}
