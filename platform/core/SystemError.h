#pragma once

#include <cerrno>
#include <system_error>

namespace files {

// The error of the system call that failed last on this thread.
inline std::error_code LastError() {
    return {errno, std::generic_category()};
}

} // namespace files
