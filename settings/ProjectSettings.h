#pragma once

#include <string>

// The name of a project's settings file, kept beside its sources so that a
// CI run reads the project's settings rather than someone's desktop.
inline constexpr const char* kProjectSettingsName = ".glosscutter.conf";

// The project settings file for `strFolder`: the first kProjectSettingsName
// in it or in a folder above it, or an empty text when there is none.
std::string FindProjectSettings(const std::string& strFolder);
