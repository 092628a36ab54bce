#pragma once

// Writing a file so that it is either entirely old or entirely new: the
// content goes to a temporary file in the same folder, is flushed to disk,
// and only then renamed over the target. Any failure, and SIGINT, SIGTERM or
// SIGHUP meanwhile, leaves the target entirely old or entirely new and removes
// the temporary file; such a signal takes effect once the rename is done or
// cancelled. One replacement at a time: the signal handling is process-wide.

#include "FileError.h"

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace files {

// The refusals of ReplaceFileContent that are known before anything is
// written (links followed): not a regular file, more than one name, no write
// permission, or an owner or group we could not give the new file. Other
// failures, such as a missing file, come back as the system's error.
std::error_code CheckReplaceable(const std::string& path);

// Replaces the content of the existing file at `path` with `bytes`. A symbolic
// link is followed and its target rewritten, so the link stays a link. The
// new file keeps the permission bits, owner, group, extended attributes and
// ACLs of the old one; a file for which that is impossible is refused (see
// CheckReplaceable), as is one we may not write, as an editor would.
// `confirm`, when given, is called once the new content is safely on disk,
// just before it takes the old one's place: an error from it cancels the
// replacement and is returned.
std::error_code ReplaceFileContent(const std::string& path, std::string_view bytes,
                                   const std::function<std::error_code()>& confirm = {});

// Writes `bytes` to `path`, replacing any file of that name, with the
// permission bits of the existing file `modelPath` and, where allowed, its
// owner, group, extended attributes and ACLs.
std::error_code WriteFileLike(const std::string& path, std::string_view bytes,
                              const std::string& modelPath);

// Creates the file `path`, which must not exist yet, with `bytes` in it;
// a failure part way removes it again.
std::error_code CreateNewFile(const std::string& path, std::string_view bytes);

// Whether both paths exist and lead, through links, to the same file.
bool IsSameFile(const std::string& a, const std::string& b);

// "user:group" of the file (links followed), each by name or else by number;
// empty when the file cannot be examined.
std::string OwnerOf(const std::string& path);

// How many names the file has (links followed); 0 when it cannot be examined.
unsigned long LinkCount(const std::string& path);

} // namespace files
