#pragma once

#include "TextLine.h"
#include "Wipe.h"

#include <iosfwd>
#include <string>
#include <vector>

// Writes what a wipe with `fates` would do to `lines` as a unified diff of the
// file at `path`, with three lines of context. Nothing when nothing changes.
// A name with a tab, a line break, a double quote, a backslash or another
// control character is quoted in the header as git quotes it.
void WriteWipeDiff(std::ostream& out, const std::string& path, const CLineArray& lines,
                   const std::vector<LineFate>& fates);

// `path` as a diff header names it: as it is, or in C-style quotes.
std::string DiffFileName(const std::string& path);

// Whether patch can apply a diff of these lines: it splits lines at LF only,
// so a lone CR break leaves it nothing to match.
bool CanPatchApply(const CLineArray& lines);
