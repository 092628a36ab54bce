#pragma once

#include "Keyword.h"

#include <string>
#include <string_view>
#include <vector>

// Kept keywords are never ticked by Auto check or a wipe: a text whose symbol
// the program builds at run time has no use a scan could see.

// The tag that keeps a keyword when a comment on its define line, or on the
// line right above it, holds it.
inline constexpr std::string_view kKeepTag = "glosscutter:keep";

// Whether `text` holds the tag after the start of a comment ("//" or "/*").
bool HasKeepComment(std::string_view text);

// Whether `symbol` matches the glob `pattern`: "*" stands for any run of
// bytes, "?" for any one byte, every other byte for itself.
bool MatchesKeepPattern(std::string_view pattern, std::string_view symbol);

// The patterns of a "kept symbols" text: its words, separated by blanks and tabs.
std::vector<std::string> SplitKeepPatterns(std::string_view text);

// Keeps every keyword of `table` whose symbol matches one of `patterns`.
void KeepMatchingKeywords(CKeywordArray& table, const std::vector<std::string>& patterns);
