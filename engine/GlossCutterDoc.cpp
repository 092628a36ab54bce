#include "GlossCutterDoc.h"

#include "KeywordFileReader.h"
#include "KeywordSort.h"
#include "LoadProgress.h"
#include "ParallelScan.h"
#include "ResourceIds.h"
#include "SourceWalk.h"
#include "StringTable.h"
#include "UsageScanner.h"

#include <thread>

namespace {

std::vector<std::string> SkipList(const CLoadSettings& settings) {
    std::vector<std::string> skipped;
    for (const auto& file : settings.m_arrSkippedFiles) {
        if (!file.empty())
            skipped.push_back(file);
    }
    return skipped;
}

} // namespace

void CGlossCutterDoc::ShowStatusText(const std::string& text) {
    if (m_pProgress != nullptr)
        m_pProgress->ShowStatusText(text);
}

void CGlossCutterDoc::ShowStatusString(int id) {
    ShowStatusText(std::string(LoadString(id)));
}

void CGlossCutterDoc::ClearKeywords() {
    m_pCurrentKeyword = nullptr;
    m_arrKeywords.clear();
    m_nScannedFiles = 0;
}

std::error_code CGlossCutterDoc::LoadKeywords(const CLoadSettings& settings) {
    ClearKeywords();
    ShowStatusText("Parsing keyword file: " + settings.m_strKeywordFile + " ...");
    const std::error_code ec = ParseKeywordFile(settings.m_strKeywordFile, m_arrKeywords);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);
    return ec;
}

void CGlossCutterDoc::SortKeywords(int nKey, bool bAscending) {
    ::SortKeywords(m_arrKeywords, nKey, bAscending);
}

bool CGlossCutterDoc::AnalyzeSources(const CLoadSettings& settings) {
    ShowStatusString(IDS_SORTING);
    SortKeywords(SORT_BY_SYMBOL, true);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);

    // Walk every folder first, so that the scan can spread over all cores and
    // report its progress against the number of files.
    const std::vector<std::string> skipped = SkipList(settings);
    std::vector<std::string> paths;
    for (const auto& folder : settings.m_arrSourceFolders) {
        if (!folder.empty())
            CollectSourceFiles(folder, skipped, paths);
        if (m_pProgress != nullptr && m_pProgress->IsCancelled())
            return false;
    }
    const bool bCompleted = ScanFiles(paths);
    ShowStatusString(AFX_IDS_IDLEMESSAGE);
    return bCompleted;
}

bool CGlossCutterDoc::AnalyzeFolder(const std::string& folder,
                                    const std::vector<std::string>& skipped) {
    std::vector<std::string> paths;
    CollectSourceFiles(folder, skipped, paths);
    return ScanFiles(paths);
}

bool CGlossCutterDoc::ScanFiles(const std::vector<std::string>& paths) {
    const CUsageScanner scanner(m_arrKeywords);
    const unsigned nThreads =
        m_nScanThreads != 0 ? m_nScanThreads : std::max(1u, std::thread::hardware_concurrency());
    return ::ScanFiles(scanner, paths, nThreads, [&](std::size_t index, CFileUses& uses) {
        ShowStatusText("Analyze " + paths[index] + "...");
        uses.HandOver();
        ++m_nScannedFiles;
        if (m_pProgress == nullptr)
            return true;
        m_pProgress->ShowFileProgress(index + 1, paths.size());
        return !m_pProgress->IsCancelled();
    });
}
