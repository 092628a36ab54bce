// The floor for a scan: walk the folders and read every file, on all cores,
// exactly as a load does, but look at nothing.
//   read_floor FOLDER...

#include "FileRead.h"
#include "SourceWalk.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> paths;
    CUnreadableArray unreadable;
    const unsigned nThreads = std::max(1u, std::thread::hardware_concurrency());
    for (int k = 1; k < argc; ++k)
        CollectSourceFiles(argv[k], {}, paths, unreadable, nThreads);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> total{0};
    std::vector<std::jthread> workers;
    for (unsigned t = 0; t < nThreads; ++t) {
        workers.emplace_back([&] {
            thread_local std::array<char, std::size_t{256} * 1024> buffer;
            for (std::size_t i = next++; i < paths.size(); i = next++) {
                files::ReadFileChunks(paths[i], buffer, [&](std::string_view piece) {
                    total += piece.size();
                    return true;
                });
            }
        });
    }
    workers.clear();
    std::printf("%zu files, %zu bytes\n", paths.size(), total.load());
    return 0;
}
