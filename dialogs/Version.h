#pragma once

#include "VersionInfo.h"

#include <memory>
#include <vector>

struct CVersionBlock;

// A program's version information, one record per translation, read by the
// constructor.
class CxVersion final {
public:
    // Reads the running program's own version information.
    CxVersion();
    // Reads `block`; none gives no records.
    explicit CxVersion(const CVersionBlock* pBlock);

    int m_nCount = 0; // translations found
    std::vector<std::unique_ptr<CxVersionInfo>> m_arrInfo;

private:
    void Read(const CVersionBlock& block);
};
