#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

class CKeyword;
struct CFileUses;

// Locks for handing uses to their keywords from several threads at once: a
// keyword's list takes one thread at a time, and different keywords mostly
// go in parallel. One of a fixed set, chosen by the keyword's address.
class CKeywordLocks final {
public:
    std::mutex& For(const CKeyword* pKeyword) {
        // Heap addresses share their low bits; a multiplicative hash mixes them.
        const auto mixed = std::bit_cast<std::uintptr_t>(pKeyword) * 0x9E3779B97F4A7C15U;
        return m_arrLocks[(mixed >> 56U) % kCount];
    }

private:
    static constexpr std::size_t kCount = 256;
    std::array<std::mutex, kCount> m_arrLocks;
};

// Calls `work(k)` for every k below `n`, on up to `nThreads` threads (the
// calling one among them), in no particular order.
void ParallelFor(std::size_t n, unsigned nThreads, const std::function<void(std::size_t k)>& work);

// Analyzes the files 0 to nFiles - 1 with `analyze` (AnalyzeSourceFile, say) on `nThreads` threads
// (1: on the calling thread alone) and gives what is left of each file's uses to `merge` on the
// calling thread, in the files' order. `analyze` may hand the uses themselves over at once, which
// spreads that work over the threads; `merge` then keeps what must go in order (errors, counts,
// progress). A file's uses are dropped once merged; nothing else of a file is kept. `merge`
// returns false to stop the scan early. Returns false if it was stopped.
bool ScanFiles(const std::function<void(std::size_t index, CFileUses& uses)>& analyze,
               std::size_t nFiles, unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge);
