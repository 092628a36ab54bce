// Source trees made to trip the load up: it must end, pass over what it cannot
// read, and find exactly the uses a plain reading of the readable files gives.

#include "GlossCutterDoc.h"
#include "KeywordSort.h"
#include "NamedRows.h"
#include "ReferenceModels.h"
#include "TestTables.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

using namespace testing_tables;
using namespace reference_models;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest
using Strings = std::vector<std::string>;
using namespace std::string_literals;

const std::string kKeywords = "#define sA \"a\"\n#define sB \"b\"\n// #define sM \"m\"\n";

// Builds a tree under `root` and the uses a load must report, "<symbol> <path>:<line>";
// relative to folder descriptors, to reach depths whose paths the kernel refuses.
struct TreeBuilder {
    std::string root;
    Strings expected;
    CKeywordArray table = ParseLines(Lines(kKeywords));

    explicit TreeBuilder(std::string source) : root(std::move(source)) {
        SortKeywords(table, SORT_BY_SYMBOL, true);
    }
    std::string Path(const std::string& relative) const { return root + "/" + relative; }

    // What the load must find at `relative`, where it reads `bytes`.
    void Expect(const std::string& relative, std::string_view bytes) {
        for (const CSourceUse& use : ReferenceScan(table, bytes))
            expected.push_back(use.m_pKeyword->m_strSymbol + " " + Path(relative) + ":" +
                               std::to_string(use.m_nLine));
    }
    // A source file the load must read.
    void File(const std::string& relative, std::string_view bytes) {
        Put(relative, bytes);
        Expect(relative, bytes);
    }
    // `bytes` written at `at` in `relative`, made with the folders on its way.
    void Put(const std::string& relative, std::string_view bytes, off_t at = 0) const {
        int dir = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (std::size_t start = 0, slash = relative.find('/'); slash != std::string::npos;
             start = slash + 1, slash = relative.find('/', start)) {
            const std::string part = relative.substr(start, slash - start);
            ::mkdirat(dir, part.c_str(), 0755);
            const int next = ::openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(dir);
            dir = next;
        }
        const std::string name = relative.substr(relative.rfind('/') + 1);
        const int fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ::close(dir);
        ASSERT_GE(fd, 0) << relative;
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), at), ssize_t(bytes.size()));
        ::close(fd);
    }
    void Link(const std::string& target, const std::string& relative) const {
        ASSERT_EQ(::symlink(target.c_str(), Path(relative).c_str()), 0) << relative;
    }
};

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    while (times-- > 0)
        text += piece;
    return text;
}

struct HostileTree {
    const char* name;
    unsigned seconds; // the load must end within this, sanitizers included
    void (*build)(TreeBuilder&);
};

const HostileTree kTrees[] = {
    {"links: loops, to parents, outside, to files and folders, dangling", 30,
     [](TreeBuilder& t) {
         t.File("a/a.c", "gA gB\ngA");
         t.Link("../a", "a/again");
         t.Link("loop2.c", "a/loop1.c");
         t.Link("loop1.c", "a/loop2.c");
         t.Link(".", "a/self");
         t.File("a/b/c.c", "x(gB)\n");
         t.Link("..", "a/b/up");
         t.Link(t.Path("a"), "a/b/absolute");
         t.Link("/dev/zero", "zero.c");
         t.Link("a/a.c", "alias.c");
         t.Expect("alias.c", "gA gB\ngA");
         t.File("real/b.c", "x\ngB");
         t.Link("real", "linked");
         t.Expect("linked/b.c", "x\ngB");
         t.Link("gone.c", "dangling.c");
         t.Link("gone/", "dangling-folder");
     }},
    {"FIFO and socket", 30,
     [](TreeBuilder& t) {
         t.File("a.c", "gB");
         ASSERT_EQ(::mkfifo(t.Path("pipe.c").c_str(), 0644), 0);
         ASSERT_EQ(::mknod(t.Path("socket.c").c_str(), S_IFSOCK | 0644, 0), 0);
     }},
    {"unreadable folder and file", 30,
     [](TreeBuilder& t) {
         t.File("open/a.c", "gA");
         t.Put("locked/b.c", "gA gB");
         t.Put("open/secret.c", "gB");
         ASSERT_EQ(::chmod(t.Path("locked").c_str(), 0), 0);
         ASSERT_EQ(::chmod(t.Path("open/secret.c").c_str(), 0), 0);
         t.File("open/z.c", "gB");
     }},
    // NUL separates tokens and ends no line: the reference may read the hole shortened.
    {"2 GiB sparse file", 120,
     [](TreeBuilder& t) {
         t.Put("big.c", "gA\r\ngB");
         t.Put("big.c", "gA\ngB gA", (off_t(2) << 30) - 8);
         t.Expect("big.c", "gA\r\ngB"s + std::string(64, '\0') + "gA\ngB gA");
     }},
    {"NUL bytes, very long lines, no line break at all", 60,
     [](TreeBuilder& t) {
         t.File("nul.c", "gA\0gB\0\0gA\n\0gB"s);
         t.File("long.c",
                Repeat("gA,xgB gA;", 1 << 18) + "\n" + std::string(1 << 22, 'g') + "\ngB");
         t.File("flat.c", Repeat("(gA gB gC gAB)", 200000));
     }},
    {"100,000 empty files", 120,
     [](TreeBuilder& t) {
         for (int i = 0; i < 100000; ++i)
             t.Put("many/" + std::to_string(i), "");
         t.File("many/used.c", "gA");
     }},
    // Far beyond the length of path that one open(2) accepts.
    {"folders nested 500 deep", 60,
     [](TreeBuilder& t) {
         std::string deep;
         for (int depth = 0; depth < 500; ++depth)
             deep += "nested-folder-" + std::to_string(depth) + "/";
         t.File(deep + "deep.c", "gA\ngB");
         t.File(deep + "sub/deeper.c", "\n\ngA");
         t.File("shallow.c", "gB");
         // Whichever chain comes second is entered once the walk has closed
         // the descriptors of the folders high above it, "src" among them.
         t.File("second/" + Repeat("level/", 100) + "c.c", "gA");
     }},
    {"names with blanks, line breaks and invalid UTF-8", 30,
     [](TreeBuilder& t) {
         t.File("with blank.c", "gA");
         t.File("line\nbreak/file\r\n.c", "gB");
         t.File("bad\xff\xfe/\xc3(.c", "gA gB");
         t.File(" ", "gA");
     }},
};

// Runs as a death test's child: as a user without privileges when started as
// root, so that permissions count, and killed by an alarm if it does not end.
[[noreturn]] void LoadAndCompare(const CLoadSettings& settings, const Strings& expected,
                                 unsigned seconds) {
    if (::geteuid() == 0 && !BecomeNobody())
        std::_Exit(2); // cannot drop root's privileges
    ::alarm(seconds);
    CGlossCutterDoc doc;
    const bool bFinished = doc.Load(settings) && !doc.GetKeywordFileError();
    Strings found = UsesOf(doc.m_arrKeywords);
    std::ranges::sort(found);
    if (bFinished && found == expected)
        std::_Exit(0);
    const auto [wrong, missed] = std::ranges::mismatch(found, expected);
    const auto tail = [](const std::string& use) { // a deep path is long
        return use.c_str() + std::max<long>(0, long(use.size()) - 120);
    };
    std::fprintf(stderr, "%s; first difference: found %s, expected %s\n",
                 bFinished ? "finished" : "stopped", wrong == found.end() ? "-" : tail(*wrong),
                 missed == expected.end() ? "-" : tail(*missed));
    std::_Exit(1);
}

class HostileTreeLoad : public testing::TestWithParam<HostileTree> {};

TEST_P(HostileTreeLoad, EndsAndFindsTheUsesOfTheReadableFiles) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.root.c_str(), 0755), 0); // for the child without privileges
    const CLoadSettings settings{dir.Put("keys.h", kKeywords), {dir / "src"}, {}};
    ASSERT_EQ(::mkdir((dir / "src").c_str(), 0755), 0);
    TreeBuilder tree(dir / "src");
    ASSERT_NO_FATAL_FAILURE(GetParam().build(tree));
    ASSERT_FALSE(tree.expected.empty());
    std::ranges::sort(tree.expected);
    EXPECT_EXIT(LoadAndCompare(settings, tree.expected, GetParam().seconds),
                testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Trees, HostileTreeLoad, testing::ValuesIn(kTrees), kRowName);

} // namespace
