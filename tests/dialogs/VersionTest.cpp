// The version reader: the version text from the fixed numbers, one record per
// translation, and the block the program carries.

#include "Version.h"

#include "../engine/NamedRows.h"
#include "VersionBlock.h"
#include "VersionQuery.h"

#include <gtest/gtest.h>

namespace {

using testing_tables::kRowName;
using testing_tables::PrintTo;

constexpr std::uint32_t Pack(std::uint32_t high, std::uint32_t low) {
    return high << 16 | low;
}

struct VersionRow {
    const char* name; // the version text
    std::uint32_t p[4], f[4];
    int major, minor;
};

// Product P1.P2.P3.P4 and file F1.F2.F3.F4 read as P1.(10 P3 + P4).F1.(10 F3 + F4),
// each component modulo 16; the second components are never shown.
const VersionRow kVersionRows[] = {{"1.34.5.78", {1, 2, 3, 4}, {5, 6, 7, 8}, 1, 34},
                                   {"2.1.0.0", {2, 0, 0, 17}, {0, 0, 0, 0}, 2, 1},
                                   {"2.150.1.43", {18, 9, 31, 16}, {17, 99, 20, 35}, 2, 150}};

class CxVersionText : public testing::TestWithParam<VersionRow> {};

TEST_P(CxVersionText, FromTheFixedNumbers) {
    const VersionRow& row = GetParam();
    const CVersionBlock block{{Pack(row.f[0], row.f[1]), Pack(row.f[2], row.f[3]),
                               Pack(row.p[0], row.p[1]), Pack(row.p[2], row.p[3])},
                              {{0x0409, 0x04E4, {{"ProductName", "P"}}}}};
    const CxVersion version(&block);
    ASSERT_EQ(version.m_nCount, 1);
    ASSERT_EQ(version.m_arrInfo.size(), 1u);
    const CxVersionInfo& info = *version.m_arrInfo[0];
    EXPECT_EQ(info.m_strVersion, row.name);
    EXPECT_EQ(info.m_nMajor, row.major);
    EXPECT_EQ(info.m_nMinor, row.minor);
    EXPECT_EQ(info.m_strProductName, "P");
}

INSTANTIATE_TEST_SUITE_P(Rows, CxVersionText, testing::ValuesIn(kVersionRows), kRowName);

// Each translation reads its own texts (under its lower-case hex name), in the
// block's order, with the block's one version text. A missing key reads empty;
// no block, or none without translations, gives no records.
TEST(CxVersion, OneRecordPerTranslation) {
    const CVersionBlock block{{Pack(5, 6), Pack(7, 8), Pack(1, 2), Pack(3, 4)},
                              {{0x0C0A, 0x04E4, {{"CompanyName", "Uno"}, {"ProductName", "Alpha"}}},
                               {0x0407, 0x04B0, {{"CompanyName", "Zwei"}, {"SpecialBuild", "x"}}}}};
    const CxVersion version(&block);
    ASSERT_EQ(version.m_nCount, 2);
    ASSERT_EQ(version.m_arrInfo.size(), 2u);
    std::vector<std::string> records;
    for (const auto& info : version.m_arrInfo)
        records.push_back(info->m_strCompanyName + "," + info->m_strProductName + "," +
                          info->m_strSpecialBuild + "," + info->m_strVersion);
    EXPECT_EQ(records, (std::vector<std::string>{"Uno,Alpha,,1.34.5.78", "Zwei,,x,1.34.5.78"}));
    const CVersionBlock empty{};
    EXPECT_EQ(CxVersion(&empty).m_arrInfo.size() + CxVersion(nullptr).m_arrInfo.size(), 0u);
}

// What start-up names its settings after and the About box shows: the
// project's version, read from the running program's own block.
TEST(CxVersion, ProgramsOwnBlock) {
    const CxVersion own;
    ASSERT_EQ(own.m_arrInfo.size(), 1u);
    const CxVersionInfo& info = *own.m_arrInfo[0];
    EXPECT_EQ(info.m_strVersion, GLOSSCUTTER_VERSION);
    EXPECT_EQ(info.m_strProductName + "," + info.m_strCompanyName + "," +
                  info.m_strOriginalFilename,
              "GlossCutter,GlossCutter,GlossCutter.EXE");
    const void* buffer = nullptr;
    std::uint32_t length = 0;
    const auto text = [&](const char* path) -> std::string {
        if (!VerQueryValue(ProgramVersionBlock(), path, &buffer, &length))
            return "<none>";
        return {static_cast<const char*>(buffer), length};
    };
    EXPECT_EQ(text("\\StringFileInfo\\040404b0\\CompanyName"), "GlossCutter");
    EXPECT_EQ(text("\\StringFileInfo\\040404b0\\NoSuchKey"), "<none>");
    EXPECT_EQ(text("\\StringFileInfo\\04090000\\CompanyName"), "<none>");
    EXPECT_EQ(text("\\VarFileInfo\\Translation"), std::string("\x04\x04\xB0\x04", 4));
}

} // namespace
