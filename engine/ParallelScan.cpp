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

bool ScanFiles(const std::function<void(const std::string& path, CFileUses& uses)>& analyze,
               const std::vector<std::string>& paths, unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge) {
    if (nThreads <= 1 || paths.size() < 2) {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            CFileUses uses;
            analyze(paths[i], uses);
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
        for (;;) {
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= paths.size() || bStop.load(std::memory_order_relaxed))
                return;
            CFileUses uses;
            analyze(paths[i], uses);
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
