#pragma once

#include "CalledNames.h"
#include "Keyword.h"
#include "PastingMacros.h"
#include "SourceTokenizer.h"
#include "SymbolIndex.h"

#include <functional>
#include <string>
#include <system_error>
#include <vector>

class CCalledNamesReader;
class CKeywordLocks;

// Finds the uses of the keywords of one table in source files. The table must
// be sorted by SORT_BY_SYMBOL ascending and must not change while the scanner
// lives. Scanning is const and may run on several threads at once.
class CUsageScanner final {
public:
    // `isCancelled`, when given, is asked between the read pieces of a file, on
    // whichever thread scans it, so that a cancel takes effect inside a large
    // file too.
    explicit CUsageScanner(const CKeywordArray& table, std::function<bool()> isCancelled = {});

    // Appends the uses found in the file at `path`. A file that cannot be read
    // adds what was read before the error (nothing when it cannot be opened);
    // a cancelled read ends with std::errc::operation_canceled.
    // A C-family file is lexed for the kinds of its uses, and its bytes go
    // to `pCalled`, if given, for the names it calls.
    std::error_code ScanFile(const std::string& path, CSourceUseArray& uses,
                             CCalledNamesReader* pCalled = nullptr) const;

    const CSymbolIndex& GetIndex() const { return m_index; }

private:
    CSymbolIndex m_index;
    std::function<bool()> m_isCancelled;
};

// The uses found in one file, ready to be handed to their keywords: the
// CUsed records, which point to the file's stored path, are made on the
// thread that scanned the file.
struct CFileUses {
    std::vector<CKeyword*> m_arrKeywords;
    std::vector<CUsed> m_arrUsed;
    std::error_code m_error;    // why the file could not be read to its end
    CCalledNames m_calledNames; // for a C-family file

    // Flags the uses on their keyword's own define line: the file is the keyword file.
    void MarkOwnDefines();

    // Appends each record to its keyword's m_listUsed, in order, under the
    // keyword's lock, while other threads hand over other files' records.
    void HandOver(CKeywordLocks& locks);
};

// Scans the source file at `path` and makes one CUsed for every occurrence of
// an unmarked keyword's symbol, in file order, into `uses` (which it clears),
// with the error that stopped the reading, if any. Whether the file may paste
// is always found, the names it calls only `bWithCalledNames`. Runs on any
// thread; the records reach their keywords through HandOver.
void AnalyzeSourceFile(const CUsageScanner& scanner, const std::string& path, CFileUses& uses,
                       bool bWithCalledNames = true);

// The macro definitions of the C-family file at `path`, as AddTextDefinitions
// sorts them. The file is read whole; only one whose CCalledNames may paste,
// or may call a macro that pastes, needs it.
std::error_code AnalyzeDefinitions(const std::string& path, std::vector<CMacroDefinition>& macros,
                                   CForwardingTexts& forwarding);

// The uses that `macros` paste in the C-family file at `path`, as AnalyzeSourceFile
// makes them. The file is read whole; only one whose CCalledNames may call
// one of `macros` needs it.
void AnalyzePastedUses(const CUsageScanner& scanner, const CPastingMacros& macros,
                       const std::string& path, CFileUses& uses);
