// How a load copes with a deep tree: folders nested DEPTH levels, with a file
// of one use every thousand levels and at the bottom. A walk that opened each
// folder from the root would take time with the square of the depth.
//   deep_tree_bench [DEPTH]   (30000 unless given; the tree goes to $TMPDIR)

#include "GlossCutterDoc.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void PutUse(int folderFd) {
    const int fd = ::openat(folderFd, "use.c", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror("use.c");
        return;
    }
    const char text[] = "gDeep();\n";
    if (::write(fd, text, sizeof text - 1) < 0)
        std::perror("use.c");
    ::close(fd);
}

// Each level is made and entered relative to the one above, so no path grows long.
void MakeChain(const std::string& root, int nDepth) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < nDepth; ++level) {
        if (::mkdirat(fd, "d", 0755) != 0)
            std::perror("mkdirat");
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        if (level % 1000 == 999 || level == nDepth - 1)
            PutUse(fd);
    }
    ::close(fd);
}

// Lifts each level's subfolder into the root before removing the level, so no
// path grows long here either.
void RemoveChain(const std::string& root) {
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (::faccessat(fd, "d", F_OK, 0) == 0) {
        ::unlinkat(fd, "d/use.c", 0);
        const bool bDeeper = ::renameat(fd, "d/d", fd, "next") == 0;
        ::unlinkat(fd, "d", AT_REMOVEDIR);
        if (bDeeper)
            ::renameat(fd, "next", fd, "d");
    }
    ::close(fd);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int nDepth = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 30000;
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("deep_tree_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "src");
    std::ofstream(root / "texts.h") << "#define sDeep \"Deep\"\n";
    MakeChain(root / "src", nDepth);
    CLoadSettings settings;
    settings.m_strKeywordFile = root / "texts.h";
    settings.m_arrSourceFolders[0] = root / "src";

    std::vector<double> times;
    std::size_t nUses = 0;
    std::size_t nUnreadable = 0;
    for (int run = 0; run < 5; ++run) {
        CGlossCutterDoc doc;
        const auto start = std::chrono::steady_clock::now();
        const CKeywordLoad load = doc.RunLoad(settings);
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        nUses = load.m_arrKeywords.empty() ? 0 : load.m_arrKeywords[0]->m_listUsed.size();
        nUnreadable = load.m_arrUnreadable.size();
    }
    RemoveChain(root / "src");
    std::filesystem::remove_all(root);
    std::printf("%d nested folders: load %.2f s (median of 5), %zu uses, %zu unreadable\n", nDepth,
                Median(times), nUses, nUnreadable);
    return 0;
}
