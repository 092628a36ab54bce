#pragma once

#include "Finding.h"

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

// The symbols whose findings a project has accepted for now: a text file with
// one symbol a line, sorted, under a comment header. Blank lines and lines
// starting with '#' are skipped when it is read.
class CBaseline final {
public:
    // Reads the file at `strPath`; on failure the baseline stays empty.
    std::error_code Read(const std::string& strPath);

    bool Contains(std::string_view symbol) const;
    const std::string& GetPath() const { return m_strPath; }

    // Each symbol of the baseline that none of `findings` names, with its
    // line in the file, in line order.
    std::vector<std::pair<int, std::string>>
    StaleEntries(const std::vector<CFinding>& findings) const;

    // The file's text for the symbols of `findings`.
    static std::string Format(const std::vector<CFinding>& findings);

private:
    std::string m_strPath;
    std::vector<std::pair<std::string, int>> m_arrEntries; // by symbol, with its line
};
