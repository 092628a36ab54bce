#include "CalledNamesReader.h"

#include "ByteBlock.h"
#include "SourceLexer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// The hash of the `size` bytes before `end`, of which the eight before `end`
// may be read: the same words as CCalledNames::Hash's, without a branch on
// the size.
std::uint32_t CCalledNamesReader::HashEndingAt(const char* end, std::size_t size) {
    const bool bLong = size >= sizeof(std::uint64_t);
    const std::uint64_t last = LoadWord(end - sizeof last);
    const std::uint64_t first = LoadWord(bLong ? end - size : end - sizeof first);
    // A short name is the high bytes of the last word: shifted down, as
    // LoadShortWord puts them.
    const unsigned shift = bLong ? 0 : static_cast<unsigned>(8 * (sizeof last - size));
    return CCalledNames::MixName(first >> shift, bLong ? last : 0, size);
}

namespace {

// The hashes a thread added last, by their low bits, each with the number of
// the file it was added for in its high half: most repeats of a file stay out
// of its list without a sort.
struct CRecentHashes {
    static constexpr std::size_t kSize = 2048;
    std::array<std::uint64_t, kSize> m_arrKeys{};
    std::uint32_t m_nLastFile = 0;

    static std::uint64_t Key(std::uint32_t nFile, std::uint32_t hash) {
        return std::uint64_t{nFile} << 32 | hash;
    }
    std::uint64_t& Slot(std::uint32_t hash) { return m_arrKeys[hash % kSize]; }

    std::uint32_t NextFile() {
        if (m_nLastFile == UINT32_MAX) {
            // The numbers start again: no key of an earlier file may match.
            m_arrKeys.fill(0);
            m_nLastFile = 0;
        }
        return ++m_nLastFile; // from 1: a slot's 0 is empty
    }
};

thread_local CRecentHashes g_recent;

// The block of room a thread hands out to the names of the files it reads:
// a file takes all that is left, and gives back what it did not fill.
struct CHashRoom {
    static constexpr std::size_t kBlockSize = std::size_t{64} * 1024;
    std::shared_ptr<unsigned char[]> m_pBlock;
    std::size_t m_nSize = 0; // in hashes
    std::size_t m_nUsed = 0; // handed out
};

thread_local CHashRoom g_room;

} // namespace

bool CCalledNamesReader::EndsTheThreadsRoom() const {
    return m_pBlock != nullptr && m_pBlock == g_room.m_pBlock &&
           m_pHashes + kHashBytes * m_nRoom == g_room.m_pBlock.get() + kHashBytes * g_room.m_nUsed;
}

void CCalledNamesReader::MakeRoom(std::size_t nMore) {
    if (m_nRoom - m_nHashes >= nMore)
        return;
    CHashRoom& room = g_room;
    if (EndsTheThreadsRoom() && room.m_nSize - room.m_nUsed >= nMore - (m_nRoom - m_nHashes)) {
        m_nRoom += room.m_nSize - room.m_nUsed;
        room.m_nUsed = room.m_nSize;
        return;
    }
    // Another file took the room after this one's, or the block is full:
    // the hashes move to what is left, or to a new block.
    const std::size_t nNeeded = m_nHashes + nMore;
    if (room.m_nSize - room.m_nUsed < nNeeded) {
        room.m_nSize = std::max(CHashRoom::kBlockSize, 2 * nNeeded);
        // One byte more: Store writes a hash as a whole word.
        room.m_pBlock = std::make_shared_for_overwrite<unsigned char[]>(
            kHashBytes * room.m_nSize + sizeof(std::uint32_t) - kHashBytes);
        room.m_nUsed = 0;
    }
    unsigned char* const pHashes = room.m_pBlock.get() + kHashBytes * room.m_nUsed;
    std::copy_n(m_pHashes, kHashBytes * m_nHashes, pHashes);
    m_pBlock = room.m_pBlock;
    m_pHashes = pHashes;
    m_nRoom = room.m_nSize - room.m_nUsed;
    room.m_nUsed = room.m_nSize;
}

void CCalledNamesReader::Store(std::uint32_t hash) {
    std::uint64_t& slot = g_recent.Slot(hash);
    const std::uint64_t key = CRecentHashes::Key(m_nFile, hash);
    const bool bFresh = slot != key;
    slot = key;
    // Its fourth byte falls on the next hash's room, or past the block's last.
    std::memcpy(m_pHashes + kHashBytes * m_nHashes, &hash, sizeof hash);
    m_nHashes += bFresh ? 1 : 0;
}

void CCalledNamesReader::Add(std::uint32_t hash) {
    MakeRoom(1);
    Store(hash);
}

namespace {

// Bytes that CalledNameBefore walks back over, or may stop at unsure, past
// the blanks and tabs that a block's masks walk over.
constexpr bool MayHideName(char c) {
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

// The blanks, and the bytes that may hide a name: those CalledNameBefore
// walks over or stops at unsure.
constexpr std::array<bool, 256> kBlankOrHidingBytes = [] {
    std::array<bool, 256> hiding{};
    for (std::size_t b = 0; b < 256; ++b) {
        const auto c = static_cast<char>(b);
        hiding[b] = c == ' ' || c == '\t' || MayHideName(c);
    }
    return hiding;
}();
constexpr CNibbleClass kBlankOrHidingClass = MakeNibbleClass(kBlankOrHidingBytes);
static_assert(IsExactClass(kBlankOrHidingClass, kBlankOrHidingBytes));

// The same set, byte by byte.
std::uint64_t BlankOrHidingBytes(const CByteBlock& bytes) {
    return bytes.EqualAny<' ', '\t', '\n', '\r', '\v', '\f', '\\', '/'>();
}

#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
std::uint64_t NameBytes(const CByteBlockAvx2& bytes) {
    return bytes.InNibbleClass(kNameClass);
}

std::uint64_t BlankOrHidingBytes(const CByteBlockAvx2& bytes) {
    return bytes.InNibbleClass(kBlankOrHidingClass);
}
#endif

} // namespace

#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
// The blocks compiled for AVX2 in whole, as the tokenizer's loop is.
struct CCalledNamesReader::CAvx2 {
    GLOSSCUTTER_AVX2_TARGET __attribute__((flatten)) static void
    AddNames(CCalledNamesReader& names) {
        names.AddNames<CByteBlockAvx2>();
    }
};
#endif

template <class TBlock>
void CCalledNamesReader::AddNames() {
    const std::string_view piece = m_strPiece;
    const char* const begin = piece.data();
    std::size_t at = 0;
    for (; at + TBlock::kSize <= piece.size(); at += TBlock::kSize) {
        const TBlock block(begin + at);
        if (!m_bMayPaste) {
            for (std::uint64_t pounds = block.Equal('#'); pounds != 0 && !m_bMayPaste;
                 pounds &= pounds - 1)
                NotePound(at + static_cast<std::size_t>(std::countr_zero(pounds)));
        }
        if (const std::uint64_t opens = block.Equal('('); opens != 0)
            AddNamesBefore(block, begin + at, at, opens);
    }
    for (; at < piece.size(); ++at) {
        if (piece[at] == '#' && !m_bMayPaste)
            NotePound(at);
        else if (piece[at] == '(')
            AddNameBefore(at);
    }
}

void CCalledNamesReader::AddInPlace(const char* name, const char* end, bool bWordBefore) {
    const auto size = static_cast<std::size_t>(end - name);
    Store(bWordBefore ? HashEndingAt(end, size) : CCalledNames::Hash(std::string_view(name, size)));
}

template <class TBlock>
void CCalledNamesReader::AddNamesBefore(const TBlock& bytes, const char* block, std::size_t at,
                                        std::uint64_t opens) {
    const std::uint64_t names = NameBytes(bytes);
    // Each '(' adds a hash at most: with room for all, a hash is written
    // whether it is new or not, and only counted when new.
    MakeRoom(TBlock::kSize);
    // Most names stand right before their '(', inside the block, and apart
    // from the line before: masks sort those out, and tell the '(' that
    // follow an operator or a bracket, which call nothing. The others are
    // told one by one.
    std::uint64_t others = opens & ~(names << 1) & ((BlankOrHidingBytes(bytes) << 1) | 1);
    const std::uint64_t starts = names & ~(names << 1);
    for (std::uint64_t direct = opens & names << 1; direct != 0; direct &= direct - 1) {
        const int open = std::countr_zero(direct);
        // The name's first byte: it may go on from the block before at bit 0.
        const int first = 63 - std::countl_zero(starts & ((std::uint64_t{1} << open) - 1));
        if (first == 0 || MayJoinLines(block, first))
            others |= std::uint64_t{1} << open;
        else
            AddInPlace(block + first, block + open, at + static_cast<std::size_t>(open) >= 8);
    }
    if (others != 0)
        AddOtherNamesBefore(bytes, block, at, others, names);
}

template <class TBlock>
void CCalledNamesReader::AddOtherNamesBefore(const TBlock& bytes, const char* block, std::size_t at,
                                             std::uint64_t opens, std::uint64_t names) {
    const std::uint64_t blanks = bytes.template EqualAny<' ', '\t'>();
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
        const std::uint64_t before = ~names & ((std::uint64_t{1} << last) - 1);
        const char* const end = block + last + 1;
        const bool bWordBefore = at + static_cast<std::size_t>(last) + 1 >= 8;
        if (before == 0) {
            // The name goes back to the block's start, as a long one often
            // does: the block before, in the same piece, tells where it begins.
            const std::uint64_t earlier =
                at >= TBlock::kSize ? ~NameBytes(TBlock(block - TBlock::kSize)) : 0;
            const int start = 64 - std::countl_zero(earlier);
            if (earlier == 0 || MayJoinLines(block - TBlock::kSize, start))
                AddNameBefore(at + static_cast<std::size_t>(open));
            else
                AddInPlace(block - TBlock::kSize + start, end, bWordBefore);
            continue;
        }
        const int first = 64 - std::countl_zero(before);
        if (MayJoinLines(block, first))
            AddNameBefore(at + static_cast<std::size_t>(open));
        else
            AddInPlace(block + first, end, bWordBefore);
    }
}

void CCalledNamesReader::AddNameBefore(std::size_t open) {
    std::string joined;
    const CCalledNameBefore before = NameBefore(open, joined);
    if (before.m_bUnsure)
        m_bUnsure = true;
    else if (!before.m_strName.empty())
        Add(CCalledNames::Hash(before.m_strName));
}

void CCalledNamesReader::NotePoundAfterTail() {
    // A '#' ended the last piece: the first byte of this one tells.
    const char first = m_strPiece[0];
    if (!m_bAfterPound || (first != '#' && first != '\\'))
        return;
    m_bHasPasteMarks = true;
    // The first '#' ends the tail.
    const CCalledNameBefore before = CalledNameBefore(GetTail(), m_nTail - 1);
    m_bMayPaste = first == '\\' || before.m_bUnsure || (before.m_nFrom == 0 && m_bTailCut) ||
                  before.m_strName.starts_with('g');
}

void CCalledNamesReader::NotePound(std::size_t at) {
    const std::string_view piece = m_strPiece;
    if (at + 1 == piece.size())
        return; // the next piece tells
    const char next = piece[at + 1];
    if (next != '#' && next != '\\')
        return;
    m_bHasPasteMarks = true;
    // A backslash-newline may join the '#' to a '#' on the next line.
    m_bMayPaste = next == '\\' || MayPasteOntoG(at);
}

void CCalledNamesReader::FindPasteMarks() {
    // Most texts have few '#': memchr passes over the rest fastest.
    const std::string_view piece = m_strPiece;
    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    for (const char* p = begin; !m_bMayPaste && p != end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '#', static_cast<std::size_t>(end - p)));
        if (p == nullptr)
            break;
        NotePound(static_cast<std::size_t>(p - begin));
    }
}

bool CCalledNamesReader::MayPasteOntoG(std::size_t at) const {
    std::string joined;
    const CCalledNameBefore before = NameBefore(at, joined);
    return before.m_bUnsure || before.m_strName.starts_with('g');
}

CCalledNameBefore CCalledNamesReader::NameBefore(std::size_t at, std::string& joined) const {
    const CCalledNameBefore before = CalledNameBefore(m_strPiece, at);
    if (before.m_nFrom != 0 || m_nTail == 0)
        return before;
    // The name, or its blanks, may go back into the last pieces.
    (joined = GetTail()) += m_strPiece.substr(0, at);
    CCalledNameBefore whole = CalledNameBefore(joined, joined.size());
    whole.m_bUnsure = whole.m_bUnsure || (whole.m_nFrom == 0 && m_bTailCut);
    return whole;
}

void CCalledNamesReader::Feed(std::string_view piece) {
    if (piece.empty())
        return;
    if (m_nFile == 0)
        m_nFile = g_recent.NextFile();
    m_strPiece = piece;
    if (!m_bMayPaste)
        NotePoundAfterTail();
    // Once unsure, a file may call anything: its names are not looked at.
    // Their blocks tell the paste marks too; without them, memchr does.
    if (!m_bUnsure) {
#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
        if (HasAvx2Block())
            CAvx2::AddNames(*this);
        else
            AddNames<CByteBlock>();
#else
        AddNames<CByteBlock>();
#endif
    } else if (!m_bMayPaste) {
        FindPasteMarks();
    }
    m_bAfterPound = piece.back() == '#';
    KeepTail();
}

void CCalledNamesReader::KeepTail() {
    const std::string_view piece = m_strPiece;
    if (piece.size() >= kMaxTail) {
        m_bTailCut = m_bTailCut || m_nTail != 0 || piece.size() > kMaxTail;
        std::memcpy(m_arrTail.data(), piece.data() + piece.size() - kMaxTail, kMaxTail);
        m_nTail = kMaxTail;
        return;
    }
    if (const std::size_t nTotal = m_nTail + piece.size(); nTotal > kMaxTail) {
        const std::size_t nDropped = nTotal - kMaxTail;
        std::memmove(m_arrTail.data(), m_arrTail.data() + nDropped, m_nTail - nDropped);
        m_nTail -= nDropped;
        m_bTailCut = true;
    }
    std::memcpy(m_arrTail.data() + m_nTail, piece.data(), piece.size());
    m_nTail += piece.size();
}

CCalledNames CCalledNamesReader::Finish() {
    if (EndsTheThreadsRoom())
        g_room.m_nUsed -= m_nRoom - m_nHashes;
    CCalledNames names;
    if (m_nHashes != 0) {
        names.m_pBlock = std::move(m_pBlock);
        names.m_pHashes = m_pHashes;
        names.m_nHashes = m_nHashes;
    }
    names.m_bUnsure = m_bUnsure;
    names.m_bHasPasteMarks = m_bHasPasteMarks;
    names.m_bMayPaste = m_bMayPaste;
    m_pHashes = nullptr;
    m_nHashes = m_nRoom = 0;
    return names;
}
