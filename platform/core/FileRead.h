#pragma once

// Reading files as raw bytes. Only regular files are read (after following
// links): a FIFO or a device under a source folder must never block or flood
// a load. Errors come back as error codes, never as exceptions.

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace files {

// Replaces `bytes` with the whole content of the file at `path`.
std::error_code ReadWholeFile(const std::string& path, std::string& bytes);

// Reads the whole file at `path` into `buffer`, which grows as needed and
// never shrinks, so that a thread that reads many files allocates (and zeroes)
// its memory once; `text` is set to the bytes read, within `buffer`.
std::error_code ReadWholeFile(const std::string& path, std::string& buffer, std::string_view& text);

// Reads the file through `buffer`, one piece at a time, and hands each piece
// to `consume` in file order. A piece is only valid during the call. The
// caller owns the buffer so that a scan of many files allocates it once.
// `consume` returns false to stop the read, which then gives
// std::errc::operation_canceled. A piece shorter than the buffer is the last.
std::error_code ReadFileChunks(const std::string& path, std::span<char> buffer,
                               const std::function<bool(std::string_view)>& consume);

} // namespace files
