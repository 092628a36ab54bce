#include "FileReplace.h"

#include "SystemError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

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

// ".NAME.XXXXXX" beside `target`, NAME cut so that the whole is a valid name
// wherever the target's own is; a UTF-8 character is cut off whole.
std::string TemporaryPattern(const std::string& target) {
    std::string name = NameOf(target);
    std::size_t room = NAME_MAX - std::string_view("..XXXXXX").size();
    if (name.size() > room) {
        while (room > 0 && (static_cast<unsigned char>(name[room]) & 0xC0) == 0x80)
            --room;
        name.resize(room);
    }
    return FolderOf(target) + "/." + name + ".XXXXXX";
}

bool InOurGroups(gid_t gid) {
    if (gid == ::getegid())
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return count > 0 &&
           std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

// The refusals of CheckReplaceable for the file at `path`, which `st` describes.
std::error_code Refusal(const std::string& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return FileError::NotRegularFile;
    if (st.st_nlink > 1)
        return FileError::HardLinked;
    // From the mode bits as well, as access() lets root write anything.
    const bool root = ::geteuid() == 0;
    if ((st.st_mode & 0222) == 0)
        return FileError::WriteProtected;
    if (::access(path.c_str(), W_OK) != 0) {
        if (!root && (errno == EACCES || errno == EPERM || errno == EROFS))
            return FileError::WriteProtected;
        return LastError();
    }
    // Only root may give a file away, and only to groups it is in otherwise.
    if (!root && (st.st_uid != ::geteuid() || !InOurGroups(st.st_gid)))
        return FileError::OwnerNotKept;
    return {};
}

// Gives the file `fd` the owner and group of `model` where they differ.
bool KeepOwner(int fd, const struct stat& model) {
    struct stat own {};
    if (::fstat(fd, &own) != 0)
        return false;
    if (own.st_uid == model.st_uid && own.st_gid == model.st_gid)
        return true;
    const uid_t uid = own.st_uid == model.st_uid ? static_cast<uid_t>(-1) : model.st_uid;
    const gid_t gid = own.st_gid == model.st_gid ? static_cast<gid_t>(-1) : model.st_gid;
    return ::fchown(fd, uid, gid) == 0;
}

// Fills `out` through `get(buffer, size)`, which answers as the xattr calls do;
// asks again when the value grew between taking its size and reading it.
template <typename Get>
bool Fetch(std::string& out, const Get& get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        out.resize(static_cast<std::size_t>(size));
        const ssize_t got = get(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// Copies the extended attributes of the file at `model`, its ACLs among them,
// to `fd`, but for those `fd` has already alike (an inherited security label).
bool KeepAttributes(int fd, const std::string& model) {
    const int from = ::open(model.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (from < 0)
        return false;
    std::string names, value, present;
    bool kept = Fetch(names, [&](char* b, std::size_t n) { return ::flistxattr(from, b, n); });
    if (!kept && (errno == ENOTSUP || errno == ENODATA)) {
        kept = true; // a file system without them
        names.clear();
    }
    for (const char* name = names.c_str(); kept && name < names.c_str() + names.size();
         name += std::strlen(name) + 1) {
        if (!Fetch(value, [&](char* b, std::size_t n) { return ::fgetxattr(from, name, b, n); }))
            kept = errno == ENODATA; // removed meanwhile
        else if (!Fetch(present,
                        [&](char* b, std::size_t n) { return ::fgetxattr(fd, name, b, n); }) ||
                 present != value)
            kept = ::fsetxattr(fd, name, value.data(), value.size(), 0) == 0;
    }
    ::close(from);
    // A folder's default ACL gives the new file one the old file did not have.
    constexpr const char* kAccessAcl = "system.posix_acl_access";
    const bool bHadAcl = std::string_view(names).find(kAccessAcl) != std::string_view::npos;
    if (kept && !bHadAcl && ::fgetxattr(fd, kAccessAcl, nullptr, 0) >= 0)
        kept = ::fremovexattr(fd, kAccessAcl) == 0;
    return kept;
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

volatile std::sig_atomic_t g_nHeldSignal = 0;

void NoteSignal(int signal) {
    if (g_nHeldSignal == 0)
        g_nHeldSignal = signal;
}

// Holds back the signals that end a program from a terminal or a session while
// a temporary file exists, and raises the first of them once the previous
// handling is back. Any thread may receive them, so handlers note them rather
// than one thread's mask. Process-wide: one instance at a time.
class CSignalsHeld {
public:
    CSignalsHeld() {
        g_nHeldSignal = 0;
        struct sigaction hold {};
        hold.sa_handler = NoteSignal;
        hold.sa_flags = SA_RESTART;
        sigemptyset(&hold.sa_mask);
        for (const int signal : kHeld)
            sigaddset(&hold.sa_mask, signal);
        for (std::size_t i = 0; i < kHeld.size(); ++i)
            ::sigaction(kHeld[i], &hold, &m_previous[i]);
    }
    ~CSignalsHeld() {
        for (std::size_t i = 0; i < kHeld.size(); ++i)
            ::sigaction(kHeld[i], &m_previous[i], nullptr);
        if (g_nHeldSignal != 0)
            ::raise(g_nHeldSignal);
    }
    CSignalsHeld(const CSignalsHeld&) = delete;
    CSignalsHeld& operator=(const CSignalsHeld&) = delete;

private:
    static constexpr std::array kHeld{SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, kHeld.size()> m_previous{};
};

// Writes `bytes` to a new temporary file beside `target`, with the mode, owner
// and attributes of `model` (at `modelPath`), and renames it over `target` if
// `confirm` agrees. Unless `mustKeepAll`, owner and attributes are best effort.
std::error_code WriteAndRename(const std::string& target, std::string_view bytes,
                               const struct stat& model, const std::string& modelPath,
                               bool mustKeepAll, const std::function<std::error_code()>& confirm) {
    const CSignalsHeld held;
    std::string temp = TemporaryPattern(target);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return LastError();

    std::error_code ec = WriteAll(fd, bytes);
    // The owner before the mode: a change of owner clears set-user-ID bits.
    if (!ec && !KeepOwner(fd, model) && mustKeepAll)
        ec = FileError::OwnerNotKept;
    if (!ec && ::fchmod(fd, model.st_mode & 07777) != 0)
        ec = LastError();
    // After the mode, so that an ACL's mask, not the mode's group bits, decides.
    if (!ec && !KeepAttributes(fd, modelPath) && mustKeepAll)
        ec = FileError::AttributeNotKept;
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
    SyncFolder(FolderOf(target));
    return {};
}

template <typename Entry, typename Id>
std::string NameOrNumber(Id id, int (*lookup)(Id, Entry*, char*, std::size_t, Entry**),
                         char* Entry::*name) {
    Entry entry{};
    Entry* found = nullptr;
    std::vector<char> buffer(1024);
    while (lookup(id, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (std::size_t(1) << 20))
        buffer.resize(buffer.size() * 2);
    return found != nullptr ? std::string(found->*name) : std::to_string(id);
}

} // namespace

std::error_code CheckReplaceable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return LastError();
    return Refusal(path, st);
}

std::error_code ReplaceFileContent(const std::string& path, std::string_view bytes,
                                   const std::function<std::error_code()>& confirm) {
    // Rewrite the file a link leads to, not the link.
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return LastError();
    struct stat st {};
    if (::stat(resolved, &st) != 0)
        return LastError();
    if (auto ec = Refusal(resolved, st))
        return ec;
    return WriteAndRename(resolved, bytes, st, resolved, true, confirm);
}

std::error_code WriteFileLike(const std::string& path, std::string_view bytes,
                              const std::string& modelPath) {
    struct stat st {};
    if (::stat(modelPath.c_str(), &st) != 0)
        return LastError();
    return WriteAndRename(path, bytes, st, modelPath, false, {});
}

std::error_code CreateNewFile(const std::string& path, std::string_view bytes) {
    constexpr mode_t kReadWrite = 0666; // less the umask, as for any new file
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kReadWrite);
    if (fd < 0)
        return LastError();
    std::error_code ec = WriteAll(fd, bytes);
    if (!ec && ::fsync(fd) != 0)
        ec = LastError();
    if (::close(fd) != 0 && !ec)
        ec = LastError();
    if (ec)
        ::unlink(path.c_str());
    return ec;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string OwnerOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return NameOrNumber(st.st_uid, &::getpwuid_r, &passwd::pw_name) + ":" +
           NameOrNumber(st.st_gid, &::getgrgid_r, &group::gr_name);
}

unsigned long LinkCount(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<unsigned long>(st.st_nlink) : 0;
}

} // namespace files
