#include "ScanGap.h"

#include <algorithm>

std::string CScanGap::Describe() const {
    const std::string& path = m_first.m_strPath;
    switch (m_nKind) {
    case ScanGapKind::None:
        break;
    case ScanGapKind::NoSourceFolder:
        return "No source folder is set, so nothing was scanned and every keyword would look "
               "unused. Nothing was wiped.";
    case ScanGapKind::MissingFolder:
        return "The source folder " + path + " " +
               (m_first.m_error == std::errc::not_a_directory ? "is not a folder"
                                                              : "does not exist") +
               ", so its uses are missing. Nothing was wiped.";
    case ScanGapKind::NothingRead:
        return "No source file was found and read under the source folders, so every keyword "
               "would look unused. Nothing was wiped.";
    case ScanGapKind::Unreadable:
        return std::to_string(m_nUnreadable) +
               (m_nUnreadable == 1 ? " file or folder" : " files or folders") +
               " could not be read (" + m_first.Describe() +
               "), so keywords used only there would look unused. Nothing was wiped.";
    }
    return {};
}

CScanGap FindScanGap(const std::array<std::string, kSlotCount>& folders, std::size_t nRead,
                     const CUnreadableArray& unreadable, bool bAllowUnreadable) {
    CScanGap gap;
    gap.m_nUnreadable = unreadable.size();
    if (std::ranges::all_of(folders, [](const std::string& f) { return f.empty(); })) {
        gap.m_nKind = ScanGapKind::NoSourceFolder;
        return gap;
    }
    // A set folder that cannot be opened is the walk's first entry for it.
    for (const CUnreadablePath& entry : unreadable) {
        const bool bSetFolder = std::ranges::find(folders, entry.m_strPath) != folders.end();
        if (bSetFolder && (entry.m_error == std::errc::no_such_file_or_directory ||
                           entry.m_error == std::errc::not_a_directory)) {
            gap.m_nKind = ScanGapKind::MissingFolder;
            gap.m_first = entry;
            return gap;
        }
    }
    if (nRead == 0)
        gap.m_nKind = ScanGapKind::NothingRead;
    else if (!unreadable.empty() && !bAllowUnreadable)
        gap.m_nKind = ScanGapKind::Unreadable;
    if (!unreadable.empty())
        gap.m_first = unreadable.front();
    return gap;
}
