#pragma once

// Writing a file so that it is either entirely old or entirely new: the
// content goes to a temporary file in the same folder, is flushed to disk,
// and only then renamed over the target. Any failure leaves the target as it
// was and removes the temporary file.

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace files {

// Replaces the content of the existing file at `path` with `bytes`. A symbolic
// link is followed and its target rewritten, so the link stays a link. The
// new file keeps the permission bits (and, where allowed, the owner) of the
// old one. A file we may not write is refused, as an editor would.
// `confirm`, when given, is called once the new content is safely on disk,
// just before it takes the old one's place: an error from it cancels the
// replacement and is returned.
std::error_code ReplaceFileContent(const std::string& path, std::string_view bytes,
                                   const std::function<std::error_code()>& confirm = {});

// Writes `bytes` to `path`, replacing any file of that name, with the
// permission bits and owner of the existing file `modelPath`.
std::error_code WriteFileLike(const std::string& path, std::string_view bytes,
                              const std::string& modelPath);

} // namespace files
