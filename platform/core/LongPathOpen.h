#pragma once

#include <string>

namespace files {

// open(2) for paths of any length. The kernel refuses a path of PATH_MAX bytes
// or more, which a deep source tree easily reaches; such a path is opened
// piece by piece instead, each piece relative to the folder before it.
// Returns the descriptor, or -1 with errno set.
int OpenLongPath(const std::string& path, int flags);

} // namespace files
