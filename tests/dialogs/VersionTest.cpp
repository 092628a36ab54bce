// The version reader: the version text from the fixed numbers, one record per
// translation, and the block the program carries.

#include "Version.h"

#include "VersionBlock.h"
#include "VersionQuery.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr std::uint32_t Pack(std::uint32_t high, std::uint32_t low) {
    return high << 16 | low;
}

// Product P1.P2.P3.P4 and file F1.F2.F3.F4 read as P1.(10 P3 + P4).F1.(10 F3 + F4),
// each component modulo 16; the second components are never shown.
TEST(CxVersion, VersionTextFromFixedNumbers) {
    const struct {
        std::uint32_t p[4], f[4];
        const char* text;
        int major, minor;
    } rows[] = {{{1, 2, 3, 4}, {5, 6, 7, 8}, "1.34.5.78", 1, 34},
                {{2, 0, 0, 17}, {0, 0, 0, 0}, "2.1.0.0", 2, 1},
                {{18, 9, 31, 16}, {17, 99, 20, 35}, "2.150.1.43", 2, 150}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const CVersionBlock block{{Pack(row.f[0], row.f[1]), Pack(row.f[2], row.f[3]),
                                   Pack(row.p[0], row.p[1]), Pack(row.p[2], row.p[3])},
                                  {{0x0409, 0x04E4, {{"ProductName", "P"}}}}};
        const CxVersion version(&block);
        ASSERT_EQ(version.m_nCount, 1);
        ASSERT_EQ(version.m_arrInfo.size(), 1u);
        const CxVersionInfo& info = *version.m_arrInfo[0];
        EXPECT_EQ(info.m_strVersion, row.text);
        EXPECT_EQ(info.m_nMajor, row.major);
        EXPECT_EQ(info.m_nMinor, row.minor);
        EXPECT_EQ(info.m_strProductName, "P");
    }
}

// Each translation reads its own texts (under its lower-case hex name), in the
// block's order, with the block's one version text. A missing key reads empty.
TEST(CxVersion, OneRecordPerTranslation) {
    const CVersionBlock block{{Pack(5, 6), Pack(7, 8), Pack(1, 2), Pack(3, 4)},
                              {{0x0C0A, 0x04E4, {{"CompanyName", "Uno"}, {"ProductName", "Alpha"}}},
                               {0x0407, 0x04B0, {{"CompanyName", "Zwei"}, {"SpecialBuild", "x"}}}}};
    const CxVersion version(&block);
    ASSERT_EQ(version.m_nCount, 2);
    ASSERT_EQ(version.m_arrInfo.size(), 2u);
    const CxVersionInfo &first = *version.m_arrInfo[0], &second = *version.m_arrInfo[1];
    EXPECT_EQ(first.m_strCompanyName + "," + first.m_strProductName + "," + first.m_strSpecialBuild,
              "Uno,Alpha,");
    EXPECT_EQ(second.m_strCompanyName + "," + second.m_strProductName + "," +
                  second.m_strSpecialBuild,
              "Zwei,,x");
    EXPECT_EQ(first.m_strVersion, "1.34.5.78");
    EXPECT_EQ(second.m_strVersion, "1.34.5.78");
}

TEST(CxVersion, NoBlockOrNoTranslationGivesNoRecords) {
    const CVersionBlock empty{};
    for (const CVersionBlock* block : {static_cast<const CVersionBlock*>(nullptr), &empty}) {
        const CxVersion version(block);
        EXPECT_EQ(version.m_nCount, 0);
        EXPECT_TRUE(version.m_arrInfo.empty());
    }
}

// What start-up names its settings after and the About box shows; the reader
// without arguments finds this block in the running program.
TEST(CxVersion, ProgramsOwnBlock) {
    const CxVersion own, given(&ProgramVersionBlock());
    for (const CxVersion* version : {&own, &given}) {
        ASSERT_EQ(version->m_arrInfo.size(), 1u);
        EXPECT_EQ(version->m_nCount, 1);
        const CxVersionInfo& info = *version->m_arrInfo[0];
        EXPECT_EQ(info.m_strVersion, "0.78.1.1");
        EXPECT_EQ(info.m_nMajor * 100 + info.m_nMinor, 78);
        EXPECT_EQ(info.m_strProductName, "GlossCutter");
        EXPECT_EQ(info.m_strCompanyName, "GlossCutter");
        EXPECT_EQ(info.m_strOriginalFilename, "GlossCutter.EXE");
    }

    const void* buffer = nullptr;
    std::uint32_t length = 0;
    const auto text = [&](const char* path) -> std::string {
        if (!VerQueryValue(ProgramVersionBlock(), path, &buffer, &length))
            return "<none>";
        return {static_cast<const char*>(buffer), length};
    };
    EXPECT_EQ(text("\\StringFileInfo\\040404b0\\CompanyName"), "GlossCutter");
    EXPECT_EQ(text("\\StringFileInfo\\040404b0\\ProductVersion"), "0, 0, 7, 8");
    EXPECT_EQ(text("\\StringFileInfo\\040404b0\\NoSuchKey"), "<none>");
    EXPECT_EQ(text("\\StringFileInfo\\04090000\\CompanyName"), "<none>");
    EXPECT_EQ(text("\\VarFileInfo\\Translation"), std::string("\x04\x04\xB0\x04", 4));
}

} // namespace
