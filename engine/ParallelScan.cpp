#include "ParallelScan.h"

#include "Keyword.h"
#include "UsageScanner.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

void CFileUses::HandOver() {
    for (std::size_t k = 0; k < m_arrKeywords.size(); ++k)
        m_arrKeywords[k]->m_listUsed.push_back(std::move(m_arrUsed[k]));
    m_arrKeywords.clear();
    m_arrUsed.clear();
}

namespace {

struct CFileResult {
    CFileUses m_uses;
    bool m_bDone = false; // guarded by the mutex of the scan
};

void ScanOne(const CUsageScanner& scanner, const std::string& path, CSourceUseArray& found,
             CFileUses& uses) {
    found.clear();
    scanner.ScanFile(path, found);
    uses.m_arrKeywords.reserve(found.size());
    uses.m_arrUsed.reserve(found.size());
    for (const CSourceUse& use : found) {
        uses.m_arrKeywords.push_back(use.m_pKeyword);
        uses.m_arrUsed.emplace_back(path, use.m_nLine);
    }
}

} // namespace

bool ScanFiles(const CUsageScanner& scanner, const std::vector<std::string>& paths,
               unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge) {
    if (nThreads <= 1 || paths.size() < 2) {
        CSourceUseArray found;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            CFileUses uses;
            ScanOne(scanner, paths[i], found, uses);
            if (!merge(i, uses))
                return false;
        }
        return true;
    }

    std::vector<CFileResult> results(paths.size());
    std::mutex mutex;
    std::condition_variable fileDone;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> bStop{false};

    const auto work = [&] {
        CSourceUseArray found; // grows once per worker, not once per file
        for (;;) {
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= paths.size() || bStop.load(std::memory_order_relaxed))
                return;
            CFileUses uses;
            ScanOne(scanner, paths[i], found, uses);
            {
                const std::lock_guard lock(mutex);
                results[i].m_uses = std::move(uses);
                results[i].m_bDone = true;
            }
            fileDone.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    const unsigned nWorkers = std::min<std::size_t>(nThreads, paths.size());
    for (unsigned k = 0; k < nWorkers; ++k)
        workers.emplace_back(work);

    // Merge in path order as the files come in.
    bool bCompleted = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        CFileUses uses;
        {
            std::unique_lock lock(mutex);
            fileDone.wait(lock, [&] { return results[i].m_bDone; });
            uses = std::move(results[i].m_uses);
        }
        if (!merge(i, uses)) {
            bCompleted = false;
            break;
        }
    }
    bStop = true;
    return bCompleted; // the workers are joined here
}
