// The wipe of a loaded keyword file: byte for byte after the backup, or refused.
// Which lines change is the wipe fuzz target's; how it fails, the fault tests'.

#include "Wipe.h"

#include "GlossCutterDoc.h"
#include "NamedRows.h"
#include "TestTables.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace testing_tables;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest
namespace fs = std::filesystem;

const std::string M(kWipeMarker);
const std::string A = "#define sA \"A\"", B = "#define sB \"B\"";
constexpr unsigned Mark = WIPE_MARK, Remove = WIPE_REMOVE;

// Loads the file as the window does, then ticks the keywords on `ticked` lines.
std::unique_ptr<CGlossCutterDoc> LoadAndTick(const std::string& path,
                                             const std::vector<int>& ticked) {
    auto doc = std::make_unique<CGlossCutterDoc>();
    EXPECT_TRUE(doc->Load({path, {}, {}}));
    for (auto& keyword : doc->m_arrKeywords)
        keyword->SetChecked(std::ranges::count(ticked, keyword->m_nLine) > 0);
    return doc;
}

struct RewriteRow {
    const char* name;
    std::string before;
    unsigned operation;
    std::vector<int> ticked;
    std::string after;
    std::size_t wiped;
};

const RewriteRow kRewriteRows[] = {
    {"mark LF", "x\n" + B + "\n", Mark, {2}, "x\n" + M + B + "\n", 1},
    {"mark CR LF, indent", "x\r\n\t" + B + "\r\n", Mark, {2}, "x\r\n" + M + "\t" + B + "\r\n", 1},
    {"mark, no final break", A + "\n" + B, Mark, {2}, A + "\n" + M + B, 1},
    {"remove CR", A + "\r" + B + "\r" + A + "\r", Remove, {2}, A + "\r" + A + "\r", 1},
    {"remove, no final break", A + "\r\n" + B, Remove, {2}, A + "\r\n", 1},
    {"remove marked, marker after blanks",
     M + A + "\n\n" + B + "\n \t" + M + "*/",
     Remove,
     {},
     "\n" + B + "\n",
     2},
    // The marker is only the wipe's own when a line begins with it.
    {"remove keeps the marker further on",
     "#define sHelp \"Type " + M + " to mark\"\n/*" + M + "*/\n" + B + "\n",
     Remove,
     {3},
     "#define sHelp \"Type " + M + " to mark\"\n/*" + M + "*/\n",
     1},
    {"remove all", "// " + A + "\r\n" + B + "\r\n", Remove, {2}, "", 2},
    {"unchanged", "// " + A + "\n" + B + "\n", Mark, {}, "// " + A + "\n" + B + "\n", 0},
};

class WipeRewrite : public testing::TestWithParam<RewriteRow> {};

// Each line keeps its own break; an older backup is replaced; the mode bits stay,
// even those a umask would strip. With nothing to change, nothing is written:
// the older backup may be the only copy of an older text.
TEST_P(WipeRewrite, ByteExactAfterTheBackup) {
    const RewriteRow& row = GetParam();
    TempDir dir;
    const std::string path = dir.Put("keys.h", row.before);
    dir.Put("keys.bak", "an older backup");
    ASSERT_EQ(::chmod(path.c_str(), 0662), 0);
    struct stat old {};
    ASSERT_EQ(::stat(path.c_str(), &old), 0);
    const auto doc = LoadAndTick(path, row.ticked);
    const CWipeResult result = WipeKeywords(doc->MakeWipeRequest(path, row.operation));
    ASSERT_TRUE(result.Succeeded()) << result.Describe(path);
    const bool bChanged = row.after != row.before;
    EXPECT_EQ(result.m_nStatus, bChanged ? WipeStatus::Done : WipeStatus::Unchanged);
    EXPECT_EQ(result.m_nWiped, row.wiped);
    EXPECT_EQ(result.m_strBackup, bChanged ? dir / "keys.bak" : "");
    EXPECT_EQ(FolderFiles(dir.root), (Files{{"keys.bak", bChanged ? row.before : "an older backup"},
                                            {"keys.h", row.after}}));
    struct stat now {};
    ASSERT_EQ(::stat(path.c_str(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0662u);
    EXPECT_TRUE(bChanged || now.st_ino == old.st_ino) << "the file was replaced";
}

INSTANTIATE_TEST_SUITE_P(Rows, WipeRewrite, testing::ValuesIn(kRewriteRows), kRowName);

using BackupRow = CaseRow<const char*>; // the keyword file, its backup

const BackupRow kBackupRows[] = {{"extension", "keys.h", "keys.bak"},
                                 {"a backup itself", "keys.bak", "keys.bak.bak"},
                                 {"dot in folder", "src.old/keys", "src.old/keys.bak"},
                                 {"hidden file", "../.keys", "../.keys.bak"}};

class WipeBackupPath : public testing::TestWithParam<BackupRow> {};

TEST_P(WipeBackupPath, ReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(BackupPathFor(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, WipeBackupPath, testing::ValuesIn(kBackupRows), kRowName);

struct RefusalRow {
    const char* name;
    // Happens between the load and the wipe; may change the path the wipe is given.
    void (*event)(std::string& path);
    WipeStatus status;
    const char* told = "Reload, then wipe again."; // what the user reads, in part
};

const RefusalRow kRefusalRows[] = {
    {"same text, other breaks", [](std::string& p) { WriteFile(p, A + "\r\n" + B + "\r\n"); },
     WipeStatus::FileChanged},
    {"options name another file", [](std::string& p) { p += ".other"; }, WipeStatus::NotLoaded},
    {"file gone", [](std::string& p) { fs::remove(p); }, WipeStatus::ReadFailed,
     "No such file or directory. Nothing was changed."},
    // keys.h leads to keys.bak: the backup would be written over the only copy.
    {"link to its own backup name",
     [](std::string& p) {
         fs::rename(p, fs::path(p).parent_path() / "keys.bak");
         fs::create_symlink("keys.bak", p);
     },
     WipeStatus::BackupIsKeywordFile, "are one file, through a link"},
    {"hard link", [](std::string& p) { fs::create_hard_link(p, p + ".2"); }, WipeStatus::Refused,
     "(hard links). Nothing was changed. It has 2 names"},
    // Root too: the mode bits say the file is not to be written.
    {"write-protected", [](std::string& p) { fs::permissions(p, fs::perms(0444)); },
     WipeStatus::Refused, "is write-protected. Nothing was changed. To wipe it, make it writable"},
};

class WipeRefused : public testing::TestWithParam<RefusalRow> {};

TEST_P(WipeRefused, NothingWrittenUnlessTheLinesAreTheFilesBytes) {
    TempDir dir;
    std::string path = dir.Put("keys.h", A + "\n" + B + "\n");
    dir.Put("keys.h.other", A + "\n" + B + "\n");
    const auto doc = LoadAndTick(path, {1, 2});
    GetParam().event(path);
    const Files files = FolderFiles(dir.root);
    const CWipeResult result = WipeKeywords(doc->MakeWipeRequest(path, Remove));
    EXPECT_EQ(result.m_nStatus, GetParam().status) << result.Describe(path);
    EXPECT_NE(result.Describe(path).find(GetParam().told), std::string::npos)
        << result.Describe(path);
    EXPECT_EQ(FolderFiles(dir.root), files);
}

INSTANTIATE_TEST_SUITE_P(Rows, WipeRefused, testing::ValuesIn(kRefusalRows), kRowName);

TEST(WipeFile, SymbolicLinkStaysALinkAndItsTargetIsRewritten) {
    TempDir dir;
    const std::string link = dir / "keys.h", before = A + "\n" + B + "\n";
    dir.Put("real/keys.h", before);
    fs::create_symlink("real/keys.h", link);
    const CWipeResult result = WipeKeywords(LoadAndTick(link, {1})->MakeWipeRequest(link, Mark));
    ASSERT_TRUE(result.Succeeded()) << result.Describe(link);
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/keys.h");
    EXPECT_EQ(FolderFiles(dir / "real"), (Files{{"keys.h", M + before}}));
    EXPECT_EQ(ReadFile(result.m_strBackup), before);
}

} // namespace
