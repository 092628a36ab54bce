#include "DescriptorBuffer.h"

#include <cerrno>
#include <unistd.h>

CDescriptorBuffer::CDescriptorBuffer(int fd) : m_nFd(fd) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

CDescriptorBuffer::~CDescriptorBuffer() {
    Drain();
}

bool CDescriptorBuffer::Drain() {
    const char* data = pbase();
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return WriteAll(data, size);
}

bool CDescriptorBuffer::WriteAll(const char* data, std::size_t size) {
    // After a failure the rest is dropped: the output is incomplete anyway.
    while (!m_error && size > 0) {
        const ssize_t n = ::write(m_nFd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = std::error_code(n < 0 ? errno : EIO, std::system_category());
            break;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return !m_error;
}

CDescriptorBuffer::int_type CDescriptorBuffer::overflow(int_type ch) {
    if (!Drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

std::streamsize CDescriptorBuffer::xsputn(const char_type* s, std::streamsize count) {
    if (count > epptr() - pptr()) {
        if (!Drain())
            return 0;
        // A text as large as the buffer goes out at once, after what waited:
        // a report's batches need not be copied through it.
        if (count >= epptr() - pptr())
            return WriteAll(s, static_cast<std::size_t>(count)) ? count : 0;
    }
    traits_type::copy(pptr(), s, static_cast<std::size_t>(count));
    pbump(static_cast<int>(count));
    return count;
}

int CDescriptorBuffer::sync() {
    return Drain() ? 0 : -1;
}
