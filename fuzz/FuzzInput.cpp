#include "FuzzInput.h"

#include <algorithm>

CFuzzInput::CFuzzInput(const std::uint8_t* pData, std::size_t nSize)
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as chars
    : m_strBytes(reinterpret_cast<const char*>(pData), nSize) {}

unsigned char CFuzzInput::TakeByte() {
    const std::string_view byte = TakeBytes(1);
    return byte.empty() ? 0 : static_cast<unsigned char>(byte[0]);
}

std::string_view CFuzzInput::TakeBytes(std::size_t nCount) {
    const std::string_view taken = m_strBytes.substr(0, std::min(nCount, m_strBytes.size()));
    m_strBytes.remove_prefix(taken.size());
    return taken;
}

std::string_view CFuzzInput::TakeRest() {
    return TakeBytes(m_strBytes.size());
}
