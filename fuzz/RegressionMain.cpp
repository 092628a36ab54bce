// Runs a fuzz target once on every file named on the command line and on every
// file directly inside a folder named there, in name order, so that the saved
// inputs are a regression test in any build, with any compiler.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize);

// Present when a sanitizer runtime is linked in; its report ends the process
// without a signal, so the input is named from its death callback.
// NOLINTNEXTLINE(clang-diagnostic-reserved-identifier): the sanitizers' own name
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

const char* g_pCurrentInput = nullptr;

// Async-signal-safe: runs from a signal handler or a sanitizer's report.
void NameCurrentInput() {
    const char* path = g_pCurrentInput;
    if (path == nullptr)
        return;
    g_pCurrentInput = nullptr; // once, though both the callback and SIGABRT may come
    constexpr std::string_view kPrefix = "\nfailing input: ";
    for (const std::string_view piece : {kPrefix, std::string_view(path), std::string_view("\n")})
        if (::write(STDERR_FILENO, piece.data(), piece.size()) < 0)
            return; // nothing is left to do about it on the way out
}

extern "C" void OnFatalSignal(int nSignal) {
    NameCurrentInput();
    std::signal(nSignal, SIG_DFL);
    std::raise(nSignal);
}

bool ReadInput(const std::string& path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

} // namespace

int main(int argc, char** argv) {
    if (__sanitizer_set_death_callback != nullptr) {
        __sanitizer_set_death_callback(NameCurrentInput);
    } else {
        for (const int nSignal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL})
            std::signal(nSignal, OnFatalSignal);
    }
    std::signal(SIGABRT, OnFatalSignal);

    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path().string());
        } else if (std::filesystem::is_regular_file(argv[i], ec)) {
            inputs.emplace_back(argv[i]);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs: a regression run over nothing proves nothing\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());

    std::vector<char> bytes;
    for (const std::string& path : inputs) {
        if (!ReadInput(path, bytes)) {
            std::fprintf(stderr, "%s: cannot read\n", path.c_str());
            return 2;
        }
        // A buffer of exactly the input's size, so that a sanitizer sees any read past it.
        const auto data = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), data.get());
        g_pCurrentInput = path.c_str();
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
        g_pCurrentInput = nullptr;
    }
    std::printf("%zu inputs passed\n", inputs.size());
    return 0;
}
