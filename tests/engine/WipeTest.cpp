#include "Wipe.h"

#include "KeywordFileReader.h"
#include "TestTables.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace {

using namespace testing_tables;
namespace fs = std::filesystem;

const std::string M(kWipeMarker);
const std::string A = "#define sA \"A\"", B = "#define sB \"B\"";

// Loads the file as the document does, then ticks the keywords on `ticked` lines.
CKeywordArray LoadAndTick(const std::string& path, const std::vector<int>& ticked) {
    CKeywordArray table;
    EXPECT_FALSE(ParseKeywordFile(path, table));
    for (auto& keyword : table)
        keyword->m_bChecked = std::ranges::count(ticked, keyword->m_nLine) > 0;
    return table;
}

constexpr unsigned Mark = WIPE_MARK, Remove = WIPE_REMOVE;

// Each line keeps its own break; an older backup is replaced, and the mode bits
// stay, even those a usual umask would strip.
TEST(WipeFile, RewritesByteExactAfterBackup) {
    const struct {
        const char* name;
        std::string before;
        unsigned operation;
        std::vector<int> ticked;
        std::string after;
        std::size_t wiped;
    } rows[] = {
        // clang-format off
        {"mark LF", "x\n" + B + "\n", Mark, {2}, "x\n" + M + B + "\n", 1},
        {"mark CR LF, indent", "x\r\n\t" + B + "\r\n", Mark, {2},
         "x\r\n" + M + "\t" + B + "\r\n", 1},
        {"mark CR", A + "\r" + B + "\r", Mark, {1}, M + A + "\r" + B + "\r", 1},
        {"mark, no final break", A + "\n" + B, Mark, {2}, A + "\n" + M + B, 1},
        {"remove LF", A + "\n" + B + "\n", Remove, {2}, A + "\n", 1},
        {"remove CR LF", A + "\r\n" + B + "\r\n", Remove, {1}, B + "\r\n", 1},
        {"remove CR", A + "\r" + B + "\r" + A + "\r", Remove, {2}, A + "\r" + A + "\r", 1},
        {"remove, no final break", A + "\r\n" + B, Remove, {2}, A + "\r\n", 1},
        {"remove marked, marker", M + A + "\n\n" + B + "\n/*" + M + "*/", Remove, {},
         "\n" + B + "\n", 2},
        {"remove all", "// " + A + "\r\n" + B + "\r\n", Remove, {2}, "", 2},
        {"unchanged", "// " + A + "\n" + B + "\n", Mark, {}, "// " + A + "\n" + B + "\n", 0},
    }; // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string path = dir.Put("keys.h", row.before);
        dir.Put("keys.bak", "an older backup");
        ASSERT_EQ(::chmod(path.c_str(), 0662), 0);
        struct stat old {};
        ASSERT_EQ(::stat(path.c_str(), &old), 0);
        const CWipeResult result = WipeKeywords(path, LoadAndTick(path, row.ticked), row.operation);
        ASSERT_TRUE(result.Succeeded()) << result.Describe(path);
        EXPECT_EQ(result.m_nWiped, row.wiped);
        EXPECT_EQ(result.m_strBackup, dir / "keys.bak");
        EXPECT_EQ(FolderFiles(dir.root), (Files{{"keys.bak", row.before}, {"keys.h", row.after}}));
        struct stat now {};
        ASSERT_EQ(::stat(path.c_str(), &now), 0);
        EXPECT_EQ(now.st_mode & 07777, 0662u);
        // With nothing to change, only the backup is written.
        EXPECT_TRUE(row.after != row.before || now.st_ino == old.st_ino) << "the file was replaced";
    }
}

// Line 2 holds a marked keyword; line 3 carries the marker at its end, line 4 no
// more than its first 16 bytes.
TEST(WipePlan, FatesPerOperation) {
    constexpr LineFate K = LineFate::Keep, Mk = LineFate::Mark, R = LineFate::Remove;
    const CLineArray lines = Lines(A + "\n// " + B + "\nx " + M + "\n" + M.substr(0, 16) + "x\n");
    const auto plan = [&](const std::vector<std::tuple<int, bool, bool>>& rows, unsigned op) {
        CKeywordArray table;
        for (const auto& [line, marked, checked] : rows) {
            table.push_back(std::make_unique<CKeyword>("gA", "A", line, marked));
            table.back()->m_bChecked = checked;
        }
        return PlanWipe(lines, table, op);
    };
    for (const unsigned op : {Mark, 3u}) // anything but Remove marks
        EXPECT_EQ(plan({{1, false, true}, {2, true, false}}, op), (std::vector{Mk, K, K, K})) << op;
    EXPECT_EQ(plan({{1, false, true}, {2, true, false}}, Remove), (std::vector{R, R, R, K}));
    // Lines outside the file belong to no line.
    EXPECT_EQ(plan({{0, true, true}, {5, true, true}}, Remove), (std::vector{K, K, R, K}));
}

TEST(WipeBackupPath, ReplacesTheExtensionOfTheFileName) {
    const std::pair<std::string, std::string> cases[] = {{"keys.h", "keys.bak"},
                                                         {"keys", "keys.bak"},
                                                         {"keys.bak", "keys.bak.bak"},
                                                         {"src.old/keys", "src.old/keys.bak"},
                                                         {"../.keys", "../.keys.bak"}};
    for (const auto& [path, backup] : cases)
        EXPECT_EQ(BackupPathFor(path), backup) << path;
}

// What happens between the load and the wipe: the file gets other bytes for the
// same text; the options name another file, or none while nothing was loaded; the
// file is gone.
TEST(WipeRefused, NothingWrittenUnlessTheLinesAreTheFilesBytes) {
    using Event = void (*)(std::string&);
    const std::pair<Event, WipeStatus> rows[] = {
        {[](std::string& p) { WriteFile(p, A + "\r\n" + B + "\r\n"); }, WipeStatus::FileChanged},
        {[](std::string& p) { p += ".other"; }, WipeStatus::NotLoaded},
        {[](std::string& p) {
             p.clear();
             g_strKeywordLinesFile.clear();
         },
         WipeStatus::NotLoaded},
        {[](std::string& p) { fs::remove(p); }, WipeStatus::ReadFailed}};
    const std::string bytes = A + "\n" + B + "\n";
    for (const auto& [event, status] : rows) {
        TempDir dir;
        std::string path = dir.Put("keys.h", bytes);
        dir.Put("keys.h.other", bytes);
        const CKeywordArray table = LoadAndTick(path, {1, 2});
        event(path);
        const Files files = FolderFiles(dir.root);
        const CWipeResult result = WipeKeywords(path, table, WIPE_REMOVE);
        EXPECT_EQ(result.m_nStatus, status) << result.Describe(path);
        EXPECT_EQ(FolderFiles(dir.root), files);
    }
}

TEST(WipeFile, SymbolicLinkStaysALinkAndItsTargetIsRewritten) {
    TempDir dir;
    const std::string link = dir / "keys.h", before = A + "\n" + B + "\n";
    dir.Put("real/keys.h", before);
    fs::create_symlink("real/keys.h", link);
    const CWipeResult result = WipeKeywords(link, LoadAndTick(link, {1}), WIPE_MARK);
    ASSERT_TRUE(result.Succeeded()) << result.Describe(link);
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/keys.h");
    EXPECT_EQ(FolderFiles(dir / "real"), (Files{{"keys.h", M + before}}));
    EXPECT_EQ(ReadFile(result.m_strBackup), before);
}

} // namespace
