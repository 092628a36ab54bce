#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

inline constexpr std::size_t kSlotCount = 8;

// The settings a load reads, taken once when it starts so that a load on a
// worker thread never touches the settings store. Empty slots hold nothing.
struct CLoadSettings {
    std::string m_strKeywordFile;
    std::array<std::string, kSlotCount> m_arrSourceFolders;
    std::array<std::string, kSlotCount> m_arrSkippedFiles;
    std::vector<std::string> m_listKeptPatterns{}; // globs of symbols never to tick
    // Files never read as sources, beyond the skipped ones: the program's own
    // files, such as a baseline or a project's settings, name symbols
    // without using them. Compared as the skipped files are.
    std::vector<std::string> m_listUnscannedFiles{};
    unsigned m_nThreads = 0; // scanning threads; 0: one a core

    // The threads a load, and its report, spread over.
    unsigned GetThreadCount() const {
        return m_nThreads != 0 ? m_nThreads : std::max(1U, std::thread::hardware_concurrency());
    }
};
