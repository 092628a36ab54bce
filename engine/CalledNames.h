#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The identifier that stands before the '(' at `text[open]`, blanks and line
// breaks between them allowed; empty when there is none.
std::string_view NameBeforeParenthesis(std::string_view text, std::size_t open);

// The names a file puts before a '(', kept as hashes while the file is read:
// enough to tell, once the pasting macros are known, that it invokes none of
// them and need not be read again.
class CCalledNames final {
public:
    // The hashes of the names looked for, with a bit for each value of their
    // low 16 bits, which rules most other hashes out in one test.
    class CLookup final {
    public:
        explicit CLookup(std::vector<std::uint32_t> hashes);
        bool Contains(std::uint32_t hash) const;

    private:
        std::vector<std::uint32_t> m_arrHashes; // sorted
        std::vector<bool> m_arrLowBits;
    };

    static std::uint32_t Hash(std::string_view name);

    // For a file whose names were not gathered: it may call anything.
    static CCalledNames Unknown();

    // The pieces come in file order, as they are read: BeginPiece, the '('
    // of each of its blocks, then EndPiece. CSourceTokenizer feeds it so.
    void BeginPiece(std::string_view piece);
    // `opens` has bit k set where piece[at + k] is a '(', for the up to 64
    // bytes at `at`; blocks come in order.
    void AddOpens(std::size_t at, std::uint64_t opens);
    void EndPiece();
    // Lets go of the room the hashes do not fill.
    void Finish();

    // False only when no name that `names` looks for stands before a '(' in
    // the file.
    bool MayCall(const CLookup& names) const;

private:
    void Add(std::uint32_t hash);
    void AddNameBefore(std::size_t open);

    std::string_view m_strPiece;            // the piece being fed
    std::vector<std::uint32_t> m_arrHashes; // mostly without repeats
    std::uint64_t m_nFile = 0;              // this file's number on the thread that reads it
    // The last pieces' end, as far back as only name bytes and blanks go: a
    // name cut by a piece boundary, or parted from its '(' by one, is seen
    // whole. Past 256 bytes, only the last 256 are kept.
    std::string m_strTail;
    bool m_bTailCut = false;
    // A name longer than the tail kept stood before a '(': nothing can be
    // ruled out.
    bool m_bUnsure = false;
};
