// The version reader: one record per translation, its version from the fixed
// numbers, and the block the program carries.

#include "Version.h"

#include "../engine/NamedRows.h"
#include "VersionBlock.h"
#include "VersionQuery.h"

#include <gtest/gtest.h>

namespace {

// Named by the version text: the fixed words (file F1.F2, F3.F4, product P1.P2,
// P3.P4) read as P1.(10 P3 + P4).F1.(10 F3 + F4), each component modulo 16; the
// second components are never shown. Then major and minor.
using VersionRow = testing_tables::CaseRow<CFixedFileInfo, std::pair<int, int>>;
const VersionRow kVersionRows[] = {
    {"1.34.5.78", {0x0005'0006, 0x0007'0008, 0x0001'0002, 0x0003'0004}, {1, 34}},
    {"2.1.0.0", {0x0000'0000, 0x0000'0000, 0x0002'0000, 0x0000'0011}, {2, 1}},
    {"2.150.1.43", {0x0011'0063, 0x0014'0023, 0x0012'0009, 0x001F'0010}, {2, 150}}};

class CxVersionText : public testing::TestWithParam<VersionRow> {};

// Each translation reads its own texts (under its lower-case hex name), in the
// block's order, with the block's one version; a missing key reads empty. No block,
// or one without translations, gives no records.
TEST_P(CxVersionText, OneRecordPerTranslation) {
    const auto& [name, fixed, number] = GetParam();
    const CVersionBlock block{fixed,
                              {{0x0C0A, 0x04E4, {{"CompanyName", "Uno"}, {"ProductName", "Alpha"}}},
                               {0x0407, 0x04B0, {{"CompanyName", "Zwei"}, {"SpecialBuild", "x"}}}}};
    const CxVersion version(&block);
    EXPECT_EQ(version.m_nCount, 2);
    std::vector<std::string> records;
    for (const auto& info : version.m_arrInfo) {
        records.push_back(info->m_strCompanyName + "," + info->m_strProductName + "," +
                          info->m_strSpecialBuild + "," + info->m_strVersion);
        EXPECT_EQ(std::pair(info->m_nMajor, info->m_nMinor), number);
    }
    EXPECT_EQ(records, (std::vector<std::string>{"Uno,Alpha,," + std::string(name),
                                                 "Zwei,,x," + std::string(name)}));
    const CVersionBlock bare{fixed, {}};
    EXPECT_EQ(CxVersion(&bare).m_arrInfo.size() + CxVersion(nullptr).m_arrInfo.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, CxVersionText, testing::ValuesIn(kVersionRows),
                         testing_tables::kRowName);

// What start-up names its settings after and the About box shows: the
// project's version, read from the running program's own block.
TEST(CxVersion, ProgramsOwnBlock) {
    const CxVersion own;
    ASSERT_EQ(own.m_arrInfo.size(), 1u);
    const CxVersionInfo& info = *own.m_arrInfo[0];
    EXPECT_EQ(info.m_strVersion + "," + info.m_strProductName + "," + info.m_strCompanyName + "," +
                  info.m_strOriginalFilename,
              GLOSSCUTTER_VERSION ",GlossCutter,GlossCutter,GlossCutter.EXE");
    // Only misses: the record above was read through the look-up's hits.
    const void* buffer = nullptr;
    std::uint32_t length = 0;
    for (const char* path :
         {R"(\StringFileInfo\040404b0\NoSuchKey)", R"(\StringFileInfo\04090000\CompanyName)"})
        EXPECT_FALSE(VerQueryValue(ProgramVersionBlock(), path, &buffer, &length)) << path;
}

} // namespace
