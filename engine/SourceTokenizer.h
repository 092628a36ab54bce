#pragma once

#include "UseKind.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CKeyword;
class CSourceLexer;
class CSymbolIndex;

// One occurrence of a keyword's symbol in a source file.
struct CSourceUse {
    CKeyword* m_pKeyword = nullptr;
    int m_nLine = 0;
    UseKind m_kind = UseKind::Code;

    friend bool operator==(const CSourceUse&, const CSourceUse&) = default;
};

using CSourceUseArray = std::vector<CSourceUse>;

// A line number as CSourceUse holds it: past INT_MAX, INT_MAX.
constexpr int ClampLine(std::int64_t nLine) {
    return nLine > INT_MAX ? INT_MAX : static_cast<int>(nLine);
}

// Splits a source file into lines and tokens and looks every token up. The
// file may arrive in pieces of any size (Feed, then Finish): a token or a
// CR LF pair cut by a piece boundary is seen whole, and nothing but a token
// that could still match is kept between pieces, so memory does not grow with
// the file.
//
// Tokens are maximal runs of bytes outside the delimiter set
//   blank ( ) [ ] { } < > ! ~ - + * / % & ^ | ? : ; = . " tab ' ,
// and outside CR, LF and NUL, which end a token as well. Lines end at CR LF,
// LF or a lone CR, exactly as ReadLines splits them.
class CSourceTokenizer final {
public:
    // With `pLexer`, each use gets the kind the lexer gives its first byte.
    CSourceTokenizer(const CSymbolIndex& index, CSourceUseArray& uses,
                     CSourceLexer* pLexer = nullptr);

    // With `bLastPiece`, nothing follows before Finish: the lexer need not
    // read past the piece's last use.
    void Feed(std::string_view piece, bool bLastPiece = false);
    void Finish();

private:
    struct CAvx2;
    void FeedTokens(std::string_view piece);
    // The loop, with the blocks of a processor's instructions.
    template <class TBlock>
    void FeedTokensWith(std::string_view piece);
    void Emit(std::string_view token, std::int64_t nLine, UseKind kind);
    UseKind KindAt(const char* p);

    const CSymbolIndex& m_index;
    CSourceUseArray& m_uses;
    CSourceLexer* m_pLexer;
    std::int64_t m_nLine = 1;
    bool m_bAfterCr = false;      // the previous byte was a CR (a following LF is its pair)
    bool m_bAfterToken = false;   // the previous byte belongs to a token
    bool m_bInToken = false;      // the last piece ended inside a token that starts with "g"
    bool m_bCarryUseless = false; // ...and that token can no longer match
    std::string m_strCarry;       // the start of that token
    UseKind m_carryKind = UseKind::Code;
};
