#pragma once

// The program's version information, compiled in: what a version resource
// holds on other systems. Read through the look-ups of VersionQuery.h.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

struct CFixedFileInfo {
    std::uint32_t dwFileVersionMS = 0;    // a * 65536 + b of file version a.b.c.d
    std::uint32_t dwFileVersionLS = 0;    // c * 65536 + d
    std::uint32_t dwProductVersionMS = 0; // likewise for the product version
    std::uint32_t dwProductVersionLS = 0;
};

// The texts of one language and code page.
struct CVersionStrings {
    std::uint16_t m_nLanguage = 0;
    std::uint16_t m_nCodePage = 0;
    std::vector<std::pair<std::string_view, std::string_view>> m_arrValues; // key, text
};

struct CVersionBlock {
    CFixedFileInfo m_fixed;
    std::vector<CVersionStrings> m_arrTranslations; // in the block's order
};

// The block this program carries.
const CVersionBlock& ProgramVersionBlock();
