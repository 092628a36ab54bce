// The document's load, and the lines it keeps for a wipe; hostile trees are
// HostileTreeTest's.

#include "GlossCutterDoc.h"

#include "LoadProgress.h"
#include "NamedRows.h"
#include "SourceWalk.h"
#include "TestTables.h"
#include "UsageScanner.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace testing_tables;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest
using Strings = std::vector<std::string>;

// The table ends sorted by symbol, in byte order, with the uses on the unmarked
// keyword, in walk order. The keyword file sits in a source folder of its own
// and is scanned like any file; a folder listed twice is scanned twice, and a
// missing one, or a file given as one, adds nothing. Only an exact path skips a
// file, from any slot: not another letter case, a bare name or a folder.
TEST(GlossCutterDoc, ScansTheSetSlotsInSlotOrder) {
    TempDir t;
    const std::string keys =
        t.Put("keys/keys.h", "#define sB \"\"\n#define sa \"gA\"\n// #define sA \"\"\n"
                             "#define s\xC3\xA9 \"\"\n#define sA \"\"\n");
    CLoadSettings s{keys, {t / "zeta", t / "missing", t / "alpha", t / "keys", keys}, {}};
    s.m_arrSourceFolders[7] = t / "zeta";
    s.m_arrSkippedFiles = {t / "ZETA/z.c", "a.c", t / "zeta"};
    s.m_arrSkippedFiles[6] = t.Put("alpha/skipped.c", "gA");
    const std::string z = " " + t.Put("zeta/z.c", "x = gA; gB\n"),
                      a = " " + t.Put("alpha/a.c", "\ngA ga g\xC3\xA9\n");
    CGlossCutterDoc doc;
    ASSERT_TRUE(doc.Load(s));
    EXPECT_EQ(Describe(doc.m_arrKeywords),
              (Strings{"5 gA=", "3 marked gA=", "1 gB=", "2 ga=gA", "4 g\xC3\xA9="}));
    EXPECT_EQ(UsesOf(doc.m_arrKeywords),
              (Strings{"gA" + z + ":1", "gA" + a + ":2", "gA " + keys + ":2", "gA" + z + ":1",
                       "gB" + z + ":1", "gB" + z + ":1", "ga" + a + ":2", "g\xC3\xA9" + a + ":2"}));
    EXPECT_EQ(doc.GetScannedFileCount(), 4u);
    EXPECT_EQ(g_arrKeywordLines, Lines(ReadFile(keys)));
    // A keyword file that cannot be read leaves an empty table; the walk still runs.
    doc.SetCurrentKeyword(doc.m_arrKeywords.at(0).get());
    s.m_strKeywordFile = t / "missing.h";
    EXPECT_TRUE(doc.Load(s) && doc.GetKeywordFileError());
    EXPECT_TRUE(doc.m_arrKeywords.empty() && doc.GetCurrentKeyword() == nullptr);
    EXPECT_EQ(doc.GetScannedFileCount(), 4u);
}

// However the threads finish the files, the uses come in walk order: here the
// first file walked takes by far the longest to scan, while the others, more
// than two runs of results, are done.
TEST(GlossCutterDoc, UsesComeInWalkOrderOnAnyNumberOfThreads) {
    TempDir t;
    CLoadSettings s{t.Put("keys.h", "#define sA \"a\"\n#define sB \"b\"\n"), {t / "src"}, {}};
    for (int i = 0; i < 150; ++i)
        t.Put("src/f" + std::to_string(i) + ".c", "gA gB gA\n");
    Strings walked;
    CUnreadableArray unreadable;
    CollectSourceFiles(t / "src", {}, walked, unreadable);
    std::string slow;
    for (int i = 0; i < 100000; ++i)
        slow += "x = y; /* z */\n";
    WriteFile(walked.at(0), slow + "gB gA\n");
    std::vector<Strings> uses;
    for (const unsigned nThreads : {1U, 2U, 4U}) {
        s.m_nThreads = nThreads;
        CGlossCutterDoc doc;
        ASSERT_TRUE(doc.Load(s));
        uses.push_back(UsesOf(doc.m_arrKeywords));
    }
    ASSERT_EQ(uses[0].size(), 3u * 149 + 2);
    EXPECT_EQ(uses[0][0], "gA " + walked[0] + ":100001");
    EXPECT_EQ(uses[1], uses[0]);
    EXPECT_EQ(uses[2], uses[0]);
}

// The subfolders of the top folder are walked on several threads, and what
// they hold is joined in the order of one walk: files between folders, a
// skipped file, links back up, folders that cannot be listed.
TEST(SourceWalk, GivesTheOrderOfOneThreadOnAnyNumber) {
    TempDir t;
    for (const char* name : {"src/a.c", "src/m/b.c", "src/m/n/c.c", "src/z.c", "src/p/d.c",
                             "src/p/skip.c", "src/q/r/s/e.c", "src/locked/f.c"})
        t.Put(name, "x");
    ASSERT_EQ(::symlink("..", (t / "src/m/n/up").c_str()), 0);
    ASSERT_EQ(::symlink("..", (t / "src/m/top").c_str()), 0);
    ASSERT_EQ(::symlink("../p", (t / "src/q/p").c_str()), 0);
    ASSERT_EQ(::chmod((t / "src/locked").c_str(), 0), 0);
    const Strings skipped{t / "src/p/skip.c"};
    Strings one;
    CUnreadableArray unreadableOne;
    CollectSourceFiles(t / "src", skipped, one, unreadableOne, 1);
    ::chmod((t / "src/locked").c_str(), 0755);
    // q/p leads into p, which is no folder above it; only root reads f.c.
    ASSERT_EQ(one.size(), ::geteuid() == 0 ? 9u : 8u);
    for (const unsigned nThreads : {2U, 3U, 8U}) {
        ::chmod((t / "src/locked").c_str(), 0);
        Strings many;
        CUnreadableArray unreadableMany;
        CollectSourceFiles(t / "src", skipped, many, unreadableMany, nThreads);
        ::chmod((t / "src/locked").c_str(), 0755);
        EXPECT_EQ(many, one) << nThreads << " threads";
        ASSERT_EQ(unreadableMany.size(), unreadableOne.size()) << nThreads << " threads";
        for (std::size_t k = 0; k < unreadableOne.size(); ++k)
            EXPECT_EQ(unreadableMany[k].m_strPath, unreadableOne[k].m_strPath);
    }
}

// Status texts and their threads; cancels once `cancelAfter` files were announced.
struct Recorder : ILoadProgress {
    Strings texts;
    std::set<std::thread::id> threads;
    std::atomic<std::size_t> analyzed = 0; // IsCancelled is asked by the scanning threads too
    std::size_t cancelAfter = SIZE_MAX;
    void ShowStatusText(const std::string& text) override {
        texts.push_back(text);
        threads.insert(std::this_thread::get_id());
        analyzed += text.starts_with("Analyze ") ? 1 : 0;
    }
    bool IsCancelled() override { return analyzed >= cancelAfter; }
};

using CancelRow = CaseRow<std::size_t, Strings>; // cancel after, files scanned

const CancelRow kCancelRows[] = {
    {"not cancelled", SIZE_MAX, {"one/a.c", "two/b.c"}},
    {"after the first file", 1, {"one/a.c"}},
    {"during the walk", 0, {}},
};

class GlossCutterDocCancel : public testing::TestWithParam<CancelRow> {};

// The texts come in order from the loading thread, which leaves the document
// alone; a cancelled load is not adopted. The first file is named as the scan
// starts; a later one only if a round of merging waited for it.
TEST_P(GlossCutterDocCancel, StatusTextsComeInOrderUntilTheEndOrACancel) {
    TempDir t;
    const std::string keys = t.Put("keys.h", "#define sA \"a\"\n");
    t.Put("one/a.c", "gA");
    t.Put("two/b.c", "gA");
    Recorder progress;
    progress.cancelAfter = GetParam().input;
    CGlossCutterDoc doc;
    doc.SetProgress(&progress);
    CKeywordLoad load;
    g_arrKeywordLines = Lines("earlier\n");
    std::thread([&] { load = doc.RunLoad({keys, {t / "one", t / "two"}, {}}); }).join();
    EXPECT_EQ(g_arrKeywordLines, Lines("earlier\n"));
    Strings texts = {"Parsing keyword file: " + keys + " ...", "Ready", "Sorting...", "Ready"};
    Strings uses; // a cancelled read hands over nothing
    const bool bCompleted = progress.cancelAfter == SIZE_MAX;
    for (const std::string& file : GetParam().expected) {
        if (file == GetParam().expected.front())
            texts.push_back("Analyze " + (t / file) + "...");
        if (bCompleted)
            uses.push_back("gA " + (t / file) + ":1");
    }
    if (progress.cancelAfter != 0) // a cancel during the walk skips the scan and its end
        texts.push_back("Ready");
    std::erase(progress.texts, "Analyze " + (t / "two/b.c") + "...");
    EXPECT_EQ(progress.texts, texts);
    EXPECT_TRUE(progress.threads.size() == 1 &&
                !progress.threads.contains(std::this_thread::get_id()));
    EXPECT_EQ(UsesOf(load.m_arrKeywords), uses);
    EXPECT_EQ(doc.AdoptLoad(std::move(load)), bCompleted);
    EXPECT_EQ(UsesOf(doc.m_arrKeywords), bCompleted ? uses : Strings{});
}

INSTANTIATE_TEST_SUITE_P(Rows, GlossCutterDocCancel, testing::ValuesIn(kCancelRows), kRowName);

// A cancel stops the read of a large file at the next piece: the uses after
// it are never found, and the read says it was cancelled.
TEST(GlossCutterDoc, ACancelStopsInsideAFile) {
    TempDir t;
    const std::string path =
        t.Put("big.c", "gA\n" + std::string(std::size_t{3} << 20, ' ') + "gA\n");
    CKeywordArray table;
    table.push_back(std::make_unique<CKeyword>("gA", "a", 1, false));
    for (const std::size_t cancelAt : {std::size_t{1}, SIZE_MAX}) {
        std::size_t asked = 0;
        const CUsageScanner scanner(table, [&] { return ++asked >= cancelAt; });
        CSourceUseArray uses;
        const std::error_code ec = scanner.ScanFile(path, uses);
        EXPECT_EQ(ec, cancelAt == 1 ? std::make_error_code(std::errc::operation_canceled)
                                    : std::error_code());
        EXPECT_EQ(uses.size(), cancelAt == 1 ? 1U : 2U);
        EXPECT_EQ(asked, cancelAt == 1 ? 1U : 13U); // a piece of 256 KiB at a time
    }
}

// A wipe gets its own document's lines only: after another document's load, or
// once the table is cleared, it is refused.
TEST(GlossCutterDoc, AWipeGetsTheLinesOfItsOwnLoad) {
    TempDir t;
    const std::string first = t.Put("first.h", "#define sA \"a\"\n"),
                      second = t.Put("second.h", "x\n#define sB \"b\"\n");
    CGlossCutterDoc one, two;
    ASSERT_TRUE(one.Load({first, {}, {}}));
    EXPECT_EQ(one.MakeWipeRequest(first, WIPE_MARK).m_pLines, &g_arrKeywordLines);
    ASSERT_TRUE(two.Load({second, {}, {}}));
    EXPECT_EQ(g_arrKeywordLines, Lines(ReadFile(second)));
    const CWipeRequest stale = one.MakeWipeRequest(first, WIPE_MARK);
    EXPECT_EQ(stale.m_pLines, nullptr);
    EXPECT_EQ(WipeKeywords(stale).m_nStatus, WipeStatus::NotLoaded);
    const CWipeRequest current = two.MakeWipeRequest(second, WIPE_REMOVE);
    EXPECT_TRUE(current.IsForLoadedFile() && current.m_pKeywords == &two.m_arrKeywords);
    EXPECT_EQ(current.m_nOperation, unsigned(WIPE_REMOVE));
    EXPECT_FALSE(two.MakeWipeRequest(first, WIPE_MARK).IsForLoadedFile());
    two.ClearKeywords();
    EXPECT_EQ(two.MakeWipeRequest(second, WIPE_MARK).m_pLines, nullptr);
    EXPECT_EQ(FolderFiles(t.root).size(), 2u); // nothing was wiped
}

} // namespace
