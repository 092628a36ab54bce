#include "GlossCutterDoc.h"

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
#include <iterator>
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

// Joins the pasted uses of `keyword` to its lexical ones, in walk order, and
// in line order within a file.
void MergePastedUses(CKeyword& keyword,
                     const std::unordered_map<std::string_view, std::size_t>& indexOfPath,
                     std::vector<std::pair<std::size_t, CUsed>>& pasted) {
    std::vector<CUsed> merged;
    merged.reserve(keyword.m_listUsed.size() + pasted.size());
    auto lexical = keyword.m_listUsed.begin();
    const auto place = [&](const CUsed& use) {
        return std::pair(indexOfPath.at(use.m_strFile), use.m_nLine);
    };
    for (auto& [index, use] : pasted) {
        while (lexical != keyword.m_listUsed.end() &&
               place(*lexical) <= std::pair(index, use.m_nLine))
            merged.push_back(std::move(*lexical++));
        merged.push_back(std::move(use));
    }
    std::move(lexical, keyword.m_listUsed.end(), std::back_inserter(merged));
    keyword.m_listUsed = std::move(merged);
}

std::vector<CMacroDefinition> MacrosOf(const CLineArray& lines) {
    std::string text;
    for (const CTextLine& line : lines)
        (text += line.m_strText) += LineBreakBytes(line.m_nBreak);
    std::vector<std::string> definitions;
    CSourceLexer lexer(&definitions);
    lexer.BeginPiece(text);
    lexer.EndPiece();
    lexer.Finish();
    std::vector<CMacroDefinition> macros;
    AddMacroDefinitions(definitions, macros);
    return macros;
}

// Scans spread over every core.
unsigned ScanThreadCount() {
    return std::max(1U, std::thread::hardware_concurrency());
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
    load.m_error = LoadKeywords(load);
    // A cancel that comes after the last file still cancels.
    load.m_bCompleted =
        AnalyzeSources(load) && (m_pProgress == nullptr || !m_pProgress->IsCancelled());
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
    ShowStatusString(IDS_SORTING);
    ::SortKeywords(load.m_arrKeywords, SORT_BY_SYMBOL, true);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);

    // Walk every folder first, so that the scan can spread over all cores and
    // report its progress against the number of files.
    const std::vector<std::string> skipped = SkipList(load.m_settings);
    std::vector<std::string> paths;
    for (const auto& folder : load.m_settings.m_arrSourceFolders) {
        if (!folder.empty())
            AnalyzeFolder(folder, skipped, paths, load.m_arrUnreadable);
        if (m_pProgress != nullptr && m_pProgress->IsCancelled())
            return false;
    }
    const bool bCompleted = ScanFiles(load, paths);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);
    return bCompleted;
}

void CGlossCutterDoc::AnalyzeFolder(const std::string& folder,
                                    const std::vector<std::string>& skipped,
                                    std::vector<std::string>& files,
                                    CUnreadableArray& unreadable) const {
    CollectSourceFiles(folder, skipped, files, unreadable);
}

void CGlossCutterDoc::ShowScanProgress(const std::vector<std::string>& paths,
                                       std::size_t nDone) const {
    if (nDone < paths.size())
        ShowStatusText("Analyze " + paths[nDone] + "...");
    if (m_pProgress != nullptr && nDone > 0)
        m_pProgress->ShowFileProgress(nDone, paths.size());
}

bool CGlossCutterDoc::GoOn(const std::vector<std::string>& paths, std::size_t nDone) const {
    if (m_pProgress != nullptr && m_pProgress->IsCancelled())
        return false;
    ShowScanProgress(paths, nDone);
    return true;
}

bool CGlossCutterDoc::ScanFiles(CKeywordLoad& load, const std::vector<std::string>& paths) const {
    const CUsageScanner scanner(load.m_arrKeywords, [this] {
        return m_pProgress != nullptr && m_pProgress->IsCancelled();
    });
    const std::string& keywordFile = load.m_settings.m_strKeywordFile;
    // The keyword file may define the pasting macros too, scanned or not.
    std::vector<CMacroDefinition> macros = MacrosOf(load.m_arrLines);
    std::vector<bool> read(paths.size());
    ShowScanProgress(paths, 0);
    const bool bCompleted = ::ScanFiles(
        [&](const std::string& path, CFileUses& uses) { AnalyzeSourceFile(scanner, path, uses); },
        paths, ScanThreadCount(),
        [&](std::size_t index, CFileUses& uses) {
            if (uses.m_error == std::errc::operation_canceled)
                return false; // the load ends unused: nothing to hand over
            if (IsKeywordFile(paths[index], keywordFile))
                uses.MarkOwnDefines();
            uses.HandOver();
            std::move(uses.m_arrMacros.begin(), uses.m_arrMacros.end(), std::back_inserter(macros));
            if (uses.m_error)
                load.m_arrUnreadable.push_back({paths[index], uses.m_error});
            else
                ++load.m_nScannedFiles;
            read[index] = !uses.m_error;
            return GoOn(paths, index + 1);
        });
    // The pasting macros are known only once every file is read; a second
    // pass finds their invocations, and costs nothing when there are none.
    const CPastingMacros pasting(macros);
    return bCompleted && (pasting.IsEmpty() || AddPastedUses(load, paths, read, scanner, pasting));
}

bool CGlossCutterDoc::AddPastedUses(const CKeywordLoad& load, const std::vector<std::string>& paths,
                                    const std::vector<bool>& read, const CUsageScanner& scanner,
                                    const CPastingMacros& macros) const {
    std::vector<std::string> files;
    std::vector<std::size_t> walkIndex;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (read[i] && IsCFamilyFile(paths[i])) {
            files.push_back(paths[i]);
            walkIndex.push_back(i);
        }
    }
    // The pasted uses of each keyword, with the walk index of their file.
    std::unordered_map<CKeyword*, std::vector<std::pair<std::size_t, CUsed>>> pasted;
    const std::string& keywordFile = load.m_settings.m_strKeywordFile;
    ShowScanProgress(files, 0);
    const bool bCompleted =
        ::ScanFiles([&](const std::string& path,
                        CFileUses& uses) { AnalyzePastedUses(scanner, macros, path, uses); },
                    files, ScanThreadCount(),
                    [&](std::size_t index, CFileUses& uses) {
                        if (IsKeywordFile(files[index], keywordFile))
                            uses.MarkOwnDefines();
                        for (std::size_t k = 0; k < uses.m_arrKeywords.size(); ++k)
                            pasted[uses.m_arrKeywords[k]].emplace_back(
                                walkIndex[index], std::move(uses.m_arrUsed[k]));
                        return GoOn(files, index + 1);
                    });
    if (!bCompleted)
        return false;
    std::unordered_map<std::string_view, std::size_t> indexOfPath;
    for (std::size_t i = 0; i < paths.size(); ++i)
        indexOfPath.emplace(paths[i], i);
    for (auto& [keyword, uses] : pasted)
        MergePastedUses(*keyword, indexOfPath, uses);
    return true;
}

bool CGlossCutterDoc::AdoptLoad(CKeywordLoad&& load) {
    ClearKeywords();
    m_keywordFileError = load.m_error;
    if (!load.m_bCompleted)
        return false;
    m_arrKeywords = std::move(load.m_arrKeywords);
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
