#include "LongPathOpen.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace files {
namespace {

void CloseKeepingErrno(int fd) {
    if (fd == AT_FDCWD)
        return;
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

} // namespace

int OpenLongPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;

    int folder = AT_FDCWD;
    std::size_t start = 0;
    while (path.size() - start >= PATH_MAX) {
        // The longest run of whole names that the kernel still accepts.
        const std::size_t cut = path.rfind('/', start + PATH_MAX - 1);
        if (cut == std::string::npos || cut < start) {
            CloseKeepingErrno(folder);
            errno = ENAMETOOLONG; // one name longer than any file system allows
            return -1;
        }
        const std::string piece = cut == 0 ? "/" : path.substr(start, cut - start);
        start = cut + 1;
        if (piece.empty())
            continue; // "//" within the path
        const int next = ::openat(folder, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        CloseKeepingErrno(folder);
        if (next < 0)
            return -1;
        folder = next;
    }
    const int result = ::openat(folder, path.c_str() + start, flags | O_CLOEXEC);
    CloseKeepingErrno(folder);
    return result;
}

} // namespace files
