#pragma once

#include "CalledNames.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Gathers a file's CCalledNames from its bytes, piece by piece, as the file
// is read. Only the reading needs what it holds besides the names: a load
// keeps the names alone.
class CCalledNamesReader final {
public:
    // Without `bGatherNames`, only whether the file may paste is found: it
    // may call anything.
    explicit CCalledNamesReader(bool bGatherNames = true) : m_bUnsure(!bGatherNames) {}
    CCalledNamesReader(const CCalledNamesReader&) = delete;
    CCalledNamesReader& operator=(const CCalledNamesReader&) = delete;
    CCalledNamesReader(CCalledNamesReader&&) = delete;
    CCalledNamesReader& operator=(CCalledNamesReader&&) = delete;
    ~CCalledNamesReader() = default;

    // The file's bytes, in pieces of any size, in order.
    void Feed(std::string_view piece);
    // The names of the bytes fed, with the room they do not fill given back;
    // on the thread that fed them, once.
    CCalledNames Finish();

private:
    static constexpr std::size_t kMaxTail = 256;

    static std::uint32_t HashEndingAt(const char* end, std::size_t size);
    void Add(std::uint32_t hash);
    struct CAvx2;
    // The names of the piece, with the blocks of a processor's instructions.
    template <class TBlock>
    void AddNames();
    // The names before the '(' of `opens` in the block at piece[at]: those
    // that the masks tell, then the others.
    template <class TBlock>
    void AddNamesBefore(const TBlock& bytes, const char* block, std::size_t at,
                        std::uint64_t opens);
    template <class TBlock>
    void AddOtherNamesBefore(const TBlock& bytes, const char* block, std::size_t at,
                             std::uint64_t opens, std::uint64_t names);
    // The name from `name` to `end`, into the room made for the block; with
    // `bWordBefore`, the eight bytes before `end` lie in the piece.
    void AddInPlace(const char* name, const char* end, bool bWordBefore);
    void AddNameBefore(std::size_t open);
    // The paste marks of the piece: by memchr, or one '#' at a time, or the
    // '#' that ended the last piece.
    void FindPasteMarks();
    void NotePound(std::size_t at);
    void NotePoundAfterTail();
    bool MayPasteOntoG(std::size_t at) const;
    // CalledNameBefore of piece[at], joined with the tail where the piece
    // cannot tell, in `joined`; unsure where the tail cannot either.
    CCalledNameBefore NameBefore(std::size_t at, std::string& joined) const;
    std::string_view GetTail() const { return {m_arrTail.data(), m_nTail}; }
    void KeepTail();
    // Room for nMore hashes past the last.
    void MakeRoom(std::size_t nMore);
    // Writes a hash into the room made, counted only when this file did not
    // add it just before.
    void Store(std::uint32_t hash);
    // Whether this file's room is the last the thread handed out.
    bool EndsTheThreadsRoom() const;

    static constexpr std::size_t kHashBytes = CCalledNames::kHashBytes;

    std::string_view m_strPiece; // the piece being fed
    // The hashes: m_nHashes of them, kHashBytes each, in room for m_nRoom,
    // which the blocks write in place. The room lies in a block that this
    // thread hands out to the files it reads, one after the other: a file
    // costs no allocation of its own, and freeing a load's names frees a few
    // blocks.
    std::shared_ptr<unsigned char[]> m_pBlock;
    unsigned char* m_pHashes = nullptr;
    std::size_t m_nHashes = 0;
    std::size_t m_nRoom = 0;
    std::uint32_t m_nFile = 0; // this file's number on the thread that reads it
    // The last bytes before the piece, so that a name cut by a piece
    // boundary, or parted from its '(' by one, is seen whole.
    std::array<char, kMaxTail> m_arrTail{};
    std::size_t m_nTail = 0;
    bool m_bTailCut = false; // bytes before the tail were dropped
    bool m_bUnsure;
    bool m_bHasPasteMarks = false;
    bool m_bMayPaste = false;
    bool m_bAfterPound = false; // the last byte fed was a '#'
};
