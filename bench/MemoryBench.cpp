// What a load's uses cost in memory: loads once and reports, per use, the heap
// still in use afterwards, the growth of the resident set, and the peak.
//   memory_bench KEYWORD_FILE FOLDER...   (up to eight folders)

#include "GlossCutterDoc.h"

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    double size = 0;
    double resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

double HeapInUse() {
    return static_cast<double>(::mallinfo2().uordblks + ::mallinfo2().hblkhd);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 2 + static_cast<int>(kSlotCount)) {
        std::fprintf(stderr, "usage: memory_bench KEYWORD_FILE FOLDER...\n");
        return 2;
    }
    CLoadSettings settings;
    settings.m_strKeywordFile = argv[1];
    for (int k = 2; k < argc; ++k)
        settings.m_arrSourceFolders[static_cast<std::size_t>(k - 2)] = argv[k];
    const double heapBefore = HeapInUse();
    const double residentBefore = ResidentBytes();
    CGlossCutterDoc doc;
    if (!doc.Load(settings) || doc.GetKeywordFileError()) {
        std::fprintf(stderr, "memory_bench: the load failed\n");
        return 1;
    }
    std::size_t nUses = 0;
    for (const auto& pKeyword : doc.m_arrKeywords)
        nUses += pKeyword->m_listUsed.size();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): glibc's rusage fields
    const auto peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    const auto uses = static_cast<double>(nUses);
    std::printf("%zu uses in %zu files: heap in use %.1f bytes a use, resident growth %.1f, "
                "peak resident %.1f\n",
                nUses, doc.GetScannedFileCount(), (HeapInUse() - heapBefore) / uses,
                (ResidentBytes() - residentBefore) / uses, peak / uses);
    return 0;
}
