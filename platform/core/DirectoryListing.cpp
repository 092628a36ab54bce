#include "DirectoryListing.h"

#include "LongPathOpen.h"
#include "SystemError.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

void ClassifyByStat(int dirFd, const char* name, CDirEntry& entry) {
    struct stat st {};
    if (::fstatat(dirFd, name, &st, 0) != 0)
        return; // dangling link, link loop, or vanished since the listing
    entry.m_bDirectory = S_ISDIR(st.st_mode);
    entry.m_bRegularFile = S_ISREG(st.st_mode);
}

} // namespace

int OpenDirectory(int parentFd, const std::string& name) {
    if (parentFd == AT_FDCWD)
        return OpenLongPath(name, O_RDONLY | O_DIRECTORY);
    return ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

std::error_code ListDirectory(int fd, std::vector<CDirEntry>& entries,
                              const std::function<bool(const CFileIdentity&)>& admit) {
    entries.clear();
    struct stat self {};
    if (::fstat(fd, &self) != 0)
        return LastError();
    if (!admit({static_cast<std::uint64_t>(self.st_dev), static_cast<std::uint64_t>(self.st_ino)}))
        return {};
    // The stream owns a descriptor of its own, so that the caller's stays open
    // for opening the entries.
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return LastError();
    DIR* dir = ::fdopendir(own);
    if (dir == nullptr) {
        const auto ec = LastError();
        ::close(own);
        return ec;
    }
    ::rewinddir(dir); // a duplicate shares the position of the caller's descriptor

    std::error_code result;
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(dir);
        if (d == nullptr) {
            if (errno != 0)
                result = LastError();
            break;
        }
        const std::string_view name(d->d_name);
        if (name == "." || name == "..")
            continue;
        CDirEntry entry;
        entry.m_strName.assign(name);
        switch (d->d_type) {
        case DT_DIR:
            entry.m_bDirectory = true;
            break;
        case DT_REG:
            entry.m_bRegularFile = true;
            break;
        case DT_LNK:
        case DT_UNKNOWN:
            ClassifyByStat(fd, d->d_name, entry);
            break;
        default:
            break;
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir); // also closes its own descriptor
    return result;
}

} // namespace files
