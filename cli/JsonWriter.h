#pragma once

#include <string>
#include <string_view>

// Whether AppendJsonString writes the byte as it is: printable ASCII other
// than the quote and the backslash.
inline bool IsPlainJsonByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\';
}

// Appends `text` to `out` as a JSON string literal, quotes included. Valid
// UTF-8 passes through; each byte that is not part of a valid UTF-8 sequence
// becomes U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Appends `path` as a JSON string when it is valid UTF-8 and otherwise as
// {"bytes": "<base64 of its bytes>"}, so that no file name loses a byte.
void AppendJsonPath(std::string& out, std::string_view path);
