#pragma once

#include "Keyword.h"
#include "TextLine.h"

#include <string>
#include <string_view>
#include <system_error>

// Appends the lines of `bytes` to `lines`. A line ends at CR LF, at LF or at a
// lone CR; it has no length limit and NUL is an ordinary character. A last
// line without a break is kept; a break at the very end adds no empty line.
void ReadLines(std::string_view bytes, CLineArray& lines);

// The bytes ReadLines read `lines` from.
std::string JoinLines(const CLineArray& lines);

// Appends one keyword per keyword line of `lines`, in line order.
void ParseKeywordLines(const CLineArray& lines, CKeywordArray& table);

// Reads the keyword file at `path`: its lines replace `lines`, and its
// keywords are appended to `table` (which it does not clear). A file that
// cannot be read leaves both as they were; the error says why.
std::error_code ParseKeywordFile(const std::string& path, CKeywordArray& table, CLineArray& lines);
