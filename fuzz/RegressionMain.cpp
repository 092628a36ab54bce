// Runs a fuzz target on every file named, or directly inside a folder named, in
// name order: the saved inputs as a regression test in any build. Each input is
// named on standard error first, so that whatever stops the run names it.

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
        if (!fs::is_directory(argv[i]))
            inputs.emplace_back(argv[i]); // a missing one fails below
        else // a folder that cannot be listed throws: the run fails, never shrinks
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path().string());
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
