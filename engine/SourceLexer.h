#pragma once

#include "UseKind.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whether C rules decide the kind of a use in the file at `path`: its name
// ends in .c .h .cc .cpp .cxx .c++ .hh .hpp .hxx .h++ .inl .ipp .tcc .m .mm
// or .rc, in any case.
bool IsCFamilyFile(std::string_view path);

// Follows a C-family text through its comments, literals and "#if 0" blocks,
// so that each position can be given its UseKind. The text comes in pieces
// (BeginPiece, then KindAt at rising positions of the piece, then EndPiece);
// a comment, literal or directive cut by a piece boundary goes on in the
// next piece.
//
// The rules:
// - "//" comments run to the end of the line, and a backslash right before
//   the line break continues them; "/*" comments run to "*/" or to the end.
// - '"' and '\'' start literals; a backslash escapes the next byte (a CR LF
//   too), and an unescaped line break ends an unterminated one. A '"' right
//   after R, LR, uR, UR or u8R (standing alone) starts a raw string, which
//   runs to ")delimiter\"".
// - A '\'' is a digit separator, not a literal, when the run of letters,
//   digits, '_', '.' and '\'' right before it starts with a digit.
// - A '#' with only blanks and tabs before it on its line starts a directive.
//   "#if 0" (the 0 followed by blanks, then a line break, '/' or the end)
//   starts an inactive block; inside it "#if", "#ifdef" and "#ifndef" nest,
//   and "#else", "#elif"... or "#endif" at its own depth end it. Comments and
//   literals are still followed there, but their uses are Inactive.
// - Each "#define NAME(" outside inactive blocks hands the rest of its
//   logical line, from NAME on, to the definitions list, if one is given.
class CSourceLexer final {
public:
    explicit CSourceLexer(std::vector<std::string>* pDefinitions = nullptr);

    void BeginPiece(std::string_view piece);
    // The kind of the byte at `p`, which is in the piece and not before the
    // position of the last call.
    UseKind KindAt(const char* p);
    void EndPiece();
    void Finish();

private:
    std::vector<std::string>* m_pDefinitions;
};
