#include "AutoCheck.h"

#include <algorithm>

std::size_t CountUnused(const CKeywordArray& table, bool bStrict) {
    return static_cast<std::size_t>(
        std::count_if(table.begin(), table.end(),
                      [&](const auto& keyword) { return keyword->IsUnused(bStrict); }));
}

std::size_t CountWithStatus(const CKeywordArray& table, KeywordStatus status) {
    return static_cast<std::size_t>(
        std::count_if(table.begin(), table.end(),
                      [&](const auto& keyword) { return keyword->GetStatus() == status; }));
}

// Not const: the table stays, but its keywords change.
// cppcheck-suppress constParameter
std::size_t AutoCheck(CKeywordArray& table, bool bStrict) {
    std::size_t nTicked = 0;
    for (const auto& keyword : table) {
        if (keyword->IsUnused(bStrict)) {
            keyword->SetChecked(true);
            ++nTicked;
        }
    }
    return nTicked;
}
