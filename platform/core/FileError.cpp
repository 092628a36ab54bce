#include "FileError.h"

#include <string>

namespace files {
namespace {

class CFileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "file"; }
    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::HardLinked:
            return "the file has more than one name (hard links)";
        case FileError::WriteProtected:
            return "the file is write-protected";
        case FileError::OwnerNotKept:
            return "the file's owner or group cannot be kept";
        case FileError::AttributeNotKept:
            return "an extended attribute or ACL of the file cannot be kept";
        case FileError::NotRegularFile:
            return "not a regular file";
        }
        return "unknown refusal";
    }
};

} // namespace

const std::error_category& FileErrorCategory() {
    static const CFileErrorCategory category;
    return category;
}

std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), FileErrorCategory()};
}

} // namespace files
