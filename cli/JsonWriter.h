#pragma once

#include <string>
#include <string_view>

// `text` as a JSON string literal, quotes included. Valid UTF-8 passes through;
// each byte that is not part of a valid UTF-8 sequence becomes U+FFFD.
std::string JsonString(std::string_view text);
