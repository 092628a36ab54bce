#pragma once

// Look-ups of a program's version information, shaped like the ones the
// version reader was written against, over the block compiled into the
// program (VersionBlock.h).

#include <cstdint>
#include <string>
#include <string_view>

struct CVersionBlock;

// The path of the running program.
std::string GetModuleFileName();

// The size of the version block of the program at `path`, 0 when it has none.
// Only the running program has one.
std::uint32_t GetFileVersionInfoSize(const std::string& path);

// The version block of the program at `path`, or none.
const CVersionBlock* GetFileVersionInfo(const std::string& path);

// Looks `subBlock` up in `block`: "\" gives the CFixedFileInfo,
// "\VarFileInfo\Translation" the 4-byte entries (16-bit language, 16-bit code
// page), "\StringFileInfo\llllcccc\Key" a key's text (not terminated). False
// when the block has no such value.
bool VerQueryValue(const CVersionBlock& block, std::string_view subBlock, const void** ppBuffer,
                   std::uint32_t* pnLength);
