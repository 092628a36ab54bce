#include "GlossCutterDoc.h"

#include "CalledNamesReader.h"
#include "Duplicates.h"
#include "FileReplace.h"
#include "KeepPatterns.h"
#include "KeywordFileReader.h"
#include "KeywordSort.h"
#include "LoadProgress.h"
#include "ParallelScan.h"
#include "PastingMacros.h"
#include "ResourceIds.h"
#include "SourceLexer.h"
#include "SourceWalk.h"
#include "StringTable.h"
#include "UsageScanner.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <map>
#include <thread>
#include <unordered_map>

CLineArray g_arrKeywordLines;
std::uint64_t g_nKeywordLinesLoad = 0;

namespace {

// Counts the loads whose lines became g_arrKeywordLines.
std::uint64_t g_nLastLoad = 0;

std::vector<std::string> SkipList(const CLoadSettings& settings) {
    std::vector<std::string> skipped;
    for (const auto& file : settings.m_arrSkippedFiles) {
        if (!file.empty())
            skipped.push_back(file);
    }
    skipped.insert(skipped.end(), settings.m_listUnscannedFiles.begin(),
                   settings.m_listUnscannedFiles.end());
    return skipped;
}

// Whether the source file at `path` is the keyword file; the name is compared
// first, so that most files cost no look at the file system.
bool IsKeywordFile(const std::string& path, const std::string& keywordFile) {
    const auto name = [](const std::string& p) {
        return std::string_view(p).substr(p.rfind('/') + 1);
    };
    return name(path) == name(keywordFile) && files::IsSameFile(path, keywordFile);
}

// Whether `a` is in a file walked before `b`'s. The paths of a load's uses lie
// in its one list of walked files, in walk order, so their addresses tell.
bool InEarlierFile(const CUsed& a, const CUsed& b) {
    return std::less<>()(a.m_strFile.GetAddress(), b.m_strFile.GetAddress());
}

// Joins the pasted uses of `keyword` to its lexical ones. Both are in walk
// order, and in line order within a file; on the same line the lexical uses
// come first.
void MergePastedUses(CKeyword& keyword, const std::vector<CUsed>& pasted) {
    const auto before = [](const CUsed& a, const CUsed& b) {
        if (a.m_strFile.GetAddress() != b.m_strFile.GetAddress())
            return InEarlierFile(a, b);
        return a.m_nLine < b.m_nLine;
    };
    std::vector<CUsed> merged;
    merged.reserve(keyword.m_listUsed.size() + pasted.size());
    std::merge(keyword.m_listUsed.begin(), keyword.m_listUsed.end(), pasted.begin(), pasted.end(),
               std::back_inserter(merged), before);
    keyword.m_listUsed = std::move(merged);
}

// Whether the keyword file may paste, by the test a scanned file gets: it is
// read for its macros only then, or when a scanned file pastes.
bool HasPasteMarks(const CLineArray& lines) {
    CCalledNamesReader marks(false);
    for (const CTextLine& line : lines) {
        marks.Feed(line.m_strText);
        marks.Feed(LineBreakBytes(line.m_nBreak));
    }
    return marks.Finish().HasPasteMarks();
}

std::vector<CMacroDefinition> MacrosOf(const CLineArray& lines) {
    std::string text;
    for (const CTextLine& line : lines)
        (text += line.m_strText) += LineBreakBytes(line.m_nBreak);
    std::vector<CMacroDefinition> macros;
    AddTextDefinitions(text, macros);
    return macros;
}

// The k for which `test` holds of called[k], in order.
template <class TTest>
std::vector<std::size_t> FilesWhoseNames(const std::vector<CCalledNames>& called, TTest test) {
    std::vector<std::size_t> files;
    for (std::size_t k = 0; k < called.size(); ++k) {
        if (test(called[k]))
            files.push_back(k);
    }
    return files;
}

std::vector<std::size_t> FilesThatMayCall(const std::vector<CCalledNames>& called,
                                          const CCalledNames::CLookup& names) {
    return FilesWhoseNames(called, [&](const CCalledNames& c) { return c.MayCall(names); });
}

// Of the files `read`, those that may invoke one of `macros`: only they are
// read again. `called` holds the names that each calls.
std::vector<std::size_t> FilesThatMayCall(const std::vector<std::size_t>& read,
                                          const std::vector<CCalledNames>& called,
                                          const CPastingMacros& macros) {
    std::vector<std::size_t> calling =
        FilesThatMayCall(called, CCalledNames::CLookup(macros.GetNameHashes()));
    for (std::size_t& k : calling)
        k = read[k];
    return calling;
}

// The workers hand a file's uses over as soon as it is scanned, so a keyword's
// list holds each file's uses in order but the files in the order they were
// finished; a stable sort by file puts them back into walk order and keeps
// each file's own order.
void PutUsesInWalkOrder(CKeywordArray& table, unsigned nThreads) {
    ParallelFor(table.size(), nThreads, [&](std::size_t k) {
        std::vector<CUsed>& uses = table[k]->m_listUsed;
        if (!std::is_sorted(uses.begin(), uses.end(), InEarlierFile))
            std::stable_sort(uses.begin(), uses.end(), InEarlierFile);
    });
}

} // namespace

void CGlossCutterDoc::ShowStatusText(const std::string& text) const {
    if (m_pProgress != nullptr)
        m_pProgress->ShowStatusText(text);
}

void CGlossCutterDoc::ShowStatusString(int id) const {
    ShowStatusText(std::string(LoadString(id)));
}

void CGlossCutterDoc::ClearKeywords() {
    m_pCurrentKeyword = nullptr;
    m_arrKeywords.clear();
    m_arrSourcePaths.clear(); // after the uses that point into it
    // Lines without their keywords are no load to wipe.
    m_strLoadedFile.clear();
    m_nLoad = 0;
    m_nScannedFiles = 0;
    m_arrUnreadable.clear();
    m_arrScannedFolders = {};
    m_keywordFileError.clear();
}

CKeywordLoad CGlossCutterDoc::RunLoad(const CLoadSettings& settings) const {
    CKeywordLoad load;
    load.m_settings = settings;
    // The walk needs nothing of the keyword file: it goes on while the file
    // is read and sorted.
    bool bWalked = false;
    std::jthread walker([&] { bWalked = WalkSourceFolders(load); });
    load.m_error = LoadKeywords(load);
    SortForScan(load);
    walker.join();
    // A cancel that comes after the last file still cancels.
    load.m_bCompleted =
        bWalked && ScanSourceFiles(load) && (m_pProgress == nullptr || !m_pProgress->IsCancelled());
    return load;
}

std::error_code CGlossCutterDoc::LoadKeywords(CKeywordLoad& load) const {
    const std::string& path = load.m_settings.m_strKeywordFile;
    ShowStatusText("Parsing keyword file: " + path + " ...");
    const std::error_code ec = ParseKeywordFile(path, load.m_arrKeywords, load.m_arrLines);
    KeepMatchingKeywords(load.m_arrKeywords, load.m_settings.m_listKeptPatterns);
    FindDuplicates(load.m_arrKeywords);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);
    return ec;
}

void CGlossCutterDoc::SortKeywords(int nKey, bool bAscending) {
    ::SortKeywords(m_arrKeywords, nKey, bAscending);
}

bool CGlossCutterDoc::AnalyzeSources(CKeywordLoad& load) const {
    SortForScan(load);
    return WalkSourceFolders(load) && ScanSourceFiles(load);
}

void CGlossCutterDoc::SortForScan(CKeywordLoad& load) const {
    ShowStatusString(IDS_SORTING);
    ::SortKeywords(load.m_arrKeywords, SORT_BY_SYMBOL, true);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);
}

bool CGlossCutterDoc::WalkSourceFolders(CKeywordLoad& load) const {
    // Every folder is walked first, so that the scan can spread over all
    // cores and report its progress against the number of files.
    const std::vector<std::string> skipped = SkipList(load.m_settings);
    for (const auto& folder : load.m_settings.m_arrSourceFolders) {
        if (!folder.empty())
            AnalyzeFolder(folder, skipped, load.m_arrSourcePaths, load.m_arrUnreadable,
                          load.m_settings.GetThreadCount());
        if (m_pProgress != nullptr && m_pProgress->IsCancelled())
            return false;
    }
    return true;
}

bool CGlossCutterDoc::ScanSourceFiles(CKeywordLoad& load) const {
    const bool bCompleted = ScanFiles(load);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);
    return bCompleted;
}

void CGlossCutterDoc::AnalyzeFolder(const std::string& folder,
                                    const std::vector<std::string>& skipped,
                                    std::vector<std::string>& files, CUnreadableArray& unreadable,
                                    unsigned nThreads) const {
    CollectSourceFiles(folder, skipped, files, unreadable, nThreads);
}

void CGlossCutterDoc::ShowScanProgress(const std::string* pWaitingFor, std::size_t nDone,
                                       std::size_t nTotal) const {
    if (pWaitingFor != nullptr)
        ShowStatusText("Analyze " + *pWaitingFor + "...");
    if (m_pProgress != nullptr && nDone > 0)
        m_pProgress->ShowFileProgress(nDone, nTotal);
}

bool CGlossCutterDoc::GoOn(const std::string* pWaitingFor, std::size_t nDone,
                           std::size_t nTotal) const {
    if (m_pProgress != nullptr && m_pProgress->IsCancelled())
        return false;
    ShowScanProgress(pWaitingFor, nDone, nTotal);
    return true;
}

bool CGlossCutterDoc::ScanFiles(CKeywordLoad& load) const {
    const CUsageScanner scanner(load.m_arrKeywords, [this] {
        return m_pProgress != nullptr && m_pProgress->IsCancelled();
    });
    const std::vector<std::string>& paths = load.m_arrSourcePaths;
    const std::size_t nFiles = paths.size();
    const auto path = [&](std::size_t i) { return i < nFiles ? &paths[i] : nullptr; };
    const std::string& keywordFile = load.m_settings.m_strKeywordFile;
    std::vector<std::size_t> read;    // the C-family files read to their end
    std::vector<CCalledNames> called; // ...and the names each calls
    // Most files of a source tree are C-family ones: room for all at once.
    read.reserve(nFiles);
    called.reserve(nFiles);
    // Gathering the called names costs a fifth of a scan, for the pasting
    // pass alone: it starts once a file pastes anything, or the keyword file
    // pastes. The files scanned before are read again should the pass find
    // any macros.
    const bool bKeywordFileMayPaste = HasPasteMarks(load.m_arrLines);
    std::atomic<bool> bMayPaste{bKeywordFileMayPaste};
    const unsigned nThreads = load.m_settings.GetThreadCount();
    CKeywordLocks locks;
    ShowScanProgress(path(0), 0, nFiles);
    // Each worker hands its file's uses over itself; only the counts, errors
    // and progress go in walk order on this thread.
    const bool bCompleted = ::ScanFiles(
        [&](std::size_t index, CFileUses& uses) {
            AnalyzeSourceFile(scanner, paths[index], uses,
                              bMayPaste.load(std::memory_order_relaxed));
            if (uses.m_error == std::errc::operation_canceled)
                return; // the load ends unused: nothing to hand over
            if (uses.m_calledNames.HasPasteMarks())
                bMayPaste.store(true, std::memory_order_relaxed);
            if (IsKeywordFile(paths[index], keywordFile))
                uses.MarkOwnDefines();
            uses.HandOver(locks);
        },
        nFiles, nThreads,
        [&](std::size_t index, CFileUses& uses) {
            if (uses.m_error == std::errc::operation_canceled)
                return; // the load stops at the next round
            if (uses.m_error) {
                load.m_arrUnreadable.push_back({paths[index], uses.m_error});
            } else {
                ++load.m_nScannedFiles;
                if (IsCFamilyFile(paths[index])) {
                    read.push_back(index);
                    called.push_back(std::move(uses.m_calledNames));
                }
            }
        },
        [&](std::size_t nMerged) { return GoOn(path(nMerged), nMerged, nFiles); });
    if (!bCompleted)
        return false;
    // The pasting macros are known only once every file is read; a second
    // pass finds their invocations, and costs nothing when there are none.
    std::optional<CPastingMacros> pasting =
        FindPastingMacros(load, bKeywordFileMayPaste, read, called);
    if (!pasting)
        return false;
    std::vector<std::size_t> calling;
    if (!pasting->IsEmpty())
        calling = FilesThatMayCall(read, called, *pasting);
    // The names are done with: let them go before the sort needs its room.
    called = {};
    read = {};
    PutUsesInWalkOrder(load.m_arrKeywords, nThreads);
    return pasting->IsEmpty() || AddPastedUses(load, calling, scanner, *pasting);
}

std::optional<CPastingMacros>
CGlossCutterDoc::FindPastingMacros(const CKeywordLoad& load, bool bKeywordFileMayPaste,
                                   const std::vector<std::size_t>& read,
                                   const std::vector<CCalledNames>& called) const {
    // Only the files that may define a macro that pastes are read for their
    // definitions at first; then, round by round, those that may call a
    // macro found in the round before, as a macro that hands a parameter on
    // does. Each file's list is kept whole, in walk order: moving a list
    // costs nothing, moving its definitions one by one would cost time with
    // their number.
    // Most trees have nothing that pastes: then there is nothing to set up.
    const std::vector<std::size_t> mayPaste =
        FilesWhoseNames(called, [](const CCalledNames& c) { return c.MayPaste(); });
    if (!bKeywordFileMayPaste && mayPaste.empty())
        return CPastingMacros({});
    const unsigned nThreads = load.m_settings.GetThreadCount();
    // The forwarding texts of the few files read, by their place in `read`.
    CForwardingFiles forwarding;
    std::vector<bool> lexed(read.size());
    std::atomic<bool> bCancelled{false};
    std::vector<std::vector<CMacroDefinition>> macros;
    // Reads the files of `needed` not read yet.
    const auto analyze = [&](const std::vector<std::size_t>& needed) {
        std::vector<std::size_t> files;
        std::copy_if(needed.begin(), needed.end(), std::back_inserter(files),
                     [&](std::size_t k) { return !lexed[k]; });
        for (const std::size_t k : files)
            lexed[k] = true;
        std::vector<std::vector<CMacroDefinition>> defined(files.size());
        std::vector<CForwardingTexts> texts(files.size());
        ParallelFor(files.size(), nThreads, [&](std::size_t f) {
            if (m_pProgress != nullptr && m_pProgress->IsCancelled())
                bCancelled = true;
            else
                AnalyzeDefinitions(load.m_arrSourcePaths[read[files[f]]], defined[f], texts[f]);
        });
        for (std::size_t f = 0; f < files.size(); ++f) {
            if (!defined[f].empty())
                macros.push_back(std::move(defined[f]));
            if (texts[f].GetCount() != 0)
                forwarding.emplace(files[f], std::move(texts[f]));
        }
    };
    analyze(mayPaste);
    // Without a macro that pastes, there is nothing to hand on.
    const auto none = [&] {
        return bCancelled ? std::nullopt : std::optional<CPastingMacros>(CPastingMacros({}));
    };
    if (!bKeywordFileMayPaste && std::none_of(macros.begin(), macros.end(), AnyPastes))
        return none();
    // The keyword file may define the pasting macros too, scanned or not, and
    // may hand a parameter on to them.
    macros.insert(macros.begin(), MacrosOf(load.m_arrLines));
    if (std::none_of(macros.begin(), macros.end(), AnyPastes))
        return none();
    // A file read in a round pastes nothing onto a "g" prefix, but its
    // definitions with a "##" may hand a parameter on: they join the lists.
    AddForwardingMacros(forwarding, macros, [&](const CCalledNames::CLookup& names) {
        analyze(FilesThatMayCall(called, names));
    });
    if (bCancelled)
        return std::nullopt;
    return CPastingMacros(macros);
}

bool CGlossCutterDoc::AddPastedUses(const CKeywordLoad& load, const std::vector<std::size_t>& read,
                                    const CUsageScanner& scanner,
                                    const CPastingMacros& macros) const {
    const std::vector<std::string>& paths = load.m_arrSourcePaths;
    const auto path = [&](std::size_t k) { return k < read.size() ? &paths[read[k]] : nullptr; };
    // The pasted uses of each keyword, in walk order.
    std::unordered_map<CKeyword*, std::vector<CUsed>> pasted;
    const std::string& keywordFile = load.m_settings.m_strKeywordFile;
    ShowScanProgress(path(0), 0, read.size());
    const bool bCompleted = ::ScanFiles(
        [&](std::size_t k, CFileUses& uses) {
            AnalyzePastedUses(scanner, macros, paths[read[k]], uses);
        },
        read.size(), load.m_settings.GetThreadCount(),
        [&](std::size_t k, CFileUses& uses) {
            if (IsKeywordFile(paths[read[k]], keywordFile))
                uses.MarkOwnDefines();
            for (std::size_t u = 0; u < uses.m_arrKeywords.size(); ++u)
                pasted[uses.m_arrKeywords[u]].push_back(uses.m_arrUsed[u]);
        },
        [&](std::size_t nMerged) { return GoOn(path(nMerged), nMerged, read.size()); });
    if (!bCompleted)
        return false;
    for (auto& [keyword, uses] : pasted)
        MergePastedUses(*keyword, uses);
    return true;
}

bool CGlossCutterDoc::AdoptLoad(CKeywordLoad&& load) {
    ClearKeywords();
    m_keywordFileError = load.m_error;
    if (!load.m_bCompleted)
        return false;
    m_arrKeywords = std::move(load.m_arrKeywords);
    m_arrSourcePaths = std::move(load.m_arrSourcePaths); // the same strings: the uses stay valid
    m_nScannedFiles = load.m_nScannedFiles;
    m_arrUnreadable = std::move(load.m_arrUnreadable);
    m_arrScannedFolders = load.m_settings.m_arrSourceFolders;
    m_strLoadedFile = load.m_settings.m_strKeywordFile;
    // Without lines read, those of an earlier load stay where they are.
    if (!load.m_error) {
        g_arrKeywordLines = std::move(load.m_arrLines);
        g_nKeywordLinesLoad = m_nLoad = ++g_nLastLoad;
    }
    return true;
}

bool CGlossCutterDoc::Load(const CLoadSettings& settings) {
    return AdoptLoad(RunLoad(settings));
}

CScanGap CGlossCutterDoc::GetScanGap(bool bAllowUnreadable) const {
    return FindScanGap(m_arrScannedFolders, m_nScannedFiles, m_arrUnreadable, bAllowUnreadable);
}

CWipeRequest CGlossCutterDoc::MakeWipeRequest(const std::string& keywordFile,
                                              unsigned operation) const {
    CWipeRequest request;
    request.m_strKeywordFile = keywordFile;
    request.m_pKeywords = &m_arrKeywords;
    request.m_nOperation = operation;
    request.m_strLinesFile = m_strLoadedFile;
    if (m_nLoad != 0 && m_nLoad == g_nKeywordLinesLoad)
        request.m_pLines = &g_arrKeywordLines;
    return request;
}
