// The version reader: one record per translation, its version from the fixed
// numbers, and the block the program carries.

#include "Version.h"

#include "VersionBlock.h"

#include <gtest/gtest.h>

namespace {

// Each translation reads its own texts, in the block's order; a missing key reads
// empty. The fixed words (file F1.F2, F3.F4, product P1.P2, P3.P4) read as
// P1.(10 P3 + P4).F1.(10 F3 + F4), each modulo 16. No translations, no records.
TEST(CxVersion, OneRecordPerTranslation) {
    const CFixedFileInfo fixed{0x0011'0063, 0x0014'0023, 0x0012'0009, 0x001F'0010};
    const CVersionBlock block{fixed,
                              {{0x0C0A, 0x04E4, {{"CompanyName", "Uno"}, {"ProductName", "Alpha"}}},
                               {0x0407, 0x04B0, {{"CompanyName", "Zwei"}, {"SpecialBuild", "x"}}}}};
    std::vector<std::string> records;
    for (const auto& info : CxVersion(&block).m_arrInfo)
        records.push_back(info->m_strCompanyName + "," + info->m_strProductName + "," +
                          info->m_strSpecialBuild + "," + info->m_strVersion + "," +
                          std::to_string(info->m_nMajor) + "." + std::to_string(info->m_nMinor));
    EXPECT_EQ(records, (std::vector<std::string>{"Uno,Alpha,,2.150.1.43,2.150",
                                                 "Zwei,,x,2.150.1.43,2.150"}));
    const CVersionBlock bare{fixed, {}};
    EXPECT_EQ(CxVersion(&bare).m_arrInfo.size() + CxVersion(nullptr).m_arrInfo.size(), 0u);
}

// What start-up names its settings after and the About box shows: the
// project's version, read from the running program's own block.
TEST(CxVersion, ProgramsOwnBlock) {
    const CxVersion own;
    ASSERT_EQ(own.m_arrInfo.size(), 1u);
    const CxVersionInfo& info = *own.m_arrInfo[0];
    EXPECT_EQ(info.m_strVersion + "," + info.m_strProductName + "," + info.m_strCompanyName + "," +
                  info.m_strOriginalFilename,
              GLOSSCUTTER_VERSION ",GlossCutter,GlossCutter,GlossCutter.EXE");
}

} // namespace
