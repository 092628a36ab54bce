#pragma once

#include "Keyword.h"

#include <cstddef>
#include <iosfwd>
#include <string>

// A finished scan: the table in list order (by line), and what was scanned.
struct CScanResult {
    const std::string& m_strKeywordFile;
    const CKeywordArray& m_arrKeywords;
    std::size_t m_nFiles;      // source files read
    std::size_t m_nUnreadable; // source files and folders that could not be read
    bool m_bStrict;            // only mentioned keywords count as unused
};

// One "FILE:LINE: warning: unused keyword SYMBOL "VALUE"" line per unused
// keyword, a note per only mentioned one (a warning when strict), the
// duplicates, then a summary line.
void WriteTextReport(std::ostream& out, const CScanResult& result);

// One JSON object with every keyword (or only the unused ones), its status,
// its uses in scan order with their kinds, and a summary.
void WriteJsonReport(std::ostream& out, const CScanResult& result, bool bUnusedOnly);
