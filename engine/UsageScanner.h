#pragma once

#include "Keyword.h"
#include "SourceTokenizer.h"
#include "SymbolIndex.h"

#include <string>
#include <string_view>
#include <system_error>

// Finds the uses of the keywords of one table in source files. The table must
// be sorted by SORT_BY_SYMBOL ascending and must not change while the scanner
// lives. Scanning is const and may run on several threads at once.
class CUsageScanner final {
public:
    explicit CUsageScanner(const CKeywordArray& table);

    // Appends the uses found in `text`, in text order.
    void ScanText(std::string_view text, CSourceUseArray& uses) const;

    // Appends the uses found in the file at `path`. A file that cannot be read
    // adds what was read before the error (nothing when it cannot be opened).
    std::error_code ScanFile(const std::string& path, CSourceUseArray& uses) const;

    // Records `uses`, found in the file at `path`, as CUsed entries of their
    // keywords, in order.
    static void AddUses(const std::string& path, const CSourceUseArray& uses);

private:
    CSymbolIndex m_index;
};

// Scans one source file and records its uses in the table's keywords. Builds
// the symbol index for this one call; a load of many files uses CUsageScanner.
void AnalyzeSourceFile(const std::string& path, const CKeywordArray& table);
