#pragma once

#include "Used.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What a keyword's uses say of it; the first that applies.
enum class KeywordStatus : std::uint8_t {
    Marked,    // out of effect in the keyword file
    Used,      // a compiled use (code or pasted) other than its own define line
    Kept,      // a keep comment or a kept pattern protects it
    Mentioned, // uses, but only in comments, strings, inactive code or its own define line
    Unused,    // no use at all
};

// The status's word in reports: "marked", "used", "kept", "mentioned", "unused".
std::string_view KeywordStatusName(KeywordStatus status);

// The keywords a list shows: all, those of one status, or those with a duplicate.
enum class KeywordFilter : std::uint8_t { All, Unused, Mentioned, Used, Kept, Marked, Duplicates };

// Keys of SortKeywords and CKeyword::m_nSortKey.
enum : int { SORT_BY_LINE = 1, SORT_BY_SYMBOL = 2, SORT_BY_USED = 3 };

// One `#define` of the keyword file that carries a quoted text.
class CKeyword final {
public:
    CKeyword(std::string strSymbol, std::string strValue, int nLine, bool bMarked)
        : m_strSymbol(std::move(strSymbol)), m_strValue(std::move(strValue)), m_nLine(nLine),
          m_bMarked(bMarked) {}

    int GetUsedCount() const { return static_cast<int>(m_listUsed.size()); }

    // In effect, not kept, and nothing uses it: what Auto check ticks and the
    // reports list.
    bool IsUnused() const { return !m_bMarked && !m_bKept && m_listUsed.empty(); }

    KeywordStatus GetStatus() const;

    // Unused, or with --strict also only mentioned: what Auto check of that
    // strictness ticks.
    bool IsUnused(bool bStrict) const {
        return IsUnused() || (bStrict && GetStatus() == KeywordStatus::Mentioned);
    }

    // Whether another unmarked keyword shares its symbol or its value.
    bool HasDuplicate() const {
        return !m_arrSameSymbolLines.empty() || !m_arrSameValueLines.empty();
    }

    // A tick asks the wipe to take the keyword. A marked one is never ticked:
    // it is out of effect already, and only Remove takes it, for being marked.
    void SetChecked(bool bChecked) { m_bChecked = bChecked && !m_bMarked; }

    std::string m_strSymbol;       // "g" + the define's name without its first character
    std::string m_strValue;        // the value text, one pair of surrounding quotes removed
    int m_nLine;                   // 1-based line of the define in the keyword file
    bool m_bMarked;                // commented out, not at the start of its line, or inside "#if 0"
    bool m_bChecked = false;       // ticked for the next wipe; see SetChecked
    bool m_bKept = false;          // a keep comment or a kept pattern protects it (KeepPatterns.h)
    std::vector<CUsed> m_listUsed; // places of use, in the order the scan found them
    // Of the other unmarked keywords, the lines of those with this symbol, and
    // of those with this value under another symbol (FindDuplicates).
    std::vector<int> m_arrSameSymbolLines;
    std::vector<int> m_arrSameValueLines;
    int m_nSortKey = SORT_BY_SYMBOL; // key of the last SortKeywords that included this record
};

bool MatchesFilter(const CKeyword& keyword, KeywordFilter filter);

// The keyword table. It owns its records; views hold plain pointers, which stay
// valid across sorts and become invalid when the table is cleared.
using CKeywordArray = std::vector<std::unique_ptr<CKeyword>>;
