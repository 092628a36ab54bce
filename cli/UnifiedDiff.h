#pragma once

#include "TextLine.h"
#include "Wipe.h"

#include <iosfwd>
#include <string>
#include <vector>

// Writes what a wipe with `fates` would do to `lines` as a unified diff of the
// file at `path`, with three lines of context. Nothing when nothing changes.
void WriteWipeDiff(std::ostream& out, const std::string& path, const CLineArray& lines,
                   const std::vector<LineFate>& fates);
