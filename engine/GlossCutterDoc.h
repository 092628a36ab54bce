#pragma once

#include "Keyword.h"
#include "LoadSettings.h"

#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

class ILoadProgress;

// The program's one document: it owns the keyword table and runs a load:
// read the keyword file, sort by symbol, walk the source folders and scan
// every file found. It knows nothing of windows; progress and cancellation go
// through an ILoadProgress.
class CGlossCutterDoc final {
public:
    CGlossCutterDoc() = default;
    ~CGlossCutterDoc() = default;
    CGlossCutterDoc(const CGlossCutterDoc&) = delete;
    CGlossCutterDoc& operator=(const CGlossCutterDoc&) = delete;

    // Where status texts go; none by default. Not owned.
    void SetProgress(ILoadProgress* pProgress) { m_pProgress = pProgress; }

    // Threads for the scan; 0 (the default) means one per core.
    void SetScanThreads(unsigned nThreads) { m_nScanThreads = nThreads; }

    // Clears the table and reads the keyword file of `settings` into it. The
    // error says why the file could not be read; the table is then empty.
    std::error_code LoadKeywords(const CLoadSettings& settings);

    // Sorts the table by symbol and records the uses found in every file under
    // the source folders of `settings`, slot by slot. Returns false when the
    // load was cancelled; the uses are then incomplete.
    bool AnalyzeSources(const CLoadSettings& settings);

    // Records the uses found in the files under one folder, skipping the
    // files in `skipped`. The table must be sorted by symbol.
    bool AnalyzeFolder(const std::string& folder, const std::vector<std::string>& skipped);

    // Deletes every keyword and with it every use.
    void ClearKeywords();

    void SortKeywords(int nKey, bool bAscending);

    CKeyword* GetCurrentKeyword() const { return m_pCurrentKeyword; }
    void SetCurrentKeyword(CKeyword* pKeyword) { m_pCurrentKeyword = pKeyword; }

    // Files scanned by the last load.
    std::size_t GetScannedFileCount() const { return m_nScannedFiles; }

    void ShowStatusText(const std::string& text);
    void ShowStatusString(int id);

    CKeywordArray m_arrKeywords;
    CKeyword* m_pCurrentKeyword = nullptr; // the keyword of the list row selected last

private:
    bool ScanFiles(const std::vector<std::string>& paths);

    ILoadProgress* m_pProgress = nullptr;
    unsigned m_nScanThreads = 0;
    std::size_t m_nScannedFiles = 0;
};
