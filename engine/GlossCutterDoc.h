#pragma once

#include "Keyword.h"
#include "LoadSettings.h"
#include "ScanGap.h"
#include "TextLine.h"
#include "Wipe.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

class CCalledNames;
struct CMacroDefinition;
class CPastingMacros;
class CUsageScanner;
class ILoadProgress;

// The lines of the keyword file of the last completed load, which a wipe
// rewrites, and the number of that load (0: none). Only AdoptLoad writes them,
// on the thread that owns the documents; a load in progress never does.
extern CLineArray g_arrKeywordLines;
extern std::uint64_t g_nKeywordLinesLoad;

// What one load found. It is made apart from the document, so that a load may
// run on another thread while the document stays as it was; AdoptLoad then
// makes it the document's.
struct CKeywordLoad {
    CLoadSettings m_settings;         // what the load read
    CKeywordArray m_arrKeywords;      // sorted by symbol, with their uses
    CLineArray m_arrLines;            // the keyword file's lines
    std::error_code m_error;          // why the keyword file could not be read
    std::size_t m_nScannedFiles = 0;  // source files read to their end
    CUnreadableArray m_arrUnreadable; // source files and folders that could not be read
    bool m_bCompleted = false;        // false when cancelled: the uses are incomplete
    // Every source file walked, in walk order: the paths the uses point to,
    // stored once a file. It must not change once the scan has begun.
    std::vector<std::string> m_arrSourcePaths;
};

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

    // A whole load from one settings snapshot: LoadKeywords, then
    // AnalyzeSources, whose walk runs while the keyword file is read. It
    // changes nothing of the document, so it may run on another thread while
    // the document's own thread goes on.
    CKeywordLoad RunLoad(const CLoadSettings& settings) const;

    // Reads the keyword file of the load's settings into its table and lines.
    std::error_code LoadKeywords(CKeywordLoad& load) const;
    // Sorts the load's table by symbol and records the uses found in every
    // file under its source folders, slot by slot. False when cancelled.
    bool AnalyzeSources(CKeywordLoad& load) const;
    // Appends the files under one source folder that the load scans, and the
    // folders under it that cannot be listed, walking on up to `nThreads`.
    void AnalyzeFolder(const std::string& folder, const std::vector<std::string>& skipped,
                       std::vector<std::string>& files, CUnreadableArray& unreadable,
                       unsigned nThreads) const;

    // On the document's thread: a completed load becomes the table, and its
    // lines become g_arrKeywordLines; after a cancelled one the table is
    // empty. Returns whether the load was completed.
    bool AdoptLoad(CKeywordLoad&& load);
    // RunLoad and AdoptLoad, on the calling thread.
    bool Load(const CLoadSettings& settings);

    // Deletes every keyword and with it every use; no load is at hand then.
    void ClearKeywords();

    void SortKeywords(int nKey, bool bAscending);

    CKeyword* GetCurrentKeyword() const { return m_pCurrentKeyword; }
    void SetCurrentKeyword(CKeyword* pKeyword) { m_pCurrentKeyword = pKeyword; }

    // Of the last load: the files it read, those and the folders it could
    // not read, and why its keyword file could not be read.
    std::size_t GetScannedFileCount() const { return m_nScannedFiles; }
    const CUnreadableArray& GetUnreadable() const { return m_arrUnreadable; }
    // The files of the last load, each once: every CUsed's path is one of them.
    const std::vector<std::string>& GetSourcePaths() const { return m_arrSourcePaths; }
    const std::error_code& GetKeywordFileError() const { return m_keywordFileError; }
    // Why the last load's uses cannot be trusted for a wipe; both front ends
    // ask before they wipe.
    CScanGap GetScanGap(bool bAllowUnreadable) const;

    // A wipe of the ticked keywords of the last load from `keywordFile`. It
    // carries that load's lines only while they are g_arrKeywordLines; after
    // another document's load the wipe is refused.
    CWipeRequest MakeWipeRequest(const std::string& keywordFile, unsigned operation) const;

    void ShowStatusText(const std::string& text) const;
    void ShowStatusString(int id) const;

    CKeywordArray m_arrKeywords;
    CKeyword* m_pCurrentKeyword = nullptr; // the keyword of the list row selected last

private:
    // The steps of AnalyzeSources. The walk reads nothing of the table, and
    // may run while the keyword file is read; false when cancelled.
    void SortForScan(CKeywordLoad& load) const;
    bool WalkSourceFolders(CKeywordLoad& load) const;
    bool ScanSourceFiles(CKeywordLoad& load) const;
    bool ScanFiles(CKeywordLoad& load) const;
    // The macros that paste, found in the keyword file, which is read for its
    // macros only when `bKeywordFileMayPaste` or when some file pastes, and in
    // the C-family files of `read` (indices into the load's paths), which call
    // `called`; nothing when cancelled.
    std::optional<CPastingMacros> FindPastingMacros(const CKeywordLoad& load,
                                                    bool bKeywordFileMayPaste,
                                                    const std::vector<std::size_t>& read,
                                                    const std::vector<CCalledNames>& called) const;
    // The second pass: the C-family files of `read` (indices into the load's
    // paths), for the invocations of the pasting macros.
    bool AddPastedUses(const CKeywordLoad& load, const std::vector<std::size_t>& read,
                       const CUsageScanner& scanner, const CPastingMacros& macros) const;
    // `nDone` of `nTotal` files are scanned: names the file the scan waits for
    // now, if any.
    void ShowScanProgress(const std::string* pWaitingFor, std::size_t nDone,
                          std::size_t nTotal) const;
    // After `nDone` of `nTotal`: false when cancelled, else shows the progress.
    bool GoOn(const std::string* pWaitingFor, std::size_t nDone, std::size_t nTotal) const;

    ILoadProgress* m_pProgress = nullptr;
    std::string m_strLoadedFile; // the keyword file of the last load
    std::uint64_t m_nLoad = 0;   // the number of the last load whose lines are at hand
    std::size_t m_nScannedFiles = 0;
    CUnreadableArray m_arrUnreadable;
    std::array<std::string, kSlotCount> m_arrScannedFolders; // of the last load
    std::error_code m_keywordFileError;
    std::vector<std::string> m_arrSourcePaths; // of the last load; its uses point into it
};
