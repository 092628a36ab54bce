#include "UsageScanner.h"

#include "FileRead.h"

#include <array>

CUsageScanner::CUsageScanner(const CKeywordArray& table) : m_index(table) {}

void CUsageScanner::ScanText(std::string_view text, CSourceUseArray& uses) const {
    CSourceTokenizer tokenizer(m_index, uses);
    tokenizer.Feed(text);
    tokenizer.Finish();
}

std::error_code CUsageScanner::ScanFile(const std::string& path, CSourceUseArray& uses) const {
    // One buffer per thread: large enough to read efficiently, and allocated
    // once however many files a load scans.
    thread_local std::array<char, std::size_t{256} * 1024> buffer;
    CSourceTokenizer tokenizer(m_index, uses);
    const auto ec =
        files::ReadFileChunks(path, buffer, [&](std::string_view piece) { tokenizer.Feed(piece); });
    tokenizer.Finish();
    return ec;
}

void CUsageScanner::AddUses(const std::string& path, const CSourceUseArray& uses) {
    for (const CSourceUse& use : uses)
        use.m_pKeyword->m_listUsed.emplace_back(path, use.m_nLine);
}

void AnalyzeSourceFile(const std::string& path, const CKeywordArray& table) {
    const CUsageScanner scanner(table);
    CSourceUseArray uses;
    scanner.ScanFile(path, uses);
    CUsageScanner::AddUses(path, uses);
}
