#include "AutoCheck.h"

std::size_t CountUnused(const CKeywordArray& table) {
    std::size_t nUnused = 0;
    for (const auto& keyword : table)
        nUnused += keyword->IsUnused() ? 1 : 0;
    return nUnused;
}

// Not const: the table stays, but its keywords change.
// cppcheck-suppress constParameter
std::size_t AutoCheck(CKeywordArray& table) {
    std::size_t nTicked = 0;
    for (const auto& keyword : table) {
        if (keyword->IsUnused()) {
            keyword->SetChecked(true);
            ++nTicked;
        }
    }
    return nTicked;
}
