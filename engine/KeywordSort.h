#pragma once

#include "Keyword.h"

// Sorts the table in place by `nKey` (SORT_BY_LINE, SORT_BY_SYMBOL or
// SORT_BY_USED) and stores the key in every record's m_nSortKey. Among records
// with equal keys every unmarked record comes before every marked one, in both
// directions; the order among records equal in key and marked state is that of
// the program's historical exchange sort, which decides, for instance, which of
// several keywords with one symbol receives the uses. Any other key only
// stores itself and leaves the order unchanged.
void SortKeywords(CKeywordArray& table, int nKey, bool bAscending);
