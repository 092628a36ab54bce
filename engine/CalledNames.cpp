#include "CalledNames.h"

#include "SourceLexer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kMaxTail = 256;

std::uint64_t Load64(const char* p) {
    std::uint64_t x = 0;
    std::memcpy(&x, p, sizeof x);
    return x;
}

} // namespace

std::string_view NameBeforeParenthesis(std::string_view text, std::size_t open) {
    std::size_t after = open;
    while (after > 0 && IsSpaceByte(text[after - 1]))
        --after;
    std::size_t at = after;
    while (at > 0 && IsIdentifierByte(text[at - 1]))
        --at;
    return text.substr(at, after - at);
}

// Names are short: their first and last eight bytes and their length tell
// them apart well enough, since a collision only costs a file read again.
std::uint32_t CCalledNames::Hash(std::string_view name) {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    if (name.size() >= sizeof head) {
        head = Load64(name.data());
        tail = Load64(name.data() + name.size() - sizeof tail);
    } else {
        for (std::size_t k = 0; k < name.size(); ++k)
            head |= std::uint64_t{static_cast<unsigned char>(name[k])} << (8 * k);
    }
    const std::uint64_t mixed =
        (head * 0x9E3779B97F4A7C15ull ^ tail * 0xC2B2AE3D27D4EB4Full ^ name.size()) *
        0xFF51AFD7ED558CCDull;
    return static_cast<std::uint32_t>(mixed >> 32);
}

namespace {

// The hashes a thread added last, by their low bits, with the number of the
// file they were added for: most repeats of a file stay out of its list
// without a sort.
struct CRecentHashes {
    static constexpr std::size_t kSize = 1024;
    std::array<std::uint32_t, kSize> m_arrHashes{};
    std::array<std::uint64_t, kSize> m_arrFiles{};
    std::uint64_t m_nLastFile = 0;
};

thread_local CRecentHashes g_recent;

} // namespace

void CCalledNames::Add(std::uint32_t hash) {
    const std::size_t slot = hash % CRecentHashes::kSize;
    if (g_recent.m_arrFiles[slot] == m_nFile && g_recent.m_arrHashes[slot] == hash)
        return;
    g_recent.m_arrFiles[slot] = m_nFile;
    g_recent.m_arrHashes[slot] = hash;
    m_arrHashes.push_back(hash);
}

void CCalledNames::AddNameBefore(std::size_t open) {
    const std::string_view piece = m_strPiece;
    const std::string_view name = NameBeforeParenthesis(piece, open);
    if (name.data() != piece.data() || m_strTail.empty()) {
        if (!name.empty())
            Add(Hash(name));
        return;
    }
    // The name, or its blanks, may go back into the last piece.
    const std::string joined = m_strTail + std::string(piece.substr(0, open));
    const std::string_view whole = NameBeforeParenthesis(joined, joined.size());
    if (m_bTailCut && whole.data() == joined.data())
        m_bUnsure = true;
    else if (!whole.empty())
        Add(Hash(whole));
}

CCalledNames CCalledNames::Unknown() {
    CCalledNames names;
    names.m_bUnsure = true;
    return names;
}

void CCalledNames::BeginPiece(std::string_view piece) {
    if (m_nFile == 0)
        m_nFile = ++g_recent.m_nLastFile; // files are numbered from 1: a slot's 0 is empty
    m_strPiece = piece;
}

void CCalledNames::AddOpens(std::size_t at, std::uint64_t opens) {
    for (; opens != 0; opens &= opens - 1)
        AddNameBefore(at + static_cast<std::size_t>(std::countr_zero(opens)));
}

void CCalledNames::EndPiece() {
    const std::string_view piece = m_strPiece;
    std::size_t run = piece.size();
    while (run > 0 && (IsIdentifierByte(piece[run - 1]) || IsSpaceByte(piece[run - 1])))
        --run;
    if (run != 0)
        m_strTail.clear();
    m_strTail.append(piece.substr(run));
    if (m_strTail.size() > kMaxTail) {
        m_strTail.erase(0, m_strTail.size() - kMaxTail);
        m_bTailCut = true;
    } else if (run != 0) {
        m_bTailCut = false;
    }
}

void CCalledNames::Finish() {
    m_arrHashes.shrink_to_fit();
}

CCalledNames::CLookup::CLookup(std::vector<std::uint32_t> hashes)
    : m_arrHashes(std::move(hashes)), m_arrLowBits(std::size_t{1} << 16) {
    std::sort(m_arrHashes.begin(), m_arrHashes.end());
    for (const std::uint32_t hash : m_arrHashes)
        m_arrLowBits[hash & 0xFFFF] = true;
}

bool CCalledNames::CLookup::Contains(std::uint32_t hash) const {
    return m_arrLowBits[hash & 0xFFFF] &&
           std::binary_search(m_arrHashes.begin(), m_arrHashes.end(), hash);
}

bool CCalledNames::MayCall(const CLookup& names) const {
    return m_bUnsure || std::any_of(m_arrHashes.begin(), m_arrHashes.end(),
                                    [&](std::uint32_t hash) { return names.Contains(hash); });
}
