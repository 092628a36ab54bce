#include "VersionBlock.h"

namespace {

constexpr std::uint32_t Pack(std::uint32_t high, std::uint32_t low) {
    return high << 16 | low;
}

} // namespace

const CVersionBlock& ProgramVersionBlock() {
    // File version 1.0.0.1 and product version 0.0.7.8 read as 0.78.1.1.
    static const CVersionBlock block{
        {Pack(1, 0), Pack(0, 1), Pack(0, 0), Pack(7, 8)},
        {{0x0404,
          0x04B0,
          {{"Comments", "Cuts unused texts"},
           {"CompanyName", "GlossCutter"},
           {"FileDescription", "GlossCutter"},
           {"FileVersion", "1, 0, 0, 1"},
           {"InternalName", "GlossCutter"},
           {"LegalCopyright", "Copyright (C) The GlossCutter developers"},
           {"LegalTrademarks", ""},
           {"OriginalFilename", "GlossCutter.EXE"},
           {"PrivateBuild", ""},
           {"ProductName", "GlossCutter"},
           {"ProductVersion", "0, 0, 7, 8"},
           {"SpecialBuild", ""}}}}};
    return block;
}
