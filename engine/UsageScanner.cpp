#include "UsageScanner.h"

#include "CalledNamesReader.h"
#include "FileRead.h"
#include "ParallelScan.h"
#include "SourceLexer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

CUsageScanner::CUsageScanner(const CKeywordArray& table, std::function<bool()> isCancelled)
    : m_index(table), m_isCancelled(std::move(isCancelled)) {}

std::error_code CUsageScanner::ScanFile(const std::string& path, CSourceUseArray& uses,
                                        CCalledNamesReader* pCalled) const {
    // One buffer per thread: large enough to read efficiently, and allocated
    // once however many files a load scans. On the heap, at the first read:
    // in the thread's own storage it would be cleared for every thread the
    // process starts, whether it reads or not.
    using CReadBuffer = std::array<char, std::size_t{256} * 1024>;
    thread_local std::unique_ptr<CReadBuffer> pBuffer;
    if (!pBuffer)
        pBuffer = std::make_unique_for_overwrite<CReadBuffer>();
    CReadBuffer& buffer = *pBuffer;
    const bool bCFamily = IsCFamilyFile(path);
    if (!bCFamily)
        pCalled = nullptr;
    CSourceLexer lexer;
    CSourceTokenizer tokenizer(m_index, uses, bCFamily ? &lexer : nullptr);
    const auto ec = files::ReadFileChunks(path, buffer, [&](std::string_view piece) {
        // A piece shorter than the buffer is the file's last.
        tokenizer.Feed(piece, piece.size() < buffer.size());
        if (pCalled != nullptr)
            pCalled->Feed(piece);
        return !m_isCancelled || !m_isCancelled();
    });
    tokenizer.Finish();
    return ec;
}

void CFileUses::MarkOwnDefines() {
    for (std::size_t k = 0; k < m_arrKeywords.size(); ++k)
        m_arrUsed[k].m_bOwnDefine = m_arrUsed[k].m_nLine == m_arrKeywords[k]->m_nLine;
}

void CFileUses::HandOver(CKeywordLocks& locks) {
    const auto used = [this](std::size_t k) {
        return m_arrUsed.begin() + static_cast<std::ptrdiff_t>(k);
    };
    for (std::size_t k = 0; k < m_arrKeywords.size();) {
        CKeyword* pKeyword = m_arrKeywords[k];
        // A file's uses of one keyword often come in a row: one lock for the run.
        std::size_t end = k + 1;
        while (end < m_arrKeywords.size() && m_arrKeywords[end] == pKeyword)
            ++end;
        const std::lock_guard lock(locks.For(pKeyword));
        std::vector<CUsed>& list = pKeyword->m_listUsed;
        // Half as much again, not twice as much: the room the lists leave
        // unused is a load's largest cost in memory after the uses
        // themselves, and copying them more often costs little.
        if (const std::size_t nNeeded = list.size() + (end - k); nNeeded > list.capacity())
            list.reserve(std::max(nNeeded, list.size() + list.size() / 2));
        list.insert(list.end(), used(k), used(end));
        k = end;
    }
    // Let go at once: the file's result waits to be merged, but the thread's
    // next file can take this room.
    m_arrKeywords = {};
    m_arrUsed = {};
}

namespace {

void MakeRecords(const CSourceUseArray& found, const std::string& path, CFileUses& uses) {
    uses.m_arrKeywords.clear();
    uses.m_arrUsed.clear();
    uses.m_arrKeywords.reserve(found.size());
    uses.m_arrUsed.reserve(found.size());
    for (const CSourceUse& use : found) {
        uses.m_arrKeywords.push_back(use.m_pKeyword);
        uses.m_arrUsed.emplace_back(path, use.m_nLine, use.m_kind);
    }
}

} // namespace

void AnalyzeSourceFile(const CUsageScanner& scanner, const std::string& path, CFileUses& uses,
                       bool bWithCalledNames) {
    thread_local CSourceUseArray found; // grows once per thread, not once per file
    found.clear();
    CCalledNamesReader called(bWithCalledNames);
    uses.m_error = scanner.ScanFile(path, found, &called);
    uses.m_calledNames = called.Finish();
    if (uses.m_error == std::errc::operation_canceled)
        found.clear(); // the load ends unused: no records to make
    MakeRecords(found, path, uses);
}

namespace {

// The file at `path` whole, in its thread's buffer: valid until the thread
// reads the next file. The scan's worker threads end with the scan.
std::error_code ReadOnThread(const std::string& path, std::string_view& text) {
    thread_local std::string buffer;
    return files::ReadWholeFile(path, buffer, text);
}

} // namespace

std::error_code AnalyzeDefinitions(const std::string& path, std::vector<CMacroDefinition>& macros,
                                   CForwardingTexts& forwarding) {
    std::string_view text;
    const std::error_code ec = ReadOnThread(path, text);
    if (!ec)
        AddTextDefinitions(text, macros, &forwarding);
    return ec;
}

void AnalyzePastedUses(const CUsageScanner& scanner, const CPastingMacros& macros,
                       const std::string& path, CFileUses& uses) {
    std::string_view text;
    uses.m_error = ReadOnThread(path, text);
    CSourceUseArray found;
    macros.FindUses(scanner.GetIndex(), text, found);
    MakeRecords(found, path, uses);
}
