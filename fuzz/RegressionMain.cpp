// Runs a fuzz target once on every file named on the command line and on every
// file directly inside a folder named there, in name order, so that the saved
// inputs are a regression test in any build, with any compiler. Each input is
// named on standard error before it runs: whatever stops the run (a failed
// check, a sanitizer's report, a crash or a hang), the last name is the culprit.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path().string());
        } else {
            inputs.emplace_back(argv[i]); // a missing one fails below
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs: a regression run over nothing proves nothing\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const std::string& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        std::fprintf(stderr, "%s\n", path.c_str());
        if (!in.is_open() || in.bad()) {
            std::fprintf(stderr, "cannot read it\n");
            return 2;
        }
        // A buffer of exactly the input's size, so that a sanitizer sees any read past it.
        const auto data = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), data.get());
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    std::printf("%zu inputs passed\n", inputs.size());
    return 0;
}
