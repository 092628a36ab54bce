#pragma once

// Why a file is not read or replaced although the system would allow it: a
// pipe read as a header, or a new file that would not be the same file to its
// user.

#include <system_error>
#include <type_traits>

namespace files {

enum class FileError {
    HardLinked = 1,   // its other names would keep the old content
    WriteProtected,   // no write permission, even where root could write
    OwnerNotKept,     // the new file would belong to someone else
    AttributeNotKept, // an extended attribute or ACL would be lost
    NotRegularFile,   // a FIFO, device or socket
};

const std::error_category& FileErrorCategory();
std::error_code make_error_code(FileError error);

} // namespace files

template <>
struct std::is_error_code_enum<files::FileError> : std::true_type {};
