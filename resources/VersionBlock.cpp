#include "VersionBlock.h"

#include "VersionNumbers.h"

namespace {

constexpr std::uint32_t Pack(std::uint32_t high, std::uint32_t low) {
    return high << 16 | low;
}

} // namespace

const CVersionBlock& ProgramVersionBlock() {
    static const CVersionBlock block{
        {Pack(kFileVersion[0], kFileVersion[1]), Pack(kFileVersion[2], kFileVersion[3]),
         Pack(kProductVersion[0], kProductVersion[1]),
         Pack(kProductVersion[2], kProductVersion[3])},
        {{0x0404,
          0x04B0,
          {{"Comments", "Cuts unused texts"},
           {"CompanyName", "GlossCutter"},
           {"FileDescription", "GlossCutter"},
           {"FileVersion", kFileVersionText},
           {"InternalName", "GlossCutter"},
           {"LegalCopyright", "Copyright (C) The GlossCutter developers"},
           {"LegalTrademarks", ""},
           {"OriginalFilename", "GlossCutter.EXE"},
           {"PrivateBuild", ""},
           {"ProductName", "GlossCutter"},
           {"ProductVersion", kProductVersionText},
           {"SpecialBuild", ""}}}}};
    return block;
}
