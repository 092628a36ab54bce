// The load: the walk over the source folders, then the document that reads the
// keyword file and scans what the walk found.

#include "GlossCutterDoc.h"

#include "LoadProgress.h"
#include "SourceWalk.h"
#include "TestTables.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <thread>

namespace {

using namespace testing_tables;
namespace fs = std::filesystem;
using Paths = std::multiset<std::string>;
using Strings = std::vector<std::string>;

const Strings kFiles = {"a.c",           "sub/b.c",   "sub/deep/c.c",
                        "sub/deep/c2.c", "other/d.c", "other/e.c"};

// kFiles and an empty folder.
struct Tree : TempDir {
    Tree() {
        fs::create_directories(root + "/empty");
        for (const std::string& name : kFiles)
            Put(name, "x");
    }
    // What the walk finds, relative to the root. It keeps the file system's order,
    // so most checks compare sets.
    Paths Walk(const Strings& skipped = {}) const {
        Strings files;
        CollectSourceFiles(root, skipped, files);
        Paths names;
        for (const std::string& file : files)
            names.insert(file.substr(root.size() + 1));
        return names;
    }
};

// Other letter case, bare names and folders skip nothing. The walk appends; a
// missing folder, or a file given as one, adds nothing.
TEST(SourceWalk, SkipsOnlyExactPaths) {
    Tree tree;
    tree.Put("A.c", "x");
    EXPECT_EQ(tree.Walk({tree / "a.c", tree / "other/e.c", tree / "SUB/b.c", tree / "sub/B.c",
                         "b.c", tree / "sub", tree / "sub/d"}),
              (Paths{"A.c", "sub/b.c", "sub/deep/c.c", "sub/deep/c2.c", "other/d.c"}));
    Strings files = {"earlier"};
    for (const std::string& folder : {tree.root, tree / "missing", tree / "a.c"})
        CollectSourceFiles(folder, {}, files);
    EXPECT_EQ(files.size(), kFiles.size() + 2); // "earlier" and A.c
    EXPECT_EQ(files.front(), "earlier");
}

// Links are followed, except into a folder the walk is inside; dangling links,
// link loops and FIFOs are passed over. A regression would hang, hence the guard.
TEST(SourceWalk, FollowsLinksButNotRoundAndPassesOverTheRest) {
    Tree tree;
    fs::create_directory_symlink("..", tree / "sub/deep/up");
    fs::create_directory_symlink(tree.root, tree / "other/root");
    fs::create_directory_symlink(".", tree / "self");
    fs::create_directory_symlink(tree / "other", tree / "sub/linked");
    fs::create_symlink(tree / "a.c", tree / "alias.c");
    fs::create_symlink(tree / "gone.c", tree / "dangling.c");
    fs::create_symlink(tree / "loop2", tree / "loop1");
    fs::create_symlink(tree / "loop1", tree / "loop2");
    ASSERT_EQ(::mkfifo((tree / "sub/pipe.c").c_str(), 0600), 0);
    auto walk = std::async(std::launch::async, [&] { return tree.Walk(); });
    if (walk.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        std::fputs("the walk goes round a link loop\n", stderr);
        std::_Exit(1); // waiting for the future would hang the whole run
    }
    Paths expected(kFiles.begin(), kFiles.end());
    expected.insert({"sub/linked/d.c", "sub/linked/e.c", "alias.c"});
    EXPECT_EQ(walk.get(), expected);
}

// Status texts and the threads they came from; says "cancel" once `cancelAfter`
// files have been announced.
struct Recorder : ILoadProgress {
    Strings texts;
    std::set<std::thread::id> threads;
    std::size_t analyzed = 0, cancelAfter = SIZE_MAX;
    void ShowStatusText(const std::string& text) override {
        texts.push_back(text);
        threads.insert(std::this_thread::get_id());
        if (text.starts_with("Analyze "))
            ++analyzed;
    }
    bool IsCancelled() override { return analyzed >= cancelAfter; }
};

bool Load(CGlossCutterDoc& doc, const CLoadSettings& settings) {
    doc.LoadKeywords(settings);
    return doc.AnalyzeSources(settings);
}

// The table ends sorted by symbol, in byte order, with the uses on the unmarked
// keyword. The keyword file sits in a source folder of its own and is scanned
// like any file; skipped files may stand in any slot.
TEST(GlossCutterDoc, ScansTheSetSlotsInSlotOrder) {
    TempDir t;
    const std::string keys =
        t.Put("keys/keys.h", "#define sB \"\"\n#define sa \"gA\"\n// #define sA \"\"\n"
                             "#define s\xC3\xA9 \"\"\n#define sA \"\"\n");
    CLoadSettings s{keys, {t / "zeta", "", t / "alpha", t / "keys"}, {}};
    s.m_arrSourceFolders[7] = t / "zeta"; // listed twice, scanned twice
    s.m_arrSkippedFiles[6] = t.Put("alpha/skipped.c", "gA");
    const std::string z = " " + t.Put("zeta/z.c", "x = gA; gB\n"),
                      a = " " + t.Put("alpha/a.c", "\ngA ga g\xC3\xA9\n");
    CGlossCutterDoc doc;
    ASSERT_TRUE(Load(doc, s));
    EXPECT_EQ(Describe(doc.m_arrKeywords),
              (Strings{"5 gA=", "3 marked gA=", "1 gB=", "2 ga=gA", "4 g\xC3\xA9="}));
    EXPECT_EQ(UsesOf(doc.m_arrKeywords),
              (Strings{"gA" + z + ":1", "gA" + a + ":2", "gA " + keys + ":2", "gA" + z + ":1",
                       "gB" + z + ":1", "gB" + z + ":1", "ga" + a + ":2", "g\xC3\xA9" + a + ":2"}));
    // A keyword file that cannot be read leaves an empty table; the walk still runs.
    doc.SetCurrentKeyword(doc.m_arrKeywords.at(0).get());
    s.m_strKeywordFile = t / "missing.h";
    EXPECT_TRUE(doc.LoadKeywords(s));
    EXPECT_TRUE(doc.m_arrKeywords.empty() && doc.GetCurrentKeyword() == nullptr);
    EXPECT_TRUE(doc.AnalyzeSources(s));
    EXPECT_EQ(doc.GetScannedFileCount(), 4u);
}

// A cancel is asked for between files; the walk itself can be cancelled too.
TEST(GlossCutterDoc, StatusTextsComeInOrderUntilTheEndOrACancel) {
    TempDir t;
    const std::string keys = t.Put("keys.h", "#define sA \"a\"\n");
    const std::string a = t.Put("one/a.c", "gA"), b = t.Put("two/b.c", "gA");
    const std::pair<std::size_t, Strings> rows[] = {{SIZE_MAX, {a, b}}, {1, {a}}, {0, {}}};
    for (const unsigned threads : {1u, 4u})
        for (const auto& [cancelAfter, scanned] : rows) {
            SCOPED_TRACE(testing::Message() << threads << " threads, cancel " << cancelAfter);
            Recorder progress;
            progress.cancelAfter = cancelAfter;
            CGlossCutterDoc doc;
            doc.SetProgress(&progress);
            doc.SetScanThreads(threads);
            EXPECT_EQ(Load(doc, {keys, {t / "one", t / "two"}, {}}), cancelAfter == SIZE_MAX);
            Strings expected = {"Parsing keyword file: " + keys + " ...", "Ready", "Sorting...",
                                "Ready"},
                    uses;
            for (const std::string& file : scanned) {
                expected.push_back("Analyze " + file + "...");
                uses.push_back("gA " + file + ":1");
            }
            if (cancelAfter != 0) // a cancel during the walk skips the scan and its end
                expected.push_back("Ready");
            EXPECT_EQ(progress.texts, expected);
            EXPECT_EQ(progress.threads, std::set{std::this_thread::get_id()});
            EXPECT_EQ(UsesOf(doc.m_arrKeywords), uses);
            EXPECT_EQ(doc.GetScannedFileCount(), scanned.size());
        }
}

// d1 and d4/e2 are source folders of their own as well: their files count twice.
TEST(GlossCutterDoc, ParallelScanEqualsSequentialScan) {
    TempDir t;
    const std::string keys =
        t.Put("keys.h", "// #define sM \"\"\n#define sK3 \"\"\n#define sK7 \"\"\n"
                        "#define sK11 \"\"\n#define sK \"\"\n");
    std::mt19937 rng(20240607);
    const char* pieces[] = {"gM",   "x", "gK", "gK1_", "#gK3", "gK3", "gK7",
                            "gK11", " ", ", ", "(",    "->",   "\n",  "\r\n"};
    for (int n = 0; n < 300; ++n) {
        std::string text;
        for (int i = int(rng() % 80); i > 0; --i)
            text += pieces[rng() % std::size(pieces)];
        const std::string folder = "src/d" + std::to_string(n % 5) + "/e" + std::to_string(n % 6);
        t.Put(folder + "/" + std::to_string(n) + ".c", text);
    }
    const CLoadSettings s{keys, {t / "src", t / "src/d1", "", t / "src/d4/e2"}, {}};
    CGlossCutterDoc sequential, parallel;
    sequential.SetScanThreads(1);
    parallel.SetScanThreads(4);
    ASSERT_TRUE(Load(sequential, s));
    ASSERT_TRUE(Load(parallel, s));
    EXPECT_TRUE(sequential.GetScannedFileCount() == 370 && parallel.GetScannedFileCount() == 370);
    EXPECT_GT(UsesOf(parallel.m_arrKeywords).size(), 500u);
    EXPECT_EQ(UsesOf(parallel.m_arrKeywords), UsesOf(sequential.m_arrKeywords));
}

} // namespace
