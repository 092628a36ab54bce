#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The fuzzer's bytes taken apart from the front: small choices first, the rest
// as text. Past the end every choice reads 0, so that any input is valid.
class CFuzzInput final {
public:
    CFuzzInput(const std::uint8_t* pData, std::size_t nSize);

    unsigned char TakeByte();
    // At most `nCount` bytes: fewer when the input runs out.
    std::string_view TakeBytes(std::size_t nCount);
    std::string_view TakeRest();

private:
    std::string_view m_strBytes;
};
