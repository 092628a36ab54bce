#pragma once

#include <string>
#include <string_view>

// Appends `text` to `out` as a JSON string literal, quotes included. Valid
// UTF-8 passes through; each byte that is not part of a valid UTF-8 sequence
// becomes U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Appends `path` as a JSON string when it is valid UTF-8 and otherwise as
// {"bytes": "<base64 of its bytes>"}, so that no file name loses a byte.
void AppendJsonPath(std::string& out, std::string_view path);
