#pragma once

#include "Keyword.h"

// Fills m_arrSameSymbolLines and m_arrSameValueLines of every unmarked keyword
// of `table` with the lines of the other unmarked keywords that share its
// symbol (a redefinition: only one of them can ever receive uses), or its
// value under another symbol (candidates to merge), in line order.
void FindDuplicates(CKeywordArray& table);
