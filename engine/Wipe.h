#pragma once

#include "Keyword.h"
#include "TextLine.h"

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Values of the "unused keywords operation" setting.
enum : unsigned { WIPE_MARK = 1, WIPE_REMOVE = 2 };

// Put in front of a wiped line; the reader then sees the define as marked.
inline constexpr std::string_view kWipeMarker = "// GlossCutter //";

// What a wipe does to one line of the keyword file.
enum class LineFate : unsigned char { Keep, Mark, Remove };

// The fate of every line of `lines` when the ticked keywords of `table` are
// wiped with `operation` (anything but WIPE_REMOVE is WIPE_MARK). Mark puts the
// marker in front of each ticked keyword's line. Remove drops each ticked
// keyword's line, every marked keyword's line, and every line that already
// carries the marker.
std::vector<LineFate> PlanWipe(const CLineArray& lines, const CKeywordArray& table,
                               unsigned operation);

// The file content after a wipe: every kept line exactly as read, with its own
// line break; a marked line is the marker, the line's text and its own break.
std::string ApplyWipe(const CLineArray& lines, const std::vector<LineFate>& fates);

// "keys.h" -> "keys.bak", "keys" -> "keys.bak", "keys.bak" -> "keys.bak.bak":
// the extension of the file's name is replaced, never a dot in a folder name.
std::string BackupPathFor(const std::string& path);

enum class WipeStatus {
    Done,
    NotLoaded,    // the lines at hand come from another file, or from none
    FileChanged,  // the file differs from what the last load read
    ReadFailed,   // the file cannot be read again before the rewrite
    BackupFailed, // nothing was rewritten
    WriteFailed,  // the file is as it was; the backup may have been written
};

struct CWipeResult {
    WipeStatus m_nStatus = WipeStatus::Done;
    std::error_code m_error;  // the system's reason, for the failures that have one
    std::string m_strBackup;  // the backup's path, once the wipe got as far as writing it
    std::size_t m_nWiped = 0; // lines marked or removed

    bool Succeeded() const { return m_nStatus == WipeStatus::Done; }
    // A sentence for the user that says what happened and what to do.
    std::string Describe(const std::string& path) const;
};

// Wipes the ticked keywords of `table` from the keyword file at `path`, which
// must be the file of the last load (g_strKeywordLinesFile) and must still
// hold exactly the bytes that load read. The file is first copied to its
// backup; then it is replaced as a whole, so it is either entirely old or
// entirely new. When the content would not change, only the backup is made.
CWipeResult WipeKeywords(const std::string& path, const CKeywordArray& table, unsigned operation);
