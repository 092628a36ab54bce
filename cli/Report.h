#pragma once

#include "Keyword.h"

class CBaseline;

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

// A finished scan: the table in list order (by line), and what was scanned.
struct CScanResult {
    const std::string& m_strKeywordFile;
    const CKeywordArray& m_arrKeywords;
    std::size_t m_nFiles = 0;               // source files read
    std::size_t m_nUnreadable = 0;          // source files and folders that could not be read
    bool m_bStrict = false;                 // only mentioned keywords count as unused
    const CBaseline* m_pBaseline = nullptr; // findings of its symbols are not reported
    // Where the uses' paths are stored, if known: a path is then escaped once,
    // not once per use.
    const std::vector<std::string>* m_pSourcePaths = nullptr;
    unsigned m_nThreads = 1; // that the JSON report may be built on
};

// How the text report looks.
struct CTextStyle {
    bool m_bColour = false; // "warning:" and "note:" in colour, as gcc gives them
    bool m_bSummary = true; // the closing line of counts
};

// Whether --color=`choice` colours the text: "auto" only on a terminal and
// when NO_COLOR (`pNoColor`, null when unset) is unset or empty.
enum class ColourChoice { Auto, Always, Never };
bool UseColour(ColourChoice choice, bool bTerminal, const char* pNoColor);

// "FILE:LINE: warning: MESSAGE" (or "note:"), coloured when `style` says so.
std::string FormatDiagnostic(const CTextStyle& style, const std::string& strFile, int nLine,
                             bool bWarning, const std::string& strMessage);

// One line for each symbol of the result's baseline that nothing reports any
// more, in its line order.
std::vector<std::string> StaleBaselineNotes(const CScanResult& result, const CTextStyle& style);

// One "FILE:LINE: warning: unused keyword SYMBOL "VALUE"" line per unused
// keyword, a note per only mentioned one (a warning when strict), the
// duplicates, the stale entries of the baseline, then a summary line.
void WriteTextReport(std::ostream& out, const CScanResult& result, const CTextStyle& style);

// One JSON object with every keyword (or only the unused ones), its status,
// whether the baseline lists it (when there is one), its uses in scan order
// with their kinds, and a summary.
void WriteJsonReport(std::ostream& out, const CScanResult& result, bool bUnusedOnly);
