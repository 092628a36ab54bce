#pragma once

#include <string>
#include <vector>

namespace process {

// Starts `arguments[0]` with the given arguments and returns at once. The
// program path is taken literally unless `bSearchPath`, in which case a name
// without "/" is looked up in PATH. The child is reaped when it ends, so it
// never lingers as a zombie. True when the process was created.
bool StartDetached(const std::vector<std::string>& arguments, bool bSearchPath);

// Splits a command template into arguments as a desktop entry's Exec line is
// split: blanks separate arguments, double quotes group them, and inside
// quotes a backslash escapes ", `, $ and itself. False on an unterminated quote.
bool SplitCommandLine(const std::string& line, std::vector<std::string>& arguments);

} // namespace process
