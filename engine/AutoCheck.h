#pragma once

#include "Keyword.h"

#include <cstddef>

// How many keywords of `table` are unused (CKeyword::IsUnused).
std::size_t CountUnused(const CKeywordArray& table);

// Ticks every unused keyword of `table` for the wipe and leaves the other
// ticks as they are; returns how many keywords it ticked.
std::size_t AutoCheck(CKeywordArray& table);
