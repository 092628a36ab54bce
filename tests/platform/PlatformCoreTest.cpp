// The byte-string helpers and the safe file replacement.

#include "../engine/TestTables.h"
#include "ByteString.h"
#include "FileReplace.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using namespace bytes;
using namespace std::string_view_literals;
using namespace testing_tables;
namespace fs = std::filesystem;

constexpr Pos kHuge = PTRDIFF_MAX, kTiny = PTRDIFF_MIN;

// Each row is named after its own expression, which only a macro can spell.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define ROW(expression, expected)                                                                  \
    { #expression, expression, expected }

// Searches give the first or last position or -1; Compare is unsigned byte order.
TEST(ByteString, SearchesAndCompare) {
    // clang-format off
    const struct { const char* name; Pos actual, expected; } rows[] = {
        ROW(Find("abcabc", "bc"), 1),         ROW(Find("abc", "x"), -1),
        ROW(Find("a\0bc"sv, "\0b"sv), 1),     ROW(Find("x\xC3y", '\xC3'), 1),
        ROW(Find("abc", 'z'), -1),            ROW(FindOneOf("a\tb c", " \t"), 1),
        ROW(FindOneOf("abc", " \t"), -1),     ROW(FindOneOf("abc", ""), -1),
        ROW(ReverseFind("aaa", 'a'), 2),      ROW(ReverseFind("", '"'), -1),
        ROW(Compare("a", "a") == 0, true),    ROW(Compare("a", "b") < 0, true),
        ROW(Compare("\x80", "\x7F") > 0, true), ROW(Compare("ab", "abc") < 0, true),
        ROW(Compare("abc", "ab") > 0, true),  ROW(Compare("", "") == 0, true),
        ROW(Compare("a\0b"sv, "a\0c"sv) < 0, true), ROW(Compare("a\0"sv, "a") > 0, true)};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(ByteString, TrimAndSubstringsClampTheirArguments) {
    // clang-format off
    const struct { const char* name; std::string_view actual, expected; } rows[] = {
        // TrimLeft removes the given set only: no other white space.
        ROW(TrimLeft(" \t x ", "\t "), "x "), ROW(TrimLeft("\n x", "\t "), "\n x"),
        ROW(TrimLeft("   ", "\t "), ""),      ROW(Left("abc", 2), "ab"),
        ROW(Left("abc", kTiny), ""),          ROW(Left("abc", 99), "abc"),
        ROW(Right("abc", 2), "bc"),           ROW(Right("abc", -5), ""),
        ROW(Right("abc", kHuge), "abc"),      ROW(Mid("abc", 1), "bc"),
        ROW(Mid("abc", 99), ""),              ROW(Mid("abc", kTiny), "abc"),
        ROW(Mid("abcdef", 1, 2), "bc"),       ROW(Mid("abc", 1, kHuge), "bc"),
        ROW(Mid("abc", 1, -1), ""),           ROW(Mid("abc", 5, 2), ""),
        ROW(Mid("a\0b"sv, 1, 2), "\0b"sv)};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(ByteString, MakeLowerChangesOnlyAsciiCapitals) {
    // Neighbours of the letter ranges and upper-half bytes stay as they are.
    std::string s("ABC xyz @[`{Z \xC3\x80\xC4\xDE\xFF A\0B"sv);
    MakeLower(s);
    EXPECT_EQ(s, "abc xyz @[`{z \xC3\x80\xC4\xDE\xFF a\0b"sv);
}

TEST(FileReplace, ReplacesContentAndKeepsPermissionBits) {
    for (const mode_t mode : {0662, 0755}) { // 0662: bits a usual umask would strip
        SCOPED_TRACE(mode);
        TempDir dir;
        const std::string path = dir.Put("keys.h", "old\n");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        EXPECT_FALSE(files::ReplaceFileContent(path, "new\r\n"));
        EXPECT_EQ(FolderFiles(dir.root), (Files{{"keys.h", "new\r\n"}}));
        EXPECT_EQ(fs::status(path).permissions(), fs::perms(mode));
    }
}

// The copy is new the first time, replaced the second; without a model or a
// folder nothing is written.
TEST(FileReplace, WriteFileLikeTakesTheModelsPermissionBits) {
    TempDir dir;
    const std::string model = dir.Put("keys.h", "model"), copy = dir / "keys.bak";
    ASSERT_EQ(::chmod(model.c_str(), 0640), 0);
    for (const char* content : {"first", "second"}) {
        EXPECT_FALSE(files::WriteFileLike(copy, content, model));
        EXPECT_EQ(fs::status(copy).permissions(), fs::perms(0640));
        ASSERT_EQ(::chmod(copy.c_str(), 0600), 0);
    }
    EXPECT_EQ(files::WriteFileLike(copy, "third", dir / "gone.h"),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(files::WriteFileLike(dir / "none/keys.bak", "x", model));
    EXPECT_EQ(FolderFiles(dir.root), (Files{{"keys.bak", "second"}, {"keys.h", "model"}}));
}

// A FIFO stands for devices such as /dev/full, which a test must not risk replacing.
TEST(FileReplace, RefusesWhatIsNoExistingRegularFile) {
    TempDir dir;
    fs::create_symlink("gone", dir / "dangling.h");
    ASSERT_EQ(::mkfifo((dir / "fifo.h").c_str(), 0644), 0);
    const Files before = FolderFiles(dir.root);
    for (const char* name : {"missing.h", "dangling.h", "fifo.h"})
        EXPECT_TRUE(files::ReplaceFileContent(dir / name, "new")) << name;
    EXPECT_EQ(FolderFiles(dir.root), before);
}

// A write that fails half-way, as on a full disk: a child process runs under a
// file size limit far below the new content and reports the error it got.
TEST(FileReplace, FailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.Put("keys.h", "#define sA \"A\"\n");
    const Files before = FolderFiles(dir.root);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) != 0
                    ? 255
                    : files::ReplaceFileContent(path, std::string(65536, 'x')).value() & 0x7f);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == EFBIG) << status;
    EXPECT_EQ(FolderFiles(dir.root), before);
}

} // namespace
