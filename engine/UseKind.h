#pragma once

#include <cstdint>
#include <string_view>

// Where in the source a use stands. C-family files are lexed for it; in any
// other file every use is Code.
enum class UseKind : std::uint8_t {
    Code,     // compiled text
    Comment,  // "//" to the end of the line (with its continuations), or "/* ... */"
    String,   // a string or character literal, raw strings included
    Inactive, // inside an "#if 0" block, up to its "#else", "#elif" or "#endif"
    Pasted,   // the symbol is built by a pasting macro's invocation
};

// The kind's word in reports: "code", "comment", "string", "inactive", "pasted".
std::string_view UseKindName(UseKind kind);

// Whether the compiled program sees the use.
constexpr bool IsCompiled(UseKind kind) {
    return kind == UseKind::Code || kind == UseKind::Pasted;
}
