#pragma once

#include "Report.h"

#include <optional>
#include <string>
#include <vector>

enum class CliCommand { Scan, Wipe, Init, Help, Version };
enum class ReportFormat { Text, Json, Sarif };

// What the command line asks for. Each group of options that is given
// replaces the matching setting; what is not given comes from the settings.
struct CCliRequest {
    CliCommand m_nCommand = CliCommand::Help;
    std::optional<std::string> m_strSettingsFile; // --settings: this file, not the search
    bool m_bNoSettings = false;                   // no settings file at all: defaults only
    std::optional<std::string> m_strKeywordFile;
    std::optional<std::vector<std::string>> m_listSourceFolders; // absolute, normal, existing
    std::optional<std::vector<std::string>> m_listSkippedFiles;  // absolute and normal
    ReportFormat m_nFormat = ReportFormat::Text;
    bool m_bUnusedOnly = false;
    bool m_bCheck = false;
    bool m_bStrict = false;               // only mentioned keywords count as unused too
    std::optional<unsigned> m_nOperation; // WIPE_MARK or WIPE_REMOVE
    bool m_bDryRun = false;
    bool m_bAllowUnreadable = false;              // wipe although some sources could not be read
    std::vector<std::string> m_listKeptPatterns;  // --keep: symbols never to tick
    std::optional<std::string> m_strBaselineFile; // report only symbols not in it
    std::optional<std::string> m_strWriteBaselineFile; // write the reported symbols to it
    ColourChoice m_nColour = ColourChoice::Auto;
    bool m_bQuiet = false;   // no progress and no summary
    unsigned m_nThreads = 0; // --threads: scanning threads; 0: one a core
};

// Fills `request` from the arguments; returns what is wrong, or an empty text.
std::string ParseCommandLine(int argc, const char* const* argv, CCliRequest& request);

// An absolute path with no ".", ".." or empty parts and no trailing "/".
// Links are not resolved, so the path reads as the user wrote it.
std::string NormalisePath(const std::string& path);

extern const char* const kUsageText;
