#include "ParallelScan.h"

#include "Keyword.h"
#include "UsageScanner.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct CFileResult {
    CFileUses m_uses;
    bool m_bDone = false; // guarded by the mutex of the scan
};

} // namespace

void ParallelFor(std::size_t n, unsigned nThreads, const std::function<void(std::size_t k)>& work) {
    std::atomic<std::size_t> next{0};
    const auto run = [&] {
        for (std::size_t k = next++; k < n; k = next++)
            work(k);
    };
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < std::min<std::size_t>(nThreads, n); ++t)
        helpers.emplace_back(run);
    run();
}

bool ScanFiles(const std::function<void(std::size_t index, CFileUses& uses)>& analyze,
               std::size_t nFiles, unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge) {
    if (nThreads <= 1 || nFiles < 2) {
        for (std::size_t i = 0; i < nFiles; ++i) {
            CFileUses uses;
            analyze(i, uses);
            if (!merge(i, uses))
                return false;
        }
        return true;
    }

    std::vector<CFileResult> results(nFiles);
    std::mutex mutex;
    std::condition_variable fileDone;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> bStop{false};

    const auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= nFiles || bStop.load(std::memory_order_relaxed))
                return;
            CFileUses uses;
            analyze(i, uses);
            {
                const std::lock_guard lock(mutex);
                results[i].m_uses = std::move(uses);
                results[i].m_bDone = true;
            }
            fileDone.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    const unsigned nWorkers = std::min<std::size_t>(nThreads, nFiles);
    for (unsigned k = 0; k < nWorkers; ++k)
        workers.emplace_back(work);

    // Merge in path order as the files come in.
    bool bCompleted = true;
    for (std::size_t i = 0; i < nFiles; ++i) {
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
