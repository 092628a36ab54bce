// The byte-string helpers and the safe file replacement. How the replacement
// fails is the fault tests' business.

#include "../engine/NamedRows.h"
#include "../engine/TestTables.h"
#include "ByteString.h"
#include "FileRead.h"
#include "FileReplace.h"
#include "LargeHeapPages.h"

#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using namespace bytes;
using namespace std::string_literals;
using namespace std::string_view_literals;
using namespace testing_tables;
using testing::PrintToString;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest
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

// The new file and the backup both carry the original's attributes, its ACL
// among them: version 2, then {tag, permissions, id} per entry, little-endian:
// the owner rw, user 65534 rw, the group r, a mask of r, the others r.
TEST(FileReplace, KeepsExtendedAttributesAndTheAcl) {
    const std::string acl =
        "\2\0\0\0\1\0\6\0\xFF\xFF\xFF\xFF\2\0\6\0\xFE\xFF\0\0\4\0\4\0\xFF\xFF\xFF\xFF"
        "\x10\0\4\0\xFF\xFF\xFF\xFF\x20\0\4\0\xFF\xFF\xFF\xFF"s;
    const std::pair<const char*, std::string> kAttributes[] = {{"system.posix_acl_access", acl},
                                                               {"user.glosscutter", "kept"}};
    TempDir dir;
    const std::string original = dir.Put("keys.h", "old"), backup = dir / "keys.bak";
    for (const auto& [name, value] : kAttributes)
        if (::setxattr(original.c_str(), name, value.data(), value.size(), 0) != 0) {
            ASSERT_TRUE(errno == ENOTSUP || errno == EOPNOTSUPP) << name;
            GTEST_SKIP() << "the temporary folder's file system lacks " << name;
        }
    const fs::perms mode = fs::status(original).permissions();
    ASSERT_FALSE(files::WriteFileLike(backup, "old", original));
    ASSERT_FALSE(files::ReplaceFileContent(original, "new"));
    for (const std::string& file : {original, backup}) {
        EXPECT_EQ(fs::status(file).permissions(), mode) << file;
        for (const auto& [name, value] : kAttributes) {
            std::string found(64, '\0');
            found.resize(std::size_t(
                std::max<ssize_t>(::getxattr(file.c_str(), name, found.data(), found.size()), 0)));
            EXPECT_EQ(found, value) << file << " " << name;
        }
    }
    // A folder's default ACL is not for the new file to take on.
    const std::string plain = dir.Put("d/plain.h", "old");
    ASSERT_EQ(
        ::setxattr((dir / "d").c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0), 0);
    ASSERT_FALSE(files::ReplaceFileContent(plain, "new"));
    EXPECT_LT(::getxattr(plain.c_str(), "system.posix_acl_access", nullptr, 0), 0);
}

// keys.h ("old") after `setup`, run in its folder; `file` is then refused.
struct RefusalRow {
    const char* name;
    const char* setup;
    files::FileError expected;
    const char* file = "keys.h";
    bool asNobody = false; // refused to nobody, in a child
};
using enum files::FileError;
const RefusalRow kRefusalRows[] = {
    {"hard link", "ln keys.h also.h", HardLinked},
    {"no write bit, even to root", "chmod 444 keys.h", WriteProtected},
    {"FIFO", "rm keys.h && mkfifo keys.h", NotRegularFile},
    {"device", "true", NotRegularFile, "/dev/null"},
    // Writable to nobody through the group, in a folder open to all.
    {"owned by another user", "chown 0:65534 keys.h && chmod 664 keys.h && chmod 777 .",
     OwnerNotKept, "keys.h", true}};

class Refusal : public testing::TestWithParam<RefusalRow> {};
TEST_P(Refusal, IsKnownBeforehandAndLeavesEveryFileAsItWas) {
    const RefusalRow& row = GetParam();
    if (row.asNobody && ::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    TempDir dir;
    const std::string setup = "cd " + dir.root + " && " + row.setup;
    dir.Put("keys.h", "old");
    ASSERT_EQ(std::system(setup.c_str()), 0); // NOLINT(cert-env33-c)
    const Files before = FolderFiles(dir.root);
    const std::string path = row.file[0] == '/' ? row.file : dir / row.file;
    const auto refused = [&] {
        return files::CheckReplaceable(path) == row.expected &&
               files::ReplaceFileContent(path, "new") == row.expected;
    };
    if (row.asNobody)
        EXPECT_EXIT(std::_Exit(BecomeNobody() && refused() ? 0 : 1), testing::ExitedWithCode(0),
                    "");
    else
        EXPECT_TRUE(refused());
    EXPECT_EQ(FolderFiles(dir.root), before);
}
INSTANTIATE_TEST_SUITE_P(Cases, Refusal, testing::ValuesIn(kRefusalRows), kRowName);

// A name as long as a name can be is replaced, its temporary file's name cut to fit.
TEST(FileReplace, ReplacesFilesOfTheLongestNames) {
    for (const std::size_t length : {250, 255}) {
        TempDir dir;
        const std::string name(length, 'k');
        EXPECT_FALSE(files::ReplaceFileContent(dir.Put(name, "old"), "new")) << length;
        EXPECT_EQ(FolderFiles(dir.root), (Files{{name, "new"}})) << length;
    }
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

// The mapping that holds an address: where it starts, and its flags, from
// the kernel's list.
struct CMapping {
    std::uintptr_t m_nStart = 0;
    std::string m_strFlags;
};

CMapping MappingOf(const void* address) {
    const auto at = std::bit_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/smaps");
    CMapping mapping;
    bool bInside = false;
    for (std::string line; std::getline(maps, line);) {
        // A mapping's line starts with its range, "start-end", in hexadecimal.
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        const char* const last = line.data() + line.size();
        const auto [pDash, startError] = std::from_chars(line.data(), last, start, 16);
        if (startError == std::errc() && pDash != last && *pDash == '-' &&
            std::from_chars(pDash + 1, last, end, 16).ec == std::errc()) {
            bInside = start <= at && at < end;
            mapping.m_nStart = start;
        } else if (bInside && line.starts_with("VmFlags:")) {
            mapping.m_strFlags = line;
            return mapping;
        }
    }
    return {};
}

// Where the C library's allocator serves the heap and the kernel has large
// pages, the heap from then on is advised to take them. A block larger than
// any freed before begins where the heap's free bytes begin: past its first
// small page, which the allocator wrote before the advice, starts a large
// page that lies whole in the advised mapping.
TEST(LargeHeapPages, AdviseTheHeapsGrowth) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator serves the heap";
#endif
    if (!fs::exists("/sys/kernel/mm/transparent_hugepage/enabled"))
        GTEST_SKIP() << "the kernel has no large pages for the heap";
    UseLargeHeapPages();
    const auto pFirst = std::make_unique<char[]>(std::size_t{1} << 20);
    const auto at = std::bit_cast<std::uintptr_t>(pFirst.get()) + ::sysconf(_SC_PAGESIZE);
    const CMapping mapping = MappingOf(std::bit_cast<const char*>(at));
    EXPECT_NE(mapping.m_strFlags.find(" hg"), std::string::npos) << mapping.m_strFlags;
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    EXPECT_LE(mapping.m_nStart, at / kLargePage * kLargePage);
}

} // namespace
