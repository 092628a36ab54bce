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
    auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
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

int CDescriptorBuffer::sync() {
    return Drain() ? 0 : -1;
}
