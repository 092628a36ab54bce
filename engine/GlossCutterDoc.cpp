#include "GlossCutterDoc.h"

#include "Duplicates.h"
#include "KeepPatterns.h"
#include "KeywordFileReader.h"
#include "KeywordSort.h"
#include "LoadProgress.h"
#include "ParallelScan.h"
#include "ResourceIds.h"
#include "SourceWalk.h"
#include "StringTable.h"
#include "UsageScanner.h"

#include <algorithm>
#include <thread>

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
    return skipped;
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

bool CGlossCutterDoc::ScanFiles(CKeywordLoad& load, const std::vector<std::string>& paths) const {
    const CUsageScanner scanner(load.m_arrKeywords);
    const unsigned nThreads = std::max(1U, std::thread::hardware_concurrency());
    return ::ScanFiles(scanner, paths, nThreads, [&](std::size_t index, CFileUses& uses) {
        ShowStatusText("Analyze " + paths[index] + "...");
        uses.HandOver();
        if (uses.m_error)
            load.m_arrUnreadable.push_back({paths[index], uses.m_error});
        else
            ++load.m_nScannedFiles;
        if (m_pProgress == nullptr)
            return true;
        m_pProgress->ShowFileProgress(index + 1, paths.size());
        return !m_pProgress->IsCancelled();
    });
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
