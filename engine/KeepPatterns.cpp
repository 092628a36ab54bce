#include "KeepPatterns.h"

#include <algorithm>

bool HasKeepComment(std::string_view text) {
    const auto tag = text.find(kKeepTag);
    if (tag == std::string_view::npos)
        return false;
    const std::string_view before = text.substr(0, tag);
    return before.find("//") != std::string_view::npos ||
           before.find("/*") != std::string_view::npos;
}

bool MatchesKeepPattern(std::string_view pattern, std::string_view symbol) {
    // Greedy with one step back to the last "*": linear in practice, and no
    // recursion for patterns with many stars.
    std::size_t p = 0, s = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (s < symbol.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == symbol[s])) {
            ++p;
            ++s;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = s;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> SplitKeepPatterns(std::string_view text) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while ((start = text.find_first_not_of(" \t", start)) != std::string_view::npos) {
        const std::size_t stop = std::min(text.find_first_of(" \t", start), text.size());
        patterns.emplace_back(text.substr(start, stop - start));
        start = stop;
    }
    return patterns;
}

// Not const: the table stays, but its keywords change.
// cppcheck-suppress constParameter
void KeepMatchingKeywords(CKeywordArray& table, const std::vector<std::string>& patterns) {
    for (const auto& keyword : table) {
        if (std::ranges::any_of(patterns, [&](const std::string& pattern) {
                return MatchesKeepPattern(pattern, keyword->m_strSymbol);
            }))
            keyword->m_bKept = true;
    }
}
