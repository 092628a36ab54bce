#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>

class CKeyword;
struct CFileUses;

// A lock held for a few appends at a time: a thread that finds it taken
// spins, yielding, rather than sleeping in the kernel and being woken. A
// cache line each, so that two threads on two locks do not take the line
// from each other.
class alignas(64) CSpinLock final {
public:
    void lock() {
        while (m_flag.test_and_set(std::memory_order_acquire))
            while (m_flag.test(std::memory_order_relaxed))
                std::this_thread::yield();
    }
    void unlock() { m_flag.clear(std::memory_order_release); }

private:
    std::atomic_flag m_flag;
};

// Locks for handing uses to their keywords from several threads at once: a
// keyword's list takes one thread at a time, and different keywords mostly
// go in parallel. One of a fixed set, chosen by the keyword's address.
class CKeywordLocks final {
public:
    CSpinLock& For(const CKeyword* pKeyword) {
        // Heap addresses share their low bits; a multiplicative hash mixes them.
        const std::size_t mixed = std::hash<const CKeyword*>()(pKeyword) * 0x9E3779B97F4A7C15U;
        return m_arrLocks[(mixed >> 56U) % kCount];
    }

private:
    static constexpr std::size_t kCount = 256;
    std::array<CSpinLock, kCount> m_arrLocks;
};

// Calls `work(k)` for every k below `n`, on up to `nThreads` threads (the
// calling one among them), in no particular order.
void ParallelFor(std::size_t n, unsigned nThreads, const std::function<void(std::size_t k)>& work);

// Analyzes the files 0 to nFiles - 1 with `analyze` (AnalyzeSourceFile, say) on `nThreads` threads
// (1: on the calling thread alone), and gives what is left of each file's uses to `merge` on the
// calling thread, in the files' order. `analyze` may hand the uses themselves over at once, which
// spreads that work over the threads; `merge` keeps what must go in order (errors, counts). The
// calling thread merges in rounds, every few milliseconds, and after each round asks `goOn` with
// the number of files merged so far: false stops the scan, and ScanFiles returns false. A file's
// uses are dropped once merged; nothing else of a file is kept.
bool ScanFiles(const std::function<void(std::size_t index, CFileUses& uses)>& analyze,
               std::size_t nFiles, unsigned nThreads,
               const std::function<void(std::size_t index, CFileUses& uses)>& merge,
               const std::function<bool(std::size_t nMerged)>& goOn);
