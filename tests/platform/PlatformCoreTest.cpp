// The byte-string helpers and the safe file replacement. How the replacement
// fails is the fault tests' business.

#include "../engine/NamedRows.h"
#include "../engine/TestTables.h"
#include "ByteString.h"
#include "FileRead.h"
#include "FileReplace.h"

#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace bytes;
using namespace std::string_view_literals;
using namespace testing_tables;
using testing::PrintToString;
namespace fs = std::filesystem;

constexpr Pos kHuge = PTRDIFF_MAX, kTiny = PTRDIFF_MIN;

// Named by the expression, which only a macro can spell; both sides are printed
// as the expression's type, so that one row type holds positions, texts and signs.
using Row = CaseRow<std::string>;
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define ROW(expression, expected)                                                                  \
    { #expression, PrintToString(expression), PrintToString(decltype(expression)(expected)) }

// Searches give the first or last position or -1; Compare is unsigned byte order.
// TrimLeft removes the given set only; the substrings clamp their arguments.
const Row kSearchRows[] = {ROW(Find("abcabc", "bc"), 1),
                           ROW(Find("abc", "x"), -1),
                           ROW(Find("a\0bc"sv, "\0b"sv), 1),
                           ROW(Find("x\xC3y", '\xC3'), 1),
                           ROW(Find("abc", 'z'), -1),
                           ROW(FindOneOf("a\tb c", " \t"), 1),
                           ROW(FindOneOf("abc", " \t"), -1),
                           ROW(ReverseFind("aaa", 'a'), 2),
                           ROW(ReverseFind("", '"'), -1),
                           ROW(Compare("a", "a") == 0, true),
                           ROW(Compare("a", "b") < 0, true),
                           ROW(Compare("\x80", "\x7F") > 0, true),
                           ROW(Compare("ab", "abc") < 0, true),
                           ROW(Compare("a\0b"sv, "a\0c"sv) < 0, true),
                           ROW(Compare("a\0"sv, "a") > 0, true),
                           ROW(TrimLeft(" \t x ", "\t "), "x "),
                           ROW(TrimLeft("\n x", "\t "), "\n x"),
                           ROW(TrimLeft("   ", "\t "), "")};
const Row kSubstringRows[] = {ROW(Left("abc", 2), "ab"sv),      ROW(Left("abc", kTiny), ""sv),
                              ROW(Left("abc", 99), "abc"sv),    ROW(Mid("abc", 1), "bc"sv),
                              ROW(Mid("abc", 99), ""sv),        ROW(Mid("abc", kTiny), "abc"sv),
                              ROW(Mid("abcdef", 1, 2), "bc"sv), ROW(Mid("abc", 1, kHuge), "bc"sv),
                              ROW(Mid("abc", 1, -1), ""sv),     ROW(Mid("abc", 5, 2), ""sv),
                              ROW(Mid("a\0b"sv, 1, 2), "\0b"sv)};

// The row's input is what the expression gave.
class ByteString : public testing::TestWithParam<Row> {};
TEST_P(ByteString, Gives) {
    EXPECT_EQ(GetParam().input, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Search, ByteString, testing::ValuesIn(kSearchRows), kRowName);
INSTANTIATE_TEST_SUITE_P(Substring, ByteString, testing::ValuesIn(kSubstringRows), kRowName);

// The copy is new, then replaced, with the model's mode bits; without a model or a
// folder nothing is written. Only an existing regular file is replaced (a FIFO
// stands for devices such as /dev/full).
TEST(FileReplace, WritesLikeTheModelAndReplacesOnlyRegularFiles) {
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
    fs::create_symlink("gone", dir / "dangling.h");
    ASSERT_EQ(::mkfifo((dir / "fifo.h").c_str(), 0644), 0);
    for (const char* name : {"missing.h", "dangling.h", "fifo.h"})
        EXPECT_TRUE(files::ReplaceFileContent(dir / name, "new")) << name;
    EXPECT_EQ(FolderFiles(dir.root), (Files{{"dangling.h", "<not a file>"},
                                            {"fifo.h", "<not a file>"},
                                            {"keys.bak", "second"},
                                            {"keys.h", "model"}}));
}

// The longest run of names that one open accepts ends before PATH_MAX bytes:
// here a slash stands at exactly PATH_MAX, and the file lies beyond it.
TEST(FileRead, OpensPathsLongerThanTheKernelTakesPieceByPiece) {
    TempDir dir;
    std::string path = dir.root;
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (path.size() < PATH_MAX) {
        const std::size_t left = PATH_MAX - path.size(); // one folder, or two when one is too long
        const std::string name(left > 300 ? 200 : left > 100 ? left / 2 : left - 1, 'd');
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        ASSERT_GE(fd = next, 0);
        path += "/" + name;
    }
    const int file = ::openat(fd, "k.h", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ::close(fd);
    ASSERT_TRUE(file >= 0 && ::write(file, "x", 1) == 1 && ::close(file) == 0);
    ASSERT_EQ(path.size(), std::size_t(PATH_MAX));
    std::string bytes;
    EXPECT_FALSE(files::ReadWholeFile(path + "/k.h", bytes));
    EXPECT_EQ(bytes, "x");
}

} // namespace
