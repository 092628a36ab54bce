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
// keyword's line, every marked keyword's line, and every line whose text
// begins with the marker after blanks and tabs; the marker further on, inside
// a value or a comment, is text like any other.
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
    Unchanged,           // no line would change: nothing was written, not even a backup
    NotLoaded,           // the lines at hand come from another file or load, or from none
    FileChanged,         // the file differs from what the last load read
    ReadFailed,          // the file cannot be read again before the rewrite
    Refused,             // the file cannot be replaced as it is (m_error says why)
    BackupIsKeywordFile, // a link makes the backup and the keyword file one file
    BackupFailed,        // nothing was rewritten
    WriteFailed,         // the file is as it was; the backup may have been written
};

struct CWipeResult {
    WipeStatus m_nStatus = WipeStatus::Done;
    std::error_code m_error;  // the system's reason, for the failures that have one
    std::string m_strBackup;  // the backup's path, once the wipe got as far as writing it
    std::size_t m_nWiped = 0; // lines marked or removed

    bool Succeeded() const {
        return m_nStatus == WipeStatus::Done || m_nStatus == WipeStatus::Unchanged;
    }
    // A sentence for the user that says what happened and what to do.
    std::string Describe(const std::string& path) const;
};

// What a wipe is asked to do, all of it from one load: the file to rewrite,
// the keywords with their ticks, and the lines the load read. CGlossCutterDoc
// makes it (MakeWipeRequest).
struct CWipeRequest {
    std::string m_strKeywordFile;               // the file to rewrite
    const CKeywordArray* m_pKeywords = nullptr; // the load's keywords, ticked for the wipe
    unsigned m_nOperation = WIPE_MARK;          // anything but WIPE_REMOVE marks
    // The load's lines; none once a later load took their place.
    const CLineArray* m_pLines = nullptr;
    std::string m_strLinesFile; // the file the lines were read from

    // The lines are at hand and belong to the file to rewrite.
    bool IsForLoadedFile() const;
};

// The fates of the request's lines; the request must be IsForLoadedFile.
std::vector<LineFate> PlanWipe(const CWipeRequest& request);

// Wipes the ticked keywords of the request from its keyword file, which must
// still hold exactly the bytes of the request's lines. The file is first
// copied to its backup; then it is replaced as a whole, so it is either
// entirely old or entirely new, with its owner, mode and attributes. A file
// that cannot be replaced so (write-protected, hard-linked, not a regular
// file, an owner we cannot keep), or whose backup a link makes the file
// itself, is refused before anything is written. When the content would not
// change, nothing is written.
CWipeResult WipeKeywords(const CWipeRequest& request);
