#include "CalledNames.h"

#include "ByteBlock.h"
#include "SourceLexer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kMaxTail = 256;

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

// Names are short: their first and last eight bytes and their length tell
// them apart well enough, since a collision only costs a file read again.
std::uint32_t CCalledNames::Hash(std::string_view name) {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    if (name.size() >= sizeof head) {
        head = LoadWord(name.data());
        tail = LoadWord(name.data() + name.size() - sizeof tail);
    } else {
        head = LoadShortWord(name);
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

namespace {

// Bytes that CalledNameBefore walks back over, or may stop at unsure, past
// the blanks and tabs that a block's masks walk over.
bool MayHideName(char c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\\' || c == '/';
}

// Whether a backslash-newline may join the name at block[first] to the
// bytes before it, or the block cannot tell. A name at the start of a line,
// as a declaration puts a function's, is most often plainly apart.
bool MayJoinLines(const char* block, int first) {
    int k = first;
    if (block[k - 1] == '\n')
        --k;
    if (k > 0 && block[k - 1] == '\r')
        --k;
    return k < first && (k < 2 || block[k - 1] == '\\');
}

constexpr CNibbleClass kNameClass = MakeNibbleClass(kIdentifierBytes);
static_assert(IsExactClass(kNameClass, kIdentifierBytes));

// The name bytes of a block.
std::uint64_t NameBytes(const CByteBlock& bytes) {
    return bytes.InRange<'a', 'z'>() | bytes.InRange<'A', 'Z'>() | bytes.InRange<'0', '9'>() |
           bytes.Equal('_');
}

#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
std::uint64_t NameBytes(const CByteBlockAvx2& bytes) {
    return bytes.InNibbleClass(kNameClass);
}
#endif

} // namespace

#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
// The blocks compiled for AVX2 in whole, as the tokenizer's loop is.
struct CCalledNames::CAvx2 {
    GLOSSCUTTER_AVX2_TARGET __attribute__((flatten)) static void AddNames(CCalledNames& names) {
        names.AddNames<CByteBlockAvx2>();
    }
};
#endif

template <class TBlock>
void CCalledNames::AddNames() {
    const std::string_view piece = m_strPiece;
    const char* const begin = piece.data();
    std::size_t at = 0;
    for (; at + TBlock::kSize <= piece.size(); at += TBlock::kSize) {
        const TBlock block(begin + at);
        if (const std::uint64_t opens = block.Equal('('); opens != 0)
            AddNamesBefore(block, begin + at, at, opens);
    }
    for (; at < piece.size(); ++at) {
        if (piece[at] == '(')
            AddNameBefore(at);
    }
}

template <class TBlock>
void CCalledNames::AddNamesBefore(const TBlock& bytes, const char* block, std::size_t at,
                                  std::uint64_t opens) {
    // Most names stand right before their '(', or past a few blanks, inside
    // the block: its masks find them. The rest are read byte by byte.
    const std::uint64_t blanks = bytes.template EqualAny<' ', '\t'>();
    const std::uint64_t names = NameBytes(bytes);
    for (; opens != 0; opens &= opens - 1) {
        const int open = std::countr_zero(opens);
        const std::uint64_t kept = ~blanks & ((std::uint64_t{1} << open) - 1);
        if (kept == 0) {
            AddNameBefore(at + static_cast<std::size_t>(open));
            continue;
        }
        const int last = 63 - std::countl_zero(kept);
        if ((names >> last & 1) == 0) {
            if (MayHideName(block[last]))
                AddNameBefore(at + static_cast<std::size_t>(open));
            continue; // an operator or a bracket: no name
        }
        const std::uint64_t others = ~names & ((std::uint64_t{1} << last) - 1);
        const char* const end = block + last + 1;
        if (others == 0) {
            // The name goes back to the block's start, as a long one often
            // does: the block before, in the same piece, tells where it begins.
            // Only a block's first '(' can come here.
            const std::uint64_t earlier =
                at >= TBlock::kSize ? ~NameBytes(TBlock(block - TBlock::kSize)) : 0;
            const int start = 64 - std::countl_zero(earlier);
            if (earlier == 0 || MayJoinLines(block - TBlock::kSize, start)) {
                AddNameBefore(at + static_cast<std::size_t>(open));
                continue;
            }
            const char* const name = block - TBlock::kSize + start;
            Add(Hash(std::string_view(name, static_cast<std::size_t>(end - name))));
            continue;
        }
        const int first = 64 - std::countl_zero(others);
        if (MayJoinLines(block, first)) {
            AddNameBefore(at + static_cast<std::size_t>(open));
            continue;
        }
        Add(Hash(std::string_view(block + first, static_cast<std::size_t>(end - block - first))));
    }
}

void CCalledNames::AddNameBefore(std::size_t open) {
    std::string joined;
    const CCalledNameBefore before = NameBefore(open, joined);
    if (before.m_bUnsure)
        m_bUnsure = true;
    else if (!before.m_strName.empty())
        Add(Hash(before.m_strName));
}

void CCalledNames::FindPasteMarks() {
    // A '#' and the byte after it, which may be in the next piece. Most texts
    // have few '#': memchr passes over the rest fastest.
    const std::string_view piece = m_strPiece;
    if (m_bAfterPound && (piece[0] == '#' || piece[0] == '\\')) {
        m_bHasPasteMarks = true;
        // The first '#' ends the tail.
        const CCalledNameBefore before = CalledNameBefore(m_strTail, m_strTail.size() - 1);
        m_bMayPaste = piece[0] == '\\' || before.m_bUnsure || (before.m_nFrom == 0 && m_bTailCut) ||
                      before.m_strName.starts_with('g');
    }
    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    for (const char* p = begin; !m_bMayPaste && p != end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '#', static_cast<std::size_t>(end - p)));
        if (p == nullptr)
            break;
        if (p + 1 == end || (p[1] != '#' && p[1] != '\\'))
            continue;
        m_bHasPasteMarks = true;
        // A backslash-newline may join the '#' to a '#' on the next line.
        m_bMayPaste = p[1] == '\\' || MayPasteOntoG(static_cast<std::size_t>(p - begin));
    }
    m_bAfterPound = piece.back() == '#';
}

bool CCalledNames::MayPasteOntoG(std::size_t at) const {
    std::string joined;
    const CCalledNameBefore before = NameBefore(at, joined);
    return before.m_bUnsure || before.m_strName.starts_with('g');
}

CCalledNameBefore CCalledNames::NameBefore(std::size_t at, std::string& joined) const {
    const CCalledNameBefore before = CalledNameBefore(m_strPiece, at);
    if (before.m_nFrom != 0 || m_strTail.empty())
        return before;
    // The name, or its blanks, may go back into the last pieces.
    joined = m_strTail + std::string(m_strPiece.substr(0, at));
    CCalledNameBefore whole = CalledNameBefore(joined, joined.size());
    whole.m_bUnsure = whole.m_bUnsure || (whole.m_nFrom == 0 && m_bTailCut);
    return whole;
}

void CCalledNames::Feed(std::string_view piece) {
    if (piece.empty())
        return;
    if (m_nFile == 0)
        m_nFile = ++g_recent.m_nLastFile; // files are numbered from 1: a slot's 0 is empty
    m_strPiece = piece;
    if (!m_bMayPaste)
        FindPasteMarks();
    // Once unsure, a file may call anything: its names are not looked at.
    if (!m_bUnsure) {
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
        if (HasAvx2Block())
            CAvx2::AddNames(*this);
        else
            AddNames<CByteBlock>();
#else
        AddNames<CByteBlock>();
#endif
    }
    KeepTail();
}

void CCalledNames::KeepTail() {
    const std::string_view piece = m_strPiece;
    if (piece.size() >= kMaxTail) {
        m_bTailCut = m_bTailCut || !m_strTail.empty() || piece.size() > kMaxTail;
        m_strTail.assign(piece.substr(piece.size() - kMaxTail));
        return;
    }
    m_strTail.append(piece);
    if (m_strTail.size() > kMaxTail) {
        m_strTail.erase(0, m_strTail.size() - kMaxTail);
        m_bTailCut = true;
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
