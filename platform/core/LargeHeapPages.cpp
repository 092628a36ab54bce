#include "LargeHeapPages.h"

#include <cstddef>
#include <functional>
#include <malloc.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The heap grows by this much at a time, so that whole large pages fit in
// it. Only the pages touched take memory.
constexpr std::size_t kGrowth = std::size_t{64} << 20;

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
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kGrowth / 2));
    // NOLINTEND(concurrency-mt-unsafe)
    // A block larger than the heap has free makes it grow now, by the block
    // and a growth: the advice covers the block, which starts in what the heap
    // had free, and what it grew by. If the block is not where the program
    // break moved, the allocator is another, and nothing is advised.
    constexpr std::size_t kBlock = kGrowth / 4;
    const auto* const pBefore = static_cast<const char*>(sbrk(0));
    const auto pBlock = std::make_unique_for_overwrite<char[]>(kBlock);
    const auto* const pAfter = static_cast<const char*>(sbrk(0));
    const std::less<> below;
    if (!below(pBefore, pAfter) || !below(pBlock.get(), pBefore) ||
        below(pAfter, pBlock.get() + kBlock))
        return;
    void* pStart = pBlock.get();
    auto size = static_cast<std::size_t>(pAfter - pBlock.get());
    if (std::align(static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), 1, pStart, size) != nullptr)
        (void)madvise(pStart, size, MADV_HUGEPAGE);
}
