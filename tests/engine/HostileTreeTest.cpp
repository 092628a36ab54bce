// The load on source trees made to trip it up. It must end, pass over what is
// no regular file or cannot be read, and find exactly the uses that a plain
// reading of the readable files gives.

#include "GlossCutterDoc.h"
#include "KeywordSort.h"
#include "NamedRows.h"
#include "ReferenceModels.h"
#include "TestTables.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace {

using namespace testing_tables;
using namespace reference_models;
using testing_tables::PrintTo;
using Strings = std::vector<std::string>;
using namespace std::string_literals;

const std::string kKeywords = "#define sA \"a\"\n#define sB \"b\"\n// #define sM \"m\"\n";

// Builds a tree under src/ and keeps the uses a load must report for it,
// as "<symbol> <path>:<line>". Works relative to folder descriptors, so that
// it reaches depths whose paths the kernel would refuse.
class TreeBuilder final {
public:
    explicit TreeBuilder(std::string source) : m_strSource(std::move(source)) {
        ParseKeywordLines(Lines(kKeywords), m_arrTable);
        SortKeywords(m_arrTable, SORT_BY_SYMBOL, true);
    }

    // A source file the load must read, at `relative` (folders made on the way).
    void File(const std::string& relative, std::string_view bytes) {
        Write(relative, bytes);
        Expect(relative, bytes);
    }
    // A file, or anything else, the load must not read: its uses do not count.
    void Unread(const std::string& relative, std::string_view bytes) { Write(relative, bytes); }

    // What the load must find at `relative`, where a link leads to `bytes`.
    void Expect(const std::string& relative, std::string_view bytes) {
        for (const CSourceUse& use : ReferenceScan(m_arrTable, bytes))
            m_arrExpected.push_back(use.m_pKeyword->m_strSymbol + " " + Path(relative) + ":" +
                                    std::to_string(use.m_nLine));
    }

    // A file of `size` bytes that holds `head` and `tail` and, between them,
    // a hole the file system stores as nothing. NUL separates tokens and ends
    // no line, so the reference reads it with the hole shortened.
    void Sparse(const std::string& relative, off_t size, std::string_view head,
                std::string_view tail) {
        const int fd = OpenIn(relative, O_WRONLY | O_CREAT | O_TRUNC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), ssize_t(head.size()));
        ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), size - off_t(tail.size())),
                  ssize_t(tail.size()));
        ::close(fd);
        Expect(relative, std::string(head) + std::string(64, '\0') + std::string(tail));
    }

    // `count` empty files in one folder, made without a path per file.
    void EmptyFiles(const std::string& folder, int count) {
        const int dir = OpenFolder(folder + "/x");
        ASSERT_GE(dir, 0);
        for (int i = 0; i < count; ++i)
            ::close(::openat(dir, std::to_string(i).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        ::close(dir);
    }

    void Link(const std::string& target, const std::string& relative) {
        const int dir = OpenFolder(relative);
        ASSERT_EQ(::symlinkat(target.c_str(), dir, Name(relative).c_str()), 0) << relative;
        ::close(dir);
    }

    void Chmod(const std::string& relative, mode_t mode) {
        ASSERT_EQ(::chmod((m_strSource + "/" + relative).c_str(), mode), 0) << relative;
    }

    std::string Path(const std::string& relative) const { return m_strSource + "/" + relative; }
    const Strings& Expected() const { return m_arrExpected; }

private:
    static std::string Name(const std::string& relative) {
        return relative.substr(relative.rfind('/') + 1);
    }

    // The folder that holds `relative`, made if missing; a descriptor to close.
    int OpenFolder(const std::string& relative) const {
        int dir = ::open(m_strSource.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (std::size_t start = 0, slash = relative.find('/'); slash != std::string::npos;
             start = slash + 1, slash = relative.find('/', start)) {
            const std::string part = relative.substr(start, slash - start);
            ::mkdirat(dir, part.c_str(), 0755);
            const int next = ::openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(dir);
            dir = next;
        }
        return dir;
    }

    int OpenIn(const std::string& relative, int flags) const {
        const int dir = OpenFolder(relative);
        const int fd = ::openat(dir, Name(relative).c_str(), flags | O_CLOEXEC, 0644);
        ::close(dir);
        return fd;
    }

    void Write(const std::string& relative, std::string_view bytes) const {
        const int fd = OpenIn(relative, O_WRONLY | O_CREAT | O_TRUNC);
        ASSERT_GE(fd, 0) << relative;
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(fd);
    }

    std::string m_strSource;
    CKeywordArray m_arrTable;
    Strings m_arrExpected;
};

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Folders 500 deep whose path is far beyond what one open(2) accepts.
std::string DeepFolder() {
    std::string path;
    for (int depth = 0; depth < 500; ++depth)
        path += "nested-folder-" + std::to_string(depth) + "/";
    return path;
}

void Socket(TreeBuilder& tree, const std::string& relative) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = tree.Path(relative);
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own cast
    const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    ::close(fd); // the socket file stays
    ASSERT_EQ(bound, 0);
}

struct HostileTree {
    const char* name;
    unsigned seconds; // the load must end within this, sanitizers included
    void (*build)(TreeBuilder&);
};

const HostileTree kTrees[] = {
    {"link loops", 30,
     [](TreeBuilder& t) {
         t.File("a/a.c", "gA gB\ngA");
         t.Link("../a", "a/again");
         t.Link("loop2.c", "a/loop1.c");
         t.Link("loop1.c", "a/loop2.c");
         t.Link(".", "a/self");
     }},
    {"links to parent folders and outside", 30,
     [](TreeBuilder& t) {
         t.File("a/b/c.c", "x(gB)\n");
         t.Link("..", "a/b/up");
         t.Link("../..", "a/b/top");
         t.Link(t.Path("a"), "a/b/absolute");
         t.Link("/dev/zero", "zero.c");
     }},
    {"links to files and folders, and dangling ones", 30,
     [](TreeBuilder& t) {
         t.File("kept.c", "gA");
         t.File("real/b.c", "x\ngB");
         t.Link("kept.c", "alias.c");
         t.Expect("alias.c", "gA");
         t.Link("real", "linked");
         t.Expect("linked/b.c", "x\ngB");
         t.Link("gone.c", "dangling.c");
         t.Link("gone/", "dangling-folder");
     }},
    {"FIFO and socket", 30,
     [](TreeBuilder& t) {
         t.File("a.c", "gB");
         ASSERT_EQ(::mkfifo(t.Path("pipe.c").c_str(), 0644), 0);
         Socket(t, "socket.c");
     }},
    {"unreadable folder and file", 30,
     [](TreeBuilder& t) {
         t.File("open/a.c", "gA");
         t.Unread("locked/b.c", "gA gB");
         t.Unread("open/secret.c", "gB");
         t.Chmod("locked", 0);
         t.Chmod("open/secret.c", 0);
         t.File("open/z.c", "gB");
     }},
    {"2 GiB sparse file", 120,
     [](TreeBuilder& t) { t.Sparse("big.c", off_t(2) << 30, "gA\r\ngB", "gA\ngB gA"); }},
    {"NUL bytes and very long lines", 60,
     [](TreeBuilder& t) {
         t.File("nul.c", "gA\0gB\0\0gA\n\0gB"s);
         t.File("long.c",
                Repeat("gA,xgB gA;", 1 << 18) + "\n" + std::string(1 << 22, 'g') + "\ngB");
     }},
    {"no line breaks at all", 60,
     [](TreeBuilder& t) { t.File("flat.c", Repeat("(gA gB gC gAB)", 200000)); }},
    {"100,000 empty files", 120,
     [](TreeBuilder& t) {
         t.EmptyFiles("many", 100000);
         t.File("many/used.c", "gA");
     }},
    {"folders nested 500 deep", 60,
     [](TreeBuilder& t) {
         t.File(DeepFolder() + "deep.c", "gA\ngB");
         t.File(DeepFolder() + "sub/deeper.c", "\n\ngA");
         t.File("shallow.c", "gB");
     }},
    {"names with blanks, line breaks and invalid UTF-8", 30,
     [](TreeBuilder& t) {
         t.File("with blank.c", "gA");
         t.File("line\nbreak/file\r\n.c", "gB");
         t.File("bad\xff\xfe/\xc3(.c", "gA gB");
         t.File(" ", "gA");
     }},
};

Strings Sorted(Strings strings) {
    std::sort(strings.begin(), strings.end());
    return strings;
}

// Runs in a child process: as a user without privileges when started as root,
// so that permissions count, and killed by an alarm if it does not end.
[[noreturn]] void LoadAndCompare(const CLoadSettings& settings, const Strings& expected,
                                 unsigned seconds) {
    if (::geteuid() == 0 && !BecomeNobody()) {
        std::fputs("cannot drop root privileges\n", stderr);
        std::_Exit(2);
    }
    ::alarm(seconds);
    CGlossCutterDoc doc;
    const bool bFinished = doc.Load(settings) && !doc.GetKeywordFileError();
    const Strings found = Sorted(UsesOf(doc.m_arrKeywords));
    if (bFinished && found == expected)
        std::_Exit(0);
    std::fprintf(stderr, "%s; found %zu uses, expected %zu\n", bFinished ? "finished" : "stopped",
                 found.size(), expected.size());
    const auto listMissing = [](const char* what, const Strings& from, const Strings& in) {
        for (const std::string& use : from)
            if (!std::binary_search(in.begin(), in.end(), use))
                std::fprintf(
                    stderr, "%s: %s\n", what,
                    use.size() < 200
                        ? use.c_str()
                        : (use.substr(0, 80) + "..." + use.substr(use.size() - 80)).c_str());
    };
    listMissing("unexpected", found, expected);
    listMissing("missing", expected, found);
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
    const Strings expected = Sorted(tree.Expected());
    ASSERT_FALSE(expected.empty());
    EXPECT_EXIT(LoadAndCompare(settings, expected, GetParam().seconds), testing::ExitedWithCode(0),
                "");
}

INSTANTIATE_TEST_SUITE_P(Trees, HostileTreeLoad, testing::ValuesIn(kTrees), kRowName);

} // namespace
