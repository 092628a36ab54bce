#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
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

// The names a file puts before a '(', as hashes, which CCalledNamesReader
// gathers while the file is read: enough to tell, once the pasting macros
// are known, that it invokes none of them, and defines nothing that hands a
// parameter on to one, and need not be read again. A name stands before a
// '(' as CalledNameBefore finds it, which takes in every name that
// NameBeforeParenthesis finds. A load keeps one for each file it reads: only
// what the questions below need.
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

    // A name's hash, in 24 bits: that tells a name from the hundreds that
    // a file calls about as well as 32 would, and a file keeps three bytes a
    // name.
    static std::uint32_t Hash(std::string_view name);
    static constexpr std::size_t kHashBytes = 3;

    // Of a file not read: it may call anything.
    CCalledNames() = default;

    // False only when no name that `names` looks for stands before a '(' in
    // the file.
    bool MayCall(const CLookup& names) const;
    // The hashes of the names the file calls, which MayCall looks through,
    // kHashBytes each, the lowest byte first.
    std::size_t GetHashCount() const { return m_nHashes; }
    std::uint32_t GetHash(std::size_t k) const { return LoadHash(m_pHashes + kHashBytes * k); }
    std::span<const unsigned char> GetHashBytes() const {
        return {m_pHashes, kHashBytes * m_nHashes};
    }
    // Whether the file has a "##", or a '#' that a backslash-newline may join
    // to the next one: it may paste something.
    bool HasPasteMarks() const { return m_bHasPasteMarks; }
    // False only when the file defines no macro that pastes onto a prefix
    // that starts with "g": before each "##", past blanks and
    // backslash-newlines, stands a name that does not.
    bool MayPaste() const { return m_bMayPaste; }

private:
    friend class CCalledNamesReader;

    // Names are short: their first and last eight bytes and their length
    // tell them apart well enough, since a collision only costs a file read
    // again.
    static std::uint32_t MixName(std::uint64_t head, std::uint64_t tail, std::size_t size) {
        const std::uint64_t mixed =
            (head * 0x9E3779B97F4A7C15ull ^ tail * 0xC2B2AE3D27D4EB4Full ^ size) *
            0xFF51AFD7ED558CCDull;
        return static_cast<std::uint32_t>(mixed >> (64 - 8 * kHashBytes));
    }
    static std::uint32_t LoadHash(const unsigned char* p) {
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
    }

    // The hashes, mostly without repeats, in a block of room that the files
    // read on one thread share: it lives as long as one of them holds it.
    std::shared_ptr<const unsigned char[]> m_pBlock;
    const unsigned char* m_pHashes = nullptr;
    std::size_t m_nHashes = 0;
    // A '(' had more than the tail of names and blanks before it, or bytes
    // that do not tell: nothing can be ruled out.
    bool m_bUnsure = true;
    bool m_bHasPasteMarks = false;
    bool m_bMayPaste = false;
};
