#pragma once

#include "Keyword.h"
#include "TextLine.h"

#include <string>
#include <string_view>
#include <system_error>

// The lines of the keyword file read by the last successful ParseKeywordFile;
// the wipe rewrites the file from them.
extern CLineArray g_arrKeywordLines;

// The path g_arrKeywordLines was read from, exactly as ParseKeywordFile got it.
extern std::string g_strKeywordLinesFile;

// Appends the lines of `bytes` to `lines`. A line ends at CR LF, at LF or at a
// lone CR; it has no length limit and NUL is an ordinary character. A last
// line without a break is kept; a break at the very end adds no empty line.
void ReadLines(std::string_view bytes, CLineArray& lines);

// The bytes ReadLines read `lines` from.
std::string JoinLines(const CLineArray& lines);

// Appends one keyword per keyword line of `lines`, in line order.
void ParseKeywordLines(const CLineArray& lines, CKeywordArray& table);

// Reads the keyword file at `path`, refills g_arrKeywordLines and appends its
// keywords to `table` (which it does not clear). A file that cannot be read
// leaves the table and g_arrKeywordLines as they were; the error says why.
std::error_code ParseKeywordFile(const std::string& path, CKeywordArray& table);
