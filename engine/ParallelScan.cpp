#include "ParallelScan.h"

#include "Keyword.h"
#include "UsageScanner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct CFileResult {
    CFileUses m_uses;                 // written by the worker that analyzes the file
    std::atomic<bool> m_bDone{false}; // set, with release, once m_uses is complete
};

// How long the calling thread waits between two rounds of merging and
// progress: the workers need not wake it for every file.
constexpr std::chrono::milliseconds kMergeInterval{20};

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
               const std::function<void(std::size_t index, CFileUses& uses)>& merge,
               const std::function<bool(std::size_t nMerged)>& goOn) {
    if (nThreads <= 1 || nFiles < 2) {
        for (std::size_t i = 0; i < nFiles; ++i) {
            CFileUses uses;
            analyze(i, uses);
            merge(i, uses);
            if (!goOn(i + 1))
                return false;
        }
        return true;
    }

    std::vector<CFileResult> results(nFiles);
    std::mutex mutex;
    std::condition_variable allDone;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> nFinished{0};
    std::atomic<bool> bStop{false};

    const auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= nFiles || bStop.load(std::memory_order_relaxed))
                return;
            analyze(i, results[i].m_uses);
            results[i].m_bDone.store(true, std::memory_order_release);
            if (nFinished.fetch_add(1, std::memory_order_acq_rel) + 1 == nFiles) {
                const std::lock_guard lock(mutex); // so that the wake cannot come before the wait
                allDone.notify_one();
            }
        }
    };
    std::vector<std::jthread> workers;
    const unsigned nWorkers = std::min<std::size_t>(nThreads, nFiles);
    for (unsigned k = 0; k < nWorkers; ++k)
        workers.emplace_back(work);

    // Merge in file order, a round at a time, what has come in since the last round.
    std::size_t nMerged = 0;
    while (nMerged < nFiles) {
        {
            std::unique_lock lock(mutex);
            allDone.wait_for(lock, kMergeInterval, [&] { return nFinished.load() == nFiles; });
        }
        for (; nMerged < nFiles && results[nMerged].m_bDone.load(std::memory_order_acquire);
             ++nMerged) {
            merge(nMerged, results[nMerged].m_uses);
            results[nMerged].m_uses = {}; // nothing of a merged file is kept
        }
        if (!goOn(nMerged)) {
            bStop = true;
            return false; // the workers are joined here
        }
    }
    return true;
}
