#pragma once

#include <array>
#include <streambuf>
#include <system_error>

// A stream buffer that writes to a file descriptor and keeps the system's
// reason when a write fails, so that "cannot write the report" can say why.
class CDescriptorBuffer final : public std::streambuf {
public:
    explicit CDescriptorBuffer(int fd);
    ~CDescriptorBuffer() override;
    CDescriptorBuffer(const CDescriptorBuffer&) = delete;
    CDescriptorBuffer& operator=(const CDescriptorBuffer&) = delete;

    // The reason of the first write that failed; none while all went out.
    const std::error_code& GetError() const { return m_error; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char_type* s, std::streamsize count) override;
    int sync() override;

private:
    // Writes what the buffer holds; false once a write has failed.
    bool Drain();
    // Writes `size` bytes at `data`; false once a write has failed.
    bool WriteAll(const char* data, std::size_t size);

    int m_nFd;
    std::error_code m_error;
    std::array<char, std::size_t{64} * 1024> m_buffer{};
};
