#pragma once

#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

// A source file or folder a load could not read, and the system's reason. Its
// uses, if any, are missing from the table.
struct CUnreadablePath {
    std::string m_strPath;
    std::error_code m_error;

    // "PATH: REASON", as every front end names it.
    std::string Describe() const { return m_strPath + ": " + m_error.message(); }
};

// How many unreadable paths a front end names; the rest are only counted.
inline constexpr std::size_t kUnreadableNamed = 20;

using CUnreadableArray = std::vector<CUnreadablePath>;
