#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The identifier that stands before the '(' at `text[open]`, blanks and line
// breaks between them allowed; empty when there is none.
std::string_view NameBeforeParenthesis(std::string_view text, std::size_t open);

// What a macro definition may call with the '(' at `text[open]`: the
// identifier before it, past blanks, line breaks and backslashes, as the
// definition's logical line joins them.
struct CCalledNameBefore {
    std::string_view m_strName; // empty when there is none
    // The bytes alone cannot tell: a comment stands between a name and the
    // '(', or a backslash-newline may join the name to the bytes before it.
    bool m_bUnsure = false;
    // The bytes from here on were read: what comes before cannot change the answer.
    std::size_t m_nFrom = 0;
};
CCalledNameBefore CalledNameBefore(std::string_view text, std::size_t open);

// The names a file puts before a '(', kept as hashes while the file is read:
// enough to tell, once the pasting macros are known, that it invokes none of
// them, and defines nothing that hands a parameter on to one, and need not be
// read again. A name stands before a '(' as CalledNameBefore finds it, which
// takes in every name that NameBeforeParenthesis finds.
class CCalledNames final {
public:
    // The hashes of the names looked for, with a bit for each value of their
    // low 16 bits, which rules most other hashes out in one test.
    class CLookup final {
    public:
        explicit CLookup(std::vector<std::uint32_t> hashes);
        // Inline: a round asks it of every name of every file.
        bool Contains(std::uint32_t hash) const {
            return (m_arrLowBits[(hash & 0xFFFF) / 64] >> (hash % 64) & 1) != 0 && Holds(hash);
        }

    private:
        bool Holds(std::uint32_t hash) const;

        std::vector<std::uint32_t> m_arrHashes; // sorted
        std::array<std::uint64_t, (std::size_t{1} << 16) / 64> m_arrLowBits{};
    };

    static std::uint32_t Hash(std::string_view name);

    // Without `bGatherNames`, only whether the file may paste is found: it
    // may call anything.
    CCalledNames() = default;
    explicit CCalledNames(bool bGatherNames) : m_bUnsure(!bGatherNames) {}
    CCalledNames(const CCalledNames&) = delete;
    CCalledNames& operator=(const CCalledNames&) = delete;
    CCalledNames(CCalledNames&&) = default;
    CCalledNames& operator=(CCalledNames&&) = default;
    ~CCalledNames() = default;

    // The file's bytes, in pieces of any size, in order.
    void Feed(std::string_view piece);
    // Gives back the room the hashes do not fill, and what feeding needed.
    void Finish();

    // False only when no name that `names` looks for stands before a '(' in
    // the file.
    bool MayCall(const CLookup& names) const;
    // The hashes of the names the file calls, which MayCall looks through.
    std::span<const std::uint32_t> GetHashes() const { return {m_pHashes, m_nHashes}; }
    // Whether the file has a "##", or a '#' that a backslash-newline may join
    // to the next one: it may paste something.
    bool HasPasteMarks() const { return m_bHasPasteMarks; }
    // False only when the file defines no macro that pastes onto a prefix
    // that starts with "g": before each "##", past blanks and
    // backslash-newlines, stands a name that does not.
    bool MayPaste() const { return m_bMayPaste; }

private:
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
    void KeepTail();

    std::string_view m_strPiece; // the piece being fed
    // Room for nMore hashes past the last.
    void MakeRoom(std::size_t nMore);
    // Writes a hash into the room made, counted only when this file did not
    // add it just before.
    void Store(std::uint32_t hash);
    // Whether this file's room is the last the thread handed out.
    bool EndsTheThreadsRoom() const;

    // The hashes, mostly without repeats: m_nHashes of them, in room for
    // m_nRoom, which the blocks write in place. The room lies in a block that
    // this thread hands out to the files it reads, one after the other, and
    // that lives as long as one of them holds it: a file costs no allocation
    // of its own, and freeing a load's names frees a few blocks.
    std::shared_ptr<std::uint32_t[]> m_pBlock;
    std::uint32_t* m_pHashes = nullptr;
    std::size_t m_nHashes = 0;
    std::size_t m_nRoom = 0;
    std::uint32_t m_nFile = 0; // this file's number on the thread that reads it
    // The last 256 bytes before the piece, so that a name cut by a piece
    // boundary, or parted from its '(' by one, is seen whole.
    std::string m_strTail;
    bool m_bTailCut = false; // bytes before the tail were dropped
    // A '(' had more than the tail of names and blanks before it, or bytes
    // that do not tell: nothing can be ruled out.
    bool m_bUnsure = false;
    bool m_bHasPasteMarks = false;
    bool m_bMayPaste = false;
    bool m_bAfterPound = false; // the last byte fed was a '#'
};
