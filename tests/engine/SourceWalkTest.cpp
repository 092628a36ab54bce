#include "SourceWalk.h"

#include "TestTables.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace testing_tables;
namespace fs = std::filesystem;
using Paths = std::multiset<std::string>;

const std::vector<std::string> kFiles = {"a.c",           "sub/b.c",   "sub/deep/c.c",
                                         "sub/deep/c2.c", "other/d.c", "other/e.c"};

// kFiles and an empty folder. The walk keeps the file system's order, so most
// checks compare sets.
struct Tree : TempDir {
    Tree() {
        fs::create_directories(root + "/sub/deep");
        fs::create_directories(root + "/other");
        fs::create_directories(root + "/empty");
        for (const std::string& name : kFiles)
            WriteFile(*this / name, "x");
    }
    Paths Walk(const std::vector<std::string>& skipped = {}) const {
        std::vector<std::string> files;
        CollectSourceFiles(root, skipped, files);
        return {files.begin(), files.end()};
    }
    Paths Under(const std::vector<std::string>& names) const {
        Paths paths;
        for (const std::string& name : names)
            paths.insert(*this / name);
        return paths;
    }
};

TEST(SourceWalk, FindsEveryFileAndFinishesEachFolderFirst) {
    Tree tree;
    std::vector<std::string> files = {"earlier"};
    CollectSourceFiles(tree.root, {}, files);
    ASSERT_EQ(files.front(), "earlier");
    files.erase(files.begin());
    EXPECT_EQ(Paths(files.begin(), files.end()), tree.Under(kFiles));
    // Whatever order the file system lists, a folder's files form one run.
    for (const char* folder : {"/sub/", "/sub/deep/", "/other/"}) {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < files.size(); ++i)
            if (files[i].starts_with(tree.root + folder))
                at.push_back(i);
        ASSERT_FALSE(at.empty());
        EXPECT_EQ(at.back() - at.front() + 1, at.size()) << folder;
    }
}

TEST(SourceWalk, SkipsOnlyExactPaths) {
    Tree tree;
    WriteFile(tree / "A.c", "x");
    struct {
        std::vector<std::string> skipped;
        std::vector<std::string> left; // out of kFiles and A.c
    } const cases[] = {
        {{tree / "sub/deep/c.c"}, {"sub/deep/c.c"}},
        {{tree / "a.c", tree / "other/e.c"}, {"a.c", "other/e.c"}},
        // Other letter case, bare names and folders skip nothing.
        {{tree / "SUB/b.c", tree / "sub/B.c", "a.c", "b.c", tree / "sub", tree / "sub/d"}, {}}};
    for (const auto& c : cases) {
        Paths expected = tree.Under(kFiles);
        expected.insert(tree / "A.c");
        for (const std::string& name : c.left)
            expected.erase(tree / name);
        EXPECT_EQ(tree.Walk(c.skipped), expected) << testing::PrintToString(c.skipped);
    }
}

TEST(SourceWalk, FollowsLinksExceptIntoFoldersItIsInside) {
    Tree tree;
    fs::create_directory_symlink("..", tree / "sub/deep/up");
    fs::create_directory_symlink(tree.root, tree / "other/root");
    fs::create_directory_symlink(".", tree / "self");
    fs::create_directory_symlink(tree / "other", tree / "sub/linked");
    fs::create_symlink(tree / "a.c", tree / "alias.c");
    Paths expected = tree.Under(kFiles);
    expected.merge(tree.Under({"sub/linked/d.c", "sub/linked/e.c", "alias.c"}));
    EXPECT_EQ(tree.Walk(), expected);
}

TEST(SourceWalk, PassesOverDanglingLinksAndFifos) {
    Tree tree;
    fs::create_symlink(tree / "gone.c", tree / "dangling.c");
    fs::create_symlink(tree / "loop2", tree / "loop1");
    fs::create_symlink(tree / "loop1", tree / "loop2");
    ASSERT_EQ(::mkfifo((tree / "sub/pipe.c").c_str(), 0600), 0);
    EXPECT_EQ(tree.Walk(), tree.Under(kFiles));
}

TEST(SourceWalk, MissingFolderOrFileYieldsNothing) {
    TempDir dir;
    WriteFile(dir / "file.c", "x");
    for (const char* name : {"missing", "file.c"}) {
        std::vector<std::string> files;
        CollectSourceFiles(dir / name, {}, files);
        EXPECT_TRUE(files.empty()) << name;
    }
}

} // namespace
