#include "FileReplace.h"

#include "SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::error_code WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes `bytes` to a new temporary file beside `target`, with the mode and
// owner of `model`, and renames it over `target` if `confirm` agrees.
std::error_code WriteAndRename(const std::string& target, std::string_view bytes,
                               const struct stat& model,
                               const std::function<std::error_code()>& confirm) {
    const std::string folder = FolderOf(target);
    std::string temp = folder + "/." + NameOf(target) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return LastError();

    std::error_code ec = WriteAll(fd, bytes);
    if (!ec && ::fchmod(fd, model.st_mode & 07777) != 0)
        ec = LastError();
    if (!ec && ::geteuid() == 0)
        (void)::fchown(fd, model.st_uid, model.st_gid); // best effort: keep the owner
    if (!ec && ::fsync(fd) != 0)
        ec = LastError();
    if (::close(fd) != 0 && !ec)
        ec = LastError();
    if (!ec && confirm)
        ec = confirm();
    if (!ec && ::rename(temp.c_str(), target.c_str()) != 0)
        ec = LastError();
    if (ec) {
        ::unlink(temp.c_str());
        return ec;
    }
    // The new content is in place now; a folder that cannot be synced makes
    // the rename less durable, not undone, so it is no failure to report.
    SyncFolder(folder);
    return {};
}

} // namespace

std::error_code ReplaceFileContent(const std::string& path, std::string_view bytes,
                                   const std::function<std::error_code()>& confirm) {
    // Rewrite the file a link leads to, not the link.
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return LastError();
    struct stat st {};
    if (::stat(resolved, &st) != 0)
        return LastError();
    if (!S_ISREG(st.st_mode))
        return std::make_error_code(std::errc::invalid_argument);
    // A write-protected file stays protected, as it would for an editor,
    // although the folder would allow the rename.
    if (::access(resolved, W_OK) != 0)
        return LastError();
    return WriteAndRename(resolved, bytes, st, confirm);
}

std::error_code WriteFileLike(const std::string& path, std::string_view bytes,
                              const std::string& modelPath) {
    struct stat st {};
    if (::stat(modelPath.c_str(), &st) != 0)
        return LastError();
    return WriteAndRename(path, bytes, st, {});
}

} // namespace files
