// How soon a load stops once cancelled while it reads one large file: the time
// from the cancel to the end of the load, against the whole uncancelled load.
//   cancel_bench [MEGABYTES [dense]]   (1024 unless given; the file goes to $TMPDIR)
// The file holds one use a megabyte, or with "dense" one a line: then making
// and freeing the records of the uses costs more than the read.

#include "GlossCutterDoc.h"
#include "LoadProgress.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class CCancelFlag final : public ILoadProgress {
public:
    void ShowStatusText(const std::string& /*text*/) override {}
    bool IsCancelled() override { return m_bCancelled; }
    std::atomic<bool> m_bCancelled{false};
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

int main(int argc, char** argv) {
    const long nMegabytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1024;
    const bool bDense = argc > 2 && std::string(argv[2]) == "dense";
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("cancel_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "src");
    std::ofstream(root / "texts.h") << "#define sOpenFile \"Open\"\n#define sUndo \"Undo\"\n";
    {
        std::ofstream big(root / "src/big.c", std::ios::binary);
        std::string block = "    call(gOpenFile);\n";
        while (block.size() < std::size_t{1} << 20)
            block += bDense ? "    call(gOpenFile); /* a comment */ x = \"text\";\n"
                            : "    call(gOther); /* a comment */ x = \"text\";\n";
        for (long k = 0; k < nMegabytes; ++k)
            big.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    CLoadSettings settings;
    settings.m_strKeywordFile = root / "texts.h";
    settings.m_arrSourceFolders[0] = root / "src";

    std::vector<double> whole;
    std::vector<double> stop;
    for (int run = 0; run < 5; ++run) {
        CGlossCutterDoc doc;
        auto start = Clock::now();
        (void)doc.RunLoad(settings);
        whole.push_back(Milliseconds(Clock::now() - start));

        CCancelFlag flag;
        doc.SetProgress(&flag);
        std::thread load([&] { (void)doc.RunLoad(settings); });
        std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(whole.back() / 3)));
        start = Clock::now();
        flag.m_bCancelled = true;
        load.join();
        stop.push_back(Milliseconds(Clock::now() - start));
        doc.SetProgress(nullptr);
    }
    std::filesystem::remove_all(root);
    std::printf("%ld MB file%s: whole load %.0f ms, stopped %.2f ms after the cancel "
                "(medians of 5)\n",
                nMegabytes, bDense ? " (dense)" : "", Median(whole), Median(stop));
    return 0;
}
