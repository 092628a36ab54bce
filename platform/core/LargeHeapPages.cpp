#include "LargeHeapPages.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <malloc.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The heap grows by this much at a time, so that whole large pages fit in
// it. Only the pages touched take memory.
constexpr std::size_t kGrowth = std::size_t{64} << 20;
constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Blocks from this size on are mapped apart from the heap.
constexpr std::size_t kMappedApart = kGrowth / 2;
// The largest block the heap itself serves, to a large page.
constexpr std::size_t kBlock = kMappedApart - kLargePage;
// What sbrk returns when it fails.
const auto kNoBreak = std::bit_cast<char*>(std::intptr_t{-1});

} // namespace

void UseLargeHeapPages() {
    // One heap for all threads: the heaps of other threads would each need
    // the same advice, and where they lie is the allocator's business. Large
    // blocks come from it too, rather than mapped apart, and it is given back
    // only past twice a growth.
    // NOLINTBEGIN(concurrency-mt-unsafe): no other thread runs yet
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_TOP_PAD, static_cast<int>(kGrowth));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kGrowth));
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMappedApart));
    // NOLINTEND(concurrency-mt-unsafe)
    // A large page takes memory only where the kernel finds none of its
    // small pages touched. The allocator writes the headers of the block it
    // grows the heap for, and of the free space after it, before the advice
    // can be given: the break is moved on to one small page before a large
    // page, so that the first header falls before it, and the block is as
    // large as the allocator takes from the heap, so that the second falls
    // past what most loads use. What the break skips is address space alone.
    const auto nSmallPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const auto* const pBreak = static_cast<const char*>(sbrk(0));
    const std::size_t nSkipped =
        (2 * kLargePage - nSmallPage - std::bit_cast<std::uintptr_t>(pBreak) % kLargePage) %
        kLargePage;
    if (pBreak == kNoBreak ||
        (nSkipped != 0 && sbrk(static_cast<std::intptr_t>(nSkipped)) == kNoBreak))
        return;
    // If the block is not where the program break moved, the allocator is
    // another, and nothing is advised.
    auto* const pBefore = static_cast<char*>(sbrk(0));
    const auto pBlock = std::make_unique_for_overwrite<char[]>(kBlock);
    const auto* const pAfter = static_cast<const char*>(sbrk(0));
    const std::less<> below;
    if (below(pBlock.get(), pBefore) || below(pAfter, pBlock.get() + kBlock) ||
        std::bit_cast<std::uintptr_t>(pBefore + nSmallPage) % kLargePage != 0)
        return;
    (void)madvise(pBefore + nSmallPage, static_cast<std::size_t>(pAfter - pBefore) - nSmallPage,
                  MADV_HUGEPAGE);
}
