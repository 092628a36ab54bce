#pragma once

// One directory's entries in the order the file system returns them, which is
// the order a folder walk must visit them in.

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace files {

struct CDirEntry {
    std::string m_strName;       // the entry's own name, without its folder
    bool m_bDirectory = false;   // a directory, or a link that leads to one
    bool m_bRegularFile = false; // a regular file, or a link that leads to one
};

// Identifies a directory across different paths to it, so that a walk can
// notice when a link leads back into a folder it is already inside.
struct CFileIdentity {
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;
    friend bool operator==(const CFileIdentity&, const CFileIdentity&) = default;
};

// Replaces `entries` with the entries of the directory open as `fd` ("." and
// ".." left out); `fd` stays open. Before reading any entry it passes the
// directory's identity to `admit`; when that returns false the directory is
// not read and `entries` stays empty. Entries that are neither directories nor
// regular files (dangling links, link loops, FIFOs, sockets, devices) are
// listed with both flags false.
std::error_code ListDirectory(int fd, std::vector<CDirEntry>& entries,
                              const std::function<bool(const CFileIdentity&)>& admit);

// Opens the directory `name` inside the directory open as `parentFd`, so that
// a walk costs the same at any depth; with AT_FDCWD, the directory at the path
// `name`, of any length. The descriptor, or -1 with errno set.
int OpenDirectory(int parentFd, const std::string& name);

} // namespace files
