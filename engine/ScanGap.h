#pragma once

#include "LoadSettings.h"
#include "UnreadablePath.h"

#include <cstddef>
#include <string>

// Why the uses a load found cannot be trusted for a wipe. A keyword whose
// uses were not seen looks unused, and a wipe would take it from code that
// still needs it.
enum class ScanGapKind {
    None,
    NoSourceFolder, // no slot is set: nothing was scanned
    MissingFolder,  // a set folder does not exist, or is no folder
    NothingRead,    // the folders hold no file that could be read
    Unreadable,     // some files or folders could not be read
};

struct CScanGap {
    ScanGapKind m_nKind = ScanGapKind::None;
    CUnreadablePath m_first;       // the missing folder, or the first unreadable path
    std::size_t m_nUnreadable = 0; // files and folders that could not be read

    explicit operator bool() const { return m_nKind != ScanGapKind::None; }
    // A sentence for the user: what is missing, and that nothing was wiped.
    std::string Describe() const;
};

// The gap of a load of `folders` that read `nRead` files and could not read
// `unreadable`. With `bAllowUnreadable` the user accepts the last kind of gap,
// never the others.
CScanGap FindScanGap(const std::array<std::string, kSlotCount>& folders, std::size_t nRead,
                     const CUnreadableArray& unreadable, bool bAllowUnreadable);
