#include "FileRead.h"

#include "FileError.h"
#include "LongPathOpen.h"
#include "SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

class CFileDescriptor final {
public:
    explicit CFileDescriptor(int fd) : m_nFd(fd) {}
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    ~CFileDescriptor() {
        if (m_nFd >= 0)
            ::close(m_nFd);
    }
    int Get() const { return m_nFd; }

private:
    int m_nFd;
};

// Opens without blocking (a FIFO would wait for a writer) and refuses
// anything but a regular file. On success `size` is the file's size.
std::error_code OpenRegular(const std::string& path, int& fd, off_t& size) {
    fd = OpenLongPath(path, O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return LastError();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const auto ec = LastError();
        ::close(fd);
        fd = -1;
        return ec;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        if (S_ISDIR(st.st_mode))
            return std::make_error_code(std::errc::is_a_directory);
        return FileError::NotRegularFile;
    }
    size = st.st_size;
    return {};
}

// read() that retries after signals; returns bytes read, 0 at end, -1 on error.
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

} // namespace

std::error_code ReadWholeFile(const std::string& path, std::string& bytes) {
    std::string content;
    std::string_view text;
    if (auto ec = ReadWholeFile(path, content, text))
        return ec;
    content.resize(text.size());
    bytes = std::move(content);
    return {};
}

std::error_code ReadWholeFile(const std::string& path, std::string& buffer,
                              std::string_view& text) {
    int raw = -1;
    off_t size = 0;
    if (auto ec = OpenRegular(path, raw, size))
        return ec;
    CFileDescriptor fd(raw);

    // The size is a hint only: the file may grow or shrink while we read.
    const std::size_t hint = static_cast<std::size_t>(size > 0 ? size : 0) + 1;
    if (buffer.size() < hint)
        buffer.resize(hint);
    std::size_t used = 0;
    for (;;) {
        if (used == buffer.size())
            buffer.resize(buffer.size() * 2 + 4096);
        const std::size_t wanted = buffer.size() - used;
        const ssize_t n = ReadSome(fd.Get(), buffer.data() + used, wanted);
        if (n < 0)
            return LastError();
        used += static_cast<std::size_t>(n);
        // A regular file gives less than asked for only at its end: no
        // further read to learn what this one said.
        if (static_cast<std::size_t>(n) < wanted)
            break;
    }
    text = std::string_view(buffer.data(), used);
    return {};
}

std::error_code ReadFileChunks(const std::string& path, std::span<char> buffer,
                               const std::function<bool(std::string_view)>& consume) {
    if (buffer.empty())
        return std::make_error_code(std::errc::invalid_argument);
    int raw = -1;
    off_t size = 0;
    if (auto ec = OpenRegular(path, raw, size))
        return ec;
    CFileDescriptor fd(raw);
    // A file that fits the buffer is read in one go, where read-ahead has no say.
    if (static_cast<std::size_t>(size) > buffer.size())
        ::posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    for (;;) {
        const ssize_t n = ReadSome(fd.Get(), buffer.data(), buffer.size());
        if (n < 0)
            return LastError();
        if (n == 0)
            return {};
        if (!consume(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
            return std::make_error_code(std::errc::operation_canceled);
        // A regular file gives less than asked for only at its end: no
        // further read to learn what this one said.
        if (static_cast<std::size_t>(n) < buffer.size())
            return {};
    }
}

} // namespace files
