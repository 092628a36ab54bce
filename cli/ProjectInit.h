#pragma once

#include <string>

// The header under `strFolder` with the most keywords in effect (defines that
// carry a quoted text), as a path relative to `strFolder`; the first by path
// on a tie, and an empty text when no header has one. Hidden folders, such as
// a version control's, are not searched.
std::string GuessKeywordFile(const std::string& strFolder);

// The commented text of a new project settings file in the folder the
// guessed keyword file `strKeywordFile` is relative to; that folder is its
// one source folder. An empty `strKeywordFile` leaves the key commented out.
std::string InitialProjectSettings(const std::string& strKeywordFile);
