// The wipe when something fails on the way: whatever breaks, the keyword file
// is entirely old (or the user's own newer bytes), the backup holds the old
// bytes when it exists, no temporary file is left, and the reason reaches the
// user. Each case runs in a child process, so that limits, faults and dropped
// privileges end with it.

#include "FaultInjection.h"
#include "GlossCutterDoc.h"
#include "NamedRows.h"
#include "TestTables.h"
#include "Wipe.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

using namespace testing_tables;
using faults::Call;
using faults::kShortWrite;
using testing_tables::PrintTo;

// Three pages exactly, so that marking a line needs one more.
std::string OldKeywords() {
    std::string text;
    for (int i = 0; text.size() < 12000; ++i)
        text += "#define sK" + std::to_string(i) + " \"text " + std::to_string(i) + "\"\r\n";
    return text + std::string(12288 - 1 - text.size(), '/') + "\n";
}

// `old` with lines 2, 40 and 41 marked, as the cases tick them.
std::string Marked(const std::string& old) {
    CLineArray lines;
    ReadLines(old, lines);
    for (const int line : {2, 40, 41})
        lines.at(line - 1).m_strText.insert(0, kWipeMarker);
    return JoinLines(lines);
}

const std::string kEdited = "#define sMine \"saved by an editor meanwhile\"\n";

// The keyword file of the case that runs, for the faults that edit it.
std::string g_strKeywordFile;

void EditKeywordFile() {
    WriteFile(g_strKeywordFile, kEdited);
}

enum class Setup {
    None,
    SizeLimitOfTheOldFile, // the backup fits, the longer new file does not
    SizeLimitHalf,         // not even the backup fits
    ReadOnlyFolder,
    ReadOnlyFile,
};

struct FaultCase {
    const char* name;
    std::vector<faults::Fault> faults;
    Setup setup;
    WipeStatus status;
    int error;                    // the errno the user is told of; 0 for none
    bool bBackup;                 // the backup exists, with the old bytes
    const char* keywords = "old"; // what the keyword file holds after: "old", "new", "edited"
};

// Call 1 of each kind belongs to the backup, call 2 to the new keyword file;
// of fsync, 1 and 2 are the backup and its folder, 3 and 4 the new file and its.
// clang-format off
const FaultCase kCases[] = {
    {"backup no temporary file", {{Call::Mkostemp, 1, ENOSPC}}, Setup::None, WipeStatus::BackupFailed, ENOSPC, false},
    {"backup write", {{Call::Write, 1, EIO}}, Setup::None, WipeStatus::BackupFailed, EIO, false},
    {"backup fsync", {{Call::Fsync, 1, EIO}}, Setup::None, WipeStatus::BackupFailed, EIO, false},
    {"backup rename", {{Call::Rename, 1, EIO}}, Setup::None, WipeStatus::BackupFailed, EIO, false},
    {"new file no temporary file", {{Call::Mkostemp, 2, EMFILE}}, Setup::None, WipeStatus::WriteFailed, EMFILE, true},
    {"new file first write", {{Call::Write, 2, ENOSPC}}, Setup::None, WipeStatus::WriteFailed, ENOSPC, true},
    {"new file middle write", {{Call::Write, 2, kShortWrite}, {Call::Write, 3, kShortWrite}, {Call::Write, 4, EDQUOT}},
     Setup::None, WipeStatus::WriteFailed, EDQUOT, true},
    {"new file permissions", {{Call::Fchmod, 2, EPERM}}, Setup::None, WipeStatus::WriteFailed, EPERM, true},
    {"new file fsync", {{Call::Fsync, 3, EIO}}, Setup::None, WipeStatus::WriteFailed, EIO, true},
    {"new file close", {{Call::CloseTemporary, 2, EIO}}, Setup::None, WipeStatus::WriteFailed, EIO, true},
    {"new file rename", {{Call::Rename, 2, EXDEV}}, Setup::None, WipeStatus::WriteFailed, EXDEV, true},
    {"edited while the new file is synced", {{Call::Fsync, 3, 0, EditKeywordFile}}, Setup::None,
     WipeStatus::FileChanged, 0, true, "edited"},
    // The new content is in place by then; only its durability is less sure.
    {"folder sync after the rename", {{Call::Fsync, 4, EIO}}, Setup::None, WipeStatus::Done, 0, true, "new"},
    {"size limit between backup and new file", {}, Setup::SizeLimitOfTheOldFile, WipeStatus::WriteFailed, EFBIG, true},
    {"size limit below the backup", {}, Setup::SizeLimitHalf, WipeStatus::BackupFailed, EFBIG, false},
    {"read-only folder", {}, Setup::ReadOnlyFolder, WipeStatus::BackupFailed, EACCES, false},
    {"read-only file", {}, Setup::ReadOnlyFile, WipeStatus::WriteFailed, EACCES, true},
};
// clang-format on

struct ChildResult {
    int status = -1;
    int error = 0;
    char describe[1024] = {};
};

// The keyword file loaded, with lines 2, 40 and 41 ticked.
std::unique_ptr<CGlossCutterDoc> LoadAndTick(const std::string& path) {
    auto doc = std::make_unique<CGlossCutterDoc>();
    EXPECT_TRUE(doc->Load({path, {}, {}}));
    for (const auto& keyword : doc->m_arrKeywords)
        keyword->SetChecked(keyword->m_nLine == 2 || keyword->m_nLine == 40 ||
                            keyword->m_nLine == 41);
    return doc;
}

// Wipes in a child process and brings back what it reported.
ChildResult WipeInChild(const FaultCase& c, const std::string& path, const CGlossCutterDoc& doc) {
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        ::signal(SIGXFSZ, SIG_IGN); // as the programs do: a size limit is an error, not a kill
        if (::geteuid() == 0 && !BecomeNobody())
            std::_Exit(3);
        if (c.setup == Setup::SizeLimitOfTheOldFile || c.setup == Setup::SizeLimitHalf) {
            const rlim_t limit = c.setup == Setup::SizeLimitHalf ? 6000 : 12288;
            const rlimit r{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }
        faults::Arm(c.faults);
        const CWipeResult result = WipeKeywords(doc.MakeWipeRequest(path, WIPE_MARK));
        faults::Arm({});
        ChildResult out;
        out.status = static_cast<int>(result.m_nStatus);
        out.error = result.m_error.value();
        result.Describe(path).copy(out.describe, sizeof out.describe - 1);
        const bool bSent = ::write(channel[1], &out, sizeof out) == ssize_t(sizeof out);
        std::_Exit(bSent ? 0 : 4);
    }
    ::close(channel[1]);
    ChildResult in;
    const bool bRead = ::read(channel[0], &in, sizeof in) == ssize_t(sizeof in);
    ::close(channel[0]);
    int wait = 0;
    ::waitpid(pid, &wait, 0);
    EXPECT_TRUE(bRead && WIFEXITED(wait) && WEXITSTATUS(wait) == 0) << "child status " << wait;
    return in;
}

class WipeFault : public testing::TestWithParam<FaultCase> {};

TEST_P(WipeFault, KeywordFileEntirelyOldBackupExactNoTemporaryAndTheReasonTold) {
    const FaultCase& c = GetParam();
    TempDir dir;
    const std::string folder = dir / "keys", old = OldKeywords();
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = g_strKeywordFile = dir.Put("keys/keys.h", old);
    ASSERT_EQ(old.size(), 12288u);

    const auto doc = LoadAndTick(path);
    if (::geteuid() == 0) { // the child works as nobody; the folder must be theirs
        const auto nobody = NobodyIds();
        ASSERT_TRUE(nobody);
        for (const std::string& p : {dir.root, folder, path})
            ASSERT_EQ(::chown(p.c_str(), nobody->first, nobody->second), 0) << p;
    }
    if (c.setup == Setup::ReadOnlyFolder) {
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    } else if (c.setup == Setup::ReadOnlyFile) {
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    }

    const ChildResult result = WipeInChild(c, path, *doc);
    ::chmod(folder.c_str(), 0755);

    EXPECT_EQ(result.status, static_cast<int>(c.status)) << result.describe;
    EXPECT_EQ(result.error, c.error) << result.describe;
    if (c.error != 0) {
        EXPECT_NE(std::string(result.describe).find(std::system_category().message(c.error)),
                  std::string::npos)
            << result.describe;
    }
    // Each file by what it holds, so that a failure reads briefly.
    const auto label = [&](const std::string& bytes) -> std::string {
        return bytes == old           ? "old"
               : bytes == kEdited     ? "edited"
               : bytes == Marked(old) ? "new"
                                      : "other";
    };
    std::map<std::string, std::string> expected = {{"keys.h", c.keywords}};
    if (c.bBackup)
        expected["keys.bak"] = "old";
    std::map<std::string, std::string> found;
    for (const auto& [name, bytes] : FolderFiles(folder))
        found[name] = label(bytes);
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, WipeFault, testing::ValuesIn(kCases), kRowName);

// Without faults the same wipe succeeds: the cases above fail for their fault alone.
TEST(WipeFault, WithoutFaultsTheWipeMarksTheTickedLines) {
    TempDir dir;
    const std::string old = OldKeywords(), path = dir.Put("keys.h", old);
    faults::Arm({});
    const CWipeResult result = WipeKeywords(LoadAndTick(path)->MakeWipeRequest(path, WIPE_MARK));
    ASSERT_TRUE(result.Succeeded()) << result.Describe(path);
    EXPECT_TRUE(FolderFiles(dir.root) == (Files{{"keys.h", Marked(old)}, {"keys.bak", old}}));
}

} // namespace
