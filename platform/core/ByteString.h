#pragma once

// Byte-string operations with the semantics the keyword parser was written
// against: positions are 0-based byte indices, -1 means "not found", and
// out-of-range arguments are clamped instead of throwing. Text is the file's
// own bytes (UTF-8 on this platform), so byte search equals character search.

#include <cstddef>
#include <string>
#include <string_view>

namespace bytes {

using Pos = std::ptrdiff_t;
inline constexpr Pos npos = -1;

// Removes leading characters that occur in `set`.
std::string_view TrimLeft(std::string_view s, std::string_view set);

// First occurrence of `what` (a text or one character), or -1.
Pos Find(std::string_view s, std::string_view what);
Pos Find(std::string_view s, char what);

// First character that occurs in `set`, or -1.
Pos FindOneOf(std::string_view s, std::string_view set);

// Last occurrence of `what`, or -1.
Pos ReverseFind(std::string_view s, char what);

// The first `count` characters: all of `s` when count >= size, empty when count <= 0.
std::string_view Left(std::string_view s, Pos count);

// From `first` to the end; a negative `first` counts as 0, empty past the end.
std::string_view Mid(std::string_view s, Pos first);

// At most `count` characters from `first`; empty when count <= 0.
std::string_view Mid(std::string_view s, Pos first, Pos count);

// Whole-string comparison by unsigned byte value: < 0, 0 or > 0.
int Compare(std::string_view a, std::string_view b);

} // namespace bytes
