#include "CalledNames.h"

#include "ByteBlock.h"
#include "SourceLexer.h"

#include <algorithm>

std::string_view NameBeforeParenthesis(std::string_view text, std::size_t open) {
    std::size_t after = open;
    while (after > 0 && IsSpaceByte(text[after - 1]))
        --after;
    std::size_t at = after;
    while (at > 0 && IsIdentifierByte(text[at - 1]))
        --at;
    return text.substr(at, after - at);
}

CCalledNameBefore CalledNameBefore(std::string_view text, std::size_t open) {
    std::size_t after = open;
    while (after > 0 && (IsSpaceByte(text[after - 1]) || text[after - 1] == '\\'))
        --after;
    std::size_t at = after;
    while (at > 0 && IsIdentifierByte(text[at - 1]))
        --at;
    CCalledNameBefore before;
    before.m_strName = text.substr(at, after - at);
    if (at == after) {
        // No name here, but a comment's end may hide one.
        before.m_bUnsure = at >= 2 && text[at - 1] == '/' && text[at - 2] == '*';
        before.m_nFrom = at >= 2 ? at - 2 : 0;
        return before;
    }
    // An identifier byte, a backslash and a line break (LF, CR or CR LF) right
    // before the name: the line joins them into one name.
    std::size_t k = at;
    if (k > 0 && text[k - 1] == '\n')
        --k;
    if (k > 0 && text[k - 1] == '\r')
        --k;
    before.m_bUnsure = k < at && k >= 2 && text[k - 1] == '\\' && IsIdentifierByte(text[k - 2]);
    before.m_nFrom = at >= 4 ? at - 4 : 0;
    return before;
}

std::uint32_t CCalledNames::Hash(std::string_view name) {
    if (name.size() >= sizeof(std::uint64_t))
        return MixName(LoadWord(name.data()), LoadWord(name.data() + name.size() - 8), name.size());
    return MixName(LoadShortWord(name), 0, name.size());
}

CCalledNames::CLookup::CLookup(std::vector<std::uint32_t> hashes) : m_arrHashes(std::move(hashes)) {
    std::sort(m_arrHashes.begin(), m_arrHashes.end());
    for (const std::uint32_t hash : m_arrHashes)
        m_arrLowBits[(hash & 0xFFFF) / 64] |= std::uint64_t{1} << (hash % 64);
}

bool CCalledNames::CLookup::Holds(std::uint32_t hash) const {
    return std::binary_search(m_arrHashes.begin(), m_arrHashes.end(), hash);
}

bool CCalledNames::MayCall(const CLookup& names) const {
    if (m_bUnsure)
        return true;
    for (std::size_t k = 0; k < m_nHashes; ++k) {
        if (names.Contains(GetHash(k)))
            return true;
    }
    return false;
}
