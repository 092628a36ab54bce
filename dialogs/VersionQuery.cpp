#include "VersionQuery.h"

#include "VersionBlock.h"

#include <climits>
#include <cstdio>
#include <unistd.h>
#include <vector>

std::string GetModuleFileName() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

std::uint32_t GetFileVersionInfoSize(const std::string& path) {
    return GetFileVersionInfo(path) != nullptr ? sizeof(CVersionBlock) : 0;
}

const CVersionBlock* GetFileVersionInfo(const std::string& path) {
    return !path.empty() && path == GetModuleFileName() ? &ProgramVersionBlock() : nullptr;
}

bool VerQueryValue(const CVersionBlock& block, std::string_view subBlock, const void** ppBuffer,
                   std::uint32_t* pnLength) {
    if (subBlock == "\\") {
        *ppBuffer = &block.m_fixed;
        *pnLength = sizeof block.m_fixed;
        return true;
    }
    if (subBlock == "\\VarFileInfo\\Translation") {
        // Built once per block and kept, as the buffer of a real block would be.
        thread_local std::vector<std::uint16_t> pairs;
        pairs.clear();
        for (const auto& strings : block.m_arrTranslations) {
            pairs.push_back(strings.m_nLanguage);
            pairs.push_back(strings.m_nCodePage);
        }
        *ppBuffer = pairs.data();
        *pnLength = static_cast<std::uint32_t>(pairs.size() * sizeof(std::uint16_t));
        return true;
    }
    constexpr std::string_view kStrings = "\\StringFileInfo\\";
    if (!subBlock.starts_with(kStrings))
        return false;
    subBlock.remove_prefix(kStrings.size());
    const auto slash = subBlock.find('\\');
    if (slash == std::string_view::npos)
        return false;
    const std::string_view table = subBlock.substr(0, slash);
    const std::string_view key = subBlock.substr(slash + 1);
    for (const auto& strings : block.m_arrTranslations) {
        char name[16];
        std::snprintf(name, sizeof name, "%04x%04x", strings.m_nLanguage, strings.m_nCodePage);
        if (table != name)
            continue;
        for (const auto& [valueKey, text] : strings.m_arrValues) {
            if (valueKey == key) {
                *ppBuffer = text.data();
                *pnLength = static_cast<std::uint32_t>(text.size());
                return true;
            }
        }
    }
    return false;
}
