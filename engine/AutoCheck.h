#pragma once

#include "Keyword.h"

#include <cstddef>

// How many keywords of `table` are unused (CKeyword::IsUnused of that strictness).
std::size_t CountUnused(const CKeywordArray& table, bool bStrict = false);

// How many keywords of `table` have `status`.
std::size_t CountWithStatus(const CKeywordArray& table, KeywordStatus status);

// Ticks every unused keyword of `table` for the wipe (with `bStrict`, also the
// only mentioned ones) and leaves the other ticks as they are; returns how
// many keywords it ticked.
std::size_t AutoCheck(CKeywordArray& table, bool bStrict = false);
