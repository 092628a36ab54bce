#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The fuzzer's bytes taken apart from the front: small choices first, the rest
// as text. Past the end every choice reads 0, so that any input is valid.
class CFuzzInput final {
public:
    CFuzzInput(const std::uint8_t* pData, std::size_t nSize)
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as chars
        : m_strBytes(reinterpret_cast<const char*>(pData), nSize) {}

    unsigned char TakeByte() {
        const std::string_view byte = TakeBytes(1);
        return byte.empty() ? 0 : static_cast<unsigned char>(byte[0]);
    }
    // At most `nCount` bytes: fewer when the input runs out.
    std::string_view TakeBytes(std::size_t nCount) {
        const std::string_view taken = m_strBytes.substr(0, std::min(nCount, m_strBytes.size()));
        m_strBytes.remove_prefix(taken.size());
        return taken;
    }
    std::string_view TakeRest() { return TakeBytes(m_strBytes.size()); }

private:
    std::string_view m_strBytes;
};
