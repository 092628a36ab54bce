#pragma once

#include "UseKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whether C rules decide the kind of a use in the file at `path`: its name
// ends in .c .h .cc .cpp .cxx .c++ .hh .hpp .hxx .h++ .inl .ipp .tcc .m .mm
// or .rc, in any case.
bool IsCFamilyFile(std::string_view path);

inline constexpr std::array<bool, 256> kIdentifierBytes = [] {
    std::array<bool, 256> bytes{};
    for (int c = 0; c < 256; ++c)
        bytes[static_cast<std::size_t>(c)] =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return bytes;
}();

// A byte of a C identifier (or of a number's digits). A table: the scan asks
// it of every byte of many names.
constexpr bool IsIdentifierByte(char c) {
    return kIdentifierBytes[static_cast<unsigned char>(c)];
}

// A blank or line break: space, tab, CR, LF, VT or FF. Names stand apart from
// their '(' by these.
constexpr bool IsSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Whether a definition's text, from the macro's name on, is a function-like
// macro's: a '(' follows the name, or a backslash-newline may split them.
bool IsFunctionLikeDefinition(std::string_view text);

// Follows a C-family text through its comments, literals and "#if 0" blocks,
// so that each position can be given its UseKind. The text comes in pieces
// (BeginPiece, then KindAt at rising positions of the piece, then EndPiece,
// and Finish after the last); a comment, literal or directive cut by a piece
// boundary goes on in the next piece.
//
// The rules, on the bytes as they stand:
// - "//" comments run to the end of the line, and a backslash right before
//   the line break (CR LF, LF or CR) continues them; "/*" comments run to
//   the next "*/" or to the end of the text.
// - '"' and '\'' start literals. A backslash escapes the next byte (a CR LF
//   as one), and an unescaped line break ends an unterminated literal. A '"'
//   right after R, LR, uR, UR or u8R, standing alone, starts a raw string: its
//   delimiter (up to 16 bytes, no white space, backslash, parenthesis or
//   quote) runs to a '(', and the string to ")delimiter\"". A bad delimiter
//   makes it a plain string.
// - A '\'' is a digit separator, not a literal, when the run of letters,
//   digits, '_', '.' and '\'' right before it starts with a digit.
// - A '#' with only spaces and tabs before it on its line starts a directive.
//   "#if 0", the 0 followed by spaces and tabs only, then a line break, '/' or
//   the end, starts an inactive block right there. Inside it "#if", "#ifdef" and
//   "#ifndef" nest, and "#else", "#elif", "#elifdef", "#elifndef" or "#endif"
//   at its own depth end it. Comments and literals are followed there too,
//   but every position in the block is Inactive.
// - Each "#define NAME(" outside inactive blocks hands its logical line, from
//   NAME to the first unescaped line break outside a block comment, to the
//   definitions list, if one is given. Definitions over 64 KiB are dropped.
class CSourceLexer final {
public:
    explicit CSourceLexer(std::vector<std::string>* pDefinitions = nullptr);

    void BeginPiece(std::string_view piece);
    // The kind of the byte at `p`, which is in the piece and not before the
    // position of the last call.
    UseKind KindAt(const char* p);
    // With `bLast`, no piece follows: without definitions to capture, the
    // lexer stops where the last KindAt left it.
    void EndPiece(bool bLast = false);
    void Finish();

private:
    enum class State : std::uint8_t {
        Code,
        LineComment,
        BlockComment,
        String,
        Char,
        RawDelimiter,
        RawString
    };
    enum class Directive : std::uint8_t {
        None,
        BeforeName,
        Name,
        BeforeValue,
        AfterZero,
        BeforeDefine
    };

    void AdvanceTo(const char* target);
    // AdvanceTo with the blocks of a processor's instructions.
    template <class TBlock>
    void AdvanceWith(const char* target);
    void StepScalar(const char* target);
    void StepDirective(const char* target);
    void StepRaw(const char* target);
    void HandleEvent(const char* q);
    void HandleCode(const char* q);
    void HandleLiteral(const char* q, char chQuote);
    void DecideDirective();
    void SkipEscaped(const char* q);
    std::string_view EventBytes() const;
    struct CAvx2;
    template <class TBlock>
    static std::uint64_t EventsOf(const TBlock& bytes, State state, bool bCapturing);
    template <class TBlock>
    void LoadMasks(const char* block);
    // The masks of a block that the text ends in, byte by byte.
    void LoadLastMasks(const char* block);
    char Before(const char* q, std::size_t k) const;
    bool IsEscapedBreak(const char* q) const;
    bool StartsRawString(const char* q) const;
    bool IsDigitSeparator(const char* q) const;
    bool AtLineStart(const char* q) const;
    void EndLine(const char* q);
    void FinishDefinition(const char* stop);
    void BeginDefinition();

    std::vector<std::string>* m_pDefinitions;
    const char* m_pBegin = nullptr;
    const char* m_pEnd = nullptr;
    const char* m_pPos = nullptr;
    std::int64_t m_nOffset = 0; // of the piece's first byte in the text
    State m_state = State::Code;
    Directive m_directive = Directive::None;
    int m_nInactiveDepth = -1; // nesting inside the "#if 0" block; -1 outside one
    // What the text before the piece leaves behind.
    std::string m_strHistory;      // its last bytes, at most 8
    char m_chRunFirst = 0;         // the first byte of the run it ends with (see IsDigitSeparator)
    bool m_bBlankLine = true;      // only blanks and tabs since its last line break
    bool m_bSlashPending = false;  // a '/' in code that the next byte makes a comment, or not
    bool m_bEscapePending = false; // a backslash in a literal escapes the next byte
    bool m_bSkipLf = false;        // an escaped CR takes the LF that follows it
    std::int64_t m_nCommentStart = 0; // where a block comment's text begins
    std::string m_strRawDelimiter;
    int m_nRawMatch = -1;  // bytes of ")delimiter" matched so far; -1 before a ')'
    std::string m_strName; // the directive's name so far
    bool m_bCapturing = false;
    const char* m_pCaptureFrom = nullptr;
    std::string m_strDefinition;
    // Where the 64-byte block at m_pBlock has bytes that matter in m_maskState
    // (and m_bMaskCapturing): bit k stands for m_pBlock[k].
    const char* m_pBlock = nullptr;
    State m_maskState = State::Code;
    bool m_bMaskCapturing = false;
    std::uint64_t m_nEvents = 0;
};
