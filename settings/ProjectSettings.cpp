#include "ProjectSettings.h"

#include <filesystem>

std::string FindProjectSettings(const std::string& strFolder) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(strFolder, ec).lexically_normal();
    if (ec)
        return {};
    for (;;) {
        const std::filesystem::path candidate = folder / kProjectSettingsName;
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate.string();
        if (!folder.has_relative_path())
            return {};
        folder = folder.parent_path();
    }
}
