#pragma once

// The engine's algorithms written out the slow, obvious way, for the fast
// ones to be checked against.

#include "TestTables.h"
#include "UseKind.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace reference_models {

// The historical O(n^2) exchange sort, whose swaps among equal keys decide which
// keyword of a symbol gets the uses; std::string compares unsigned bytes.
inline void ExchangeSortReference(CKeywordArray& table, int key, bool ascending) {
    for (const auto& keyword : table)
        keyword->m_nSortKey = key;
    if (key != SORT_BY_LINE && key != SORT_BY_SYMBOL && key != SORT_BY_USED)
        return; // an unknown key compares nothing
    const auto sign = [](auto a, auto b) { return (a > b) - (a < b); };
    const std::size_t n = table.size();
    for (std::size_t p = 0; n > 1 && p <= n - 2; ++p) {
        for (std::size_t i = p + 1; i <= n - 1; ++i) {
            const CKeyword& r = *table[p];
            const CKeyword& q = *table[i];
            const int result = key == SORT_BY_LINE     ? sign(r.m_nLine, q.m_nLine)
                               : key == SORT_BY_SYMBOL ? r.m_strSymbol.compare(q.m_strSymbol)
                                                       : sign(r.GetUsedCount(), q.GetUsedCount());
            if (result == 0 ? r.m_bMarked : (ascending ? result > 0 : result < 0))
                std::swap(table[p], table[i]);
        }
    }
}

constexpr std::string_view kDelimiters = " ()[]{}<>!~-+*/%&^|?:;=.\"\t',";

// ReadLines' lines, cut at the delimiters and NUL, every token looked up with
// the binary search (which its own rows pin down); a use's kind is that of its
// first byte in `kinds`, or Code without them.
inline CSourceUseArray ReferenceScan(const CKeywordArray& table, std::string_view text,
                                     const std::vector<UseKind>& kinds = {}) {
    const std::string separators = std::string(kDelimiters) + '\0';
    CSourceUseArray uses;
    int line = 0;
    std::size_t start = 0; // of the line in the text
    for (const CTextLine& textLine : testing_tables::Lines(text)) {
        const std::string_view s = textLine.m_strText;
        ++line;
        for (std::size_t i = s.find_first_not_of(separators); i != std::string_view::npos;
             i = s.find_first_not_of(separators, i)) {
            const std::size_t end = std::min(s.find_first_of(separators, i), s.size());
            if (CKeyword* keyword = FindKeyword(table, s.substr(i, end - i)))
                uses.push_back({keyword, line, kinds.empty() ? UseKind::Code : kinds[start + i]});
            i = end;
        }
        start += s.size() + LineBreakBytes(textLine.m_nBreak).size();
    }
    return uses;
}

namespace reference_lexer {

inline bool In(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}
inline bool IsWord(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}
inline bool IsNumberPart(char c) {
    return IsWord(c) || In(".'", c);
}
inline bool IsBlank(char c) {
    return In(" \t", c);
}
// A raw delimiter holds no white space at all, as in C++, and no quote.
inline bool IsDelimiterPart(char c) {
    return std::isspace(static_cast<unsigned char>(c)) == 0 && !In("()\\\"", c);
}
inline char At(std::string_view s, std::size_t k) {
    return k < s.size() ? s[k] : '\0';
}
// Where the run of bytes that `part` takes ends, going back from `k` or on from it.
inline std::size_t RunStart(std::string_view s, std::size_t k, bool (*part)(char)) {
    while (k > 0 && part(s[k - 1]))
        --k;
    return k;
}
inline std::size_t RunEnd(std::string_view s, std::size_t k, bool (*part)(char)) {
    while (k < s.size() && part(s[k]))
        ++k;
    return k;
}

// The end of the "//" comment at i. A CR LF is one break: its LF goes on
// whatever its CR did.
inline std::size_t LineCommentEnd(std::string_view s, std::size_t i) {
    std::size_t end = i + 1;
    while (end < s.size() &&
           !(In("\r\n", s[end]) && s[end - 1] != '\\' && !(s[end] == '\n' && s[end - 1] == '\r')))
        ++end;
    return end;
}

// The end of the literal whose quote is at i.
inline std::size_t LiteralEnd(std::string_view s, std::size_t i) {
    const std::size_t n = s.size();
    const char c = s[i];
    const std::size_t d = RunEnd(s, i + 1, IsDelimiterPart), w = RunStart(s, i, IsWord);
    const std::string prefix = " " + std::string(s.substr(w, i - w)) + " ";
    if (c == '"' && At(s, d) == '(' && d <= i + 17 &&
        std::string_view(" R LR uR UR u8R ").find(prefix) != std::string_view::npos) {
        const std::string close = ")" + std::string(s.substr(i + 1, d - i - 1)) + '"';
        return std::min(s.find(close, d + 1), n - close.size()) + close.size();
    }
    std::size_t end = i + 1;
    while (end < n && s[end] != c && !In("\r\n", s[end]))
        end += s[end] != '\\' ? 1 : At(s, end + 1) == '\r' && At(s, end + 2) == '\n' ? 3 : 2;
    return std::min(end, n) + (At(s, end) == c ? 1 : 0);
}

// The "#if 0" depth after the directive whose '#' is at i.
inline int DepthAfter(std::string_view s, std::size_t i, int depth) {
    const std::size_t from = RunEnd(s, i + 1, IsBlank), to = RunEnd(s, from, IsWord);
    const std::string_view name = s.substr(from, to - from);
    const std::size_t zero = RunEnd(s, to, IsBlank), after = RunEnd(s, zero + 1, IsBlank);
    if (depth < 0)
        return name == "if" && At(s, zero) == '0' && (after >= s.size() || In("\r\n/", s[after]))
                   ? 0
                   : -1;
    if (name == "if" || name == "ifdef" || name == "ifndef")
        return depth + 1;
    const bool bEndsBranch =
        name == "else" || name == "elif" || name == "elifdef" || name == "elifndef";
    return name == "endif" || (depth == 0 && bEndsBranch) ? depth - 1 : depth;
}

} // namespace reference_lexer

// The kind of every byte of a C-family text by CSourceLexer's rules, read in
// one pass over the whole text, looking ahead and back as far as a rule needs.
inline std::vector<UseKind> ReferenceKinds(std::string_view s) {
    using namespace reference_lexer;
    const std::size_t n = s.size();
    std::vector<UseKind> kinds(n);
    int depth = -1; // nesting inside an "#if 0" block; -1 outside one
    for (std::size_t i = 0, end = 0; i < n; i = end) {
        const char c = s[i];
        UseKind kind = c == '/' && In("/*", At(s, i + 1)) ? UseKind::Comment : UseKind::Code;
        end = i + 1;
        const bool bCharacter =
            c == '\'' &&
            std::isdigit(static_cast<unsigned char>(At(s, RunStart(s, i, IsNumberPart)))) == 0;
        const std::size_t h = RunStart(s, i, IsBlank); // only blanks from h to i
        if (c == '/' && At(s, i + 1) == '/') {
            end = LineCommentEnd(s, i);
        } else if (c == '/' && At(s, i + 1) == '*') {
            end = std::min(s.find("*/", i + 2), n - 2) + 2;
        } else if (c == '"' || bCharacter) {
            kind = UseKind::String;
            end = LiteralEnd(s, i);
        } else if (c == '#' && (h == 0 || In("\r\n", s[h - 1]))) {
            depth = DepthAfter(s, i, depth);
        }
        for (std::size_t k = i; k < std::min(end, n); ++k)
            kinds[k] = depth >= 0 ? UseKind::Inactive : kind;
    }
    return kinds;
}

} // namespace reference_models
