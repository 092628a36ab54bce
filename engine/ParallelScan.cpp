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

// The results of the files, in runs of kRun files. A worker makes a run when
// it takes the run's first file to come, and the calling thread lets it go
// once it has merged all of it: the scan holds the few runs between the two,
// not a result for every file of the load, which would touch memory anew for
// each.
class CResultRuns final {
public:
    explicit CResultRuns(std::size_t nFiles)
        : m_nFiles(nFiles), m_arrRuns((nFiles + kRun - 1) / kRun) {}
    ~CResultRuns() {
        for (auto& run : m_arrRuns)
            delete[] run.load(std::memory_order_relaxed);
    }
    CResultRuns(const CResultRuns&) = delete;
    CResultRuns& operator=(const CResultRuns&) = delete;

    // For the worker that analyzes file `i`.
    CFileResult& Take(std::size_t i) {
        std::atomic<CFileResult*>& run = m_arrRuns[i / kRun];
        CFileResult* pRun = run.load(std::memory_order_acquire);
        if (pRun == nullptr) {
            auto* pMade = new CFileResult[kRun];
            if (run.compare_exchange_strong(pRun, pMade, std::memory_order_acq_rel))
                pRun = pMade;
            else
                delete[] pMade; // another worker made it first: pRun is that one
        }
        return pRun[i % kRun];
    }

    // For the calling thread: file `i`'s result once it is complete.
    CFileResult* Done(std::size_t i) {
        CFileResult* pRun = m_arrRuns[i / kRun].load(std::memory_order_acquire);
        if (pRun == nullptr || !pRun[i % kRun].m_bDone.load(std::memory_order_acquire))
            return nullptr;
        return &pRun[i % kRun];
    }

    // File `i` is merged: its run goes once it was the run's last.
    void Merged(std::size_t i) {
        if ((i + 1) % kRun == 0 || i + 1 == m_nFiles)
            delete[] m_arrRuns[i / kRun].exchange(nullptr, std::memory_order_relaxed);
    }

private:
    static constexpr std::size_t kRun = 64;
    std::size_t m_nFiles;
    std::vector<std::atomic<CFileResult*>> m_arrRuns;
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

    CResultRuns results(nFiles);
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
            CFileResult& result = results.Take(i);
            analyze(i, result.m_uses);
            result.m_bDone.store(true, std::memory_order_release);
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
        for (; nMerged < nFiles; ++nMerged) {
            CFileResult* pResult = results.Done(nMerged);
            if (pResult == nullptr)
                break;
            merge(nMerged, pResult->m_uses);
            results.Merged(nMerged); // nothing of a merged file is kept
        }
        if (!goOn(nMerged)) {
            bStop = true;
            return false; // the workers are joined here
        }
    }
    return true;
}
