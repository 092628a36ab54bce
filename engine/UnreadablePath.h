#pragma once

#include <string>
#include <system_error>
#include <vector>

// A source file or folder a load could not read, and the system's reason. Its
// uses, if any, are missing from the table.
struct CUnreadablePath {
    std::string m_strPath;
    std::error_code m_error;
};

using CUnreadableArray = std::vector<CUnreadablePath>;
