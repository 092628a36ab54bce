#pragma once

#include <cstdio>
#include <cstdlib>

// A violated property stops the run at once: libFuzzer keeps the input.
[[noreturn]] inline void FuzzCheckFailed(const char* file, int line, const char* condition,
                                         const char* what) {
    std::fprintf(stderr, "%s:%d: %s (%s does not hold)\n", file, line, what, condition);
    std::abort();
}

// A macro, for the condition's text and place in the report.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzCheckFailed(__FILE__, __LINE__, #condition, what);                                 \
    } while (false)
