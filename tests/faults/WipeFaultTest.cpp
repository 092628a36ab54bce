// The wipe when something fails: the keyword file is entirely old (or the user's
// newer bytes), a backup holds the old bytes, no temporary file is left, and the
// user is told the reason.

#include "FaultInjection.h"
#include "FileReplace.h"
#include "GlossCutterDoc.h"
#include "NamedRows.h"
#include "TestTables.h"
#include "Wipe.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using namespace testing_tables;
using faults::Call;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest

constexpr int kTicked[] = {2, 40, 41};

// Three pages exactly, so that marking a line needs one more.
std::string OldKeywords() {
    std::string text;
    for (int i = 0; text.size() < 12000; ++i)
        text += "#define sK" + std::to_string(i) + " \"text " + std::to_string(i) + "\"\r\n";
    return text + std::string(12288 - 1 - text.size(), '/') + "\n";
}

const std::string kEdited = "#define sMine \"saved by an editor meanwhile\"\n";
std::string g_strKeywordFile; // of the case that runs, for the fault that edits it

struct FaultCase {
    const char* name;
    std::vector<faults::Fault> faults;
    WipeStatus status;
    int error;         // the errno the user is told of; 0 for none
    const char* files; // the folder after, each file by its bytes: "old", "new" or "edited"
    rlim_t sizeLimit = RLIM_INFINITY;
    const char* readOnly = nullptr; // made read-only before the wipe: "keys" or "keys/keys.h"
    int signal = 0;                 // the signal the wipe ends with, once the file is whole
};

// Call 1 of each kind belongs to the backup, call 2 to the new keyword file;
// of fsync, 1 and 2 are the backup and its folder, 3 and 4 the new file and its.
// clang-format off
const FaultCase kCases[] = {
    {"no fault", {}, WipeStatus::Done, 0, "keys.bak=old keys.h=new"},
    {"backup no temporary file", {{Call::Mkostemp, 1, ENOSPC}}, WipeStatus::BackupFailed, ENOSPC, "keys.h=old"},
    {"backup write", {{Call::Write, 1, EIO}}, WipeStatus::BackupFailed, EIO, "keys.h=old"},
    {"backup fsync", {{Call::Fsync, 1, EIO}}, WipeStatus::BackupFailed, EIO, "keys.h=old"},
    {"backup rename", {{Call::Rename, 1, EIO}}, WipeStatus::BackupFailed, EIO, "keys.h=old"},
    {"new file no temporary file", {{Call::Mkostemp, 2, EMFILE}}, WipeStatus::WriteFailed, EMFILE, "keys.bak=old keys.h=old"},
    {"new file first write", {{Call::Write, 2, ENOSPC}}, WipeStatus::WriteFailed, ENOSPC, "keys.bak=old keys.h=old"},
    {"new file middle write", {{Call::Write, 2, faults::kShortWrite}, {Call::Write, 3, faults::kShortWrite}, {Call::Write, 4, EDQUOT}},
     WipeStatus::WriteFailed, EDQUOT, "keys.bak=old keys.h=old"},
    {"new file permissions", {{Call::Fchmod, 2, EPERM}}, WipeStatus::WriteFailed, EPERM, "keys.bak=old keys.h=old"},
    {"new file fsync", {{Call::Fsync, 3, EIO}}, WipeStatus::WriteFailed, EIO, "keys.bak=old keys.h=old"},
    {"new file close", {{Call::CloseTemporary, 2, EIO}}, WipeStatus::WriteFailed, EIO, "keys.bak=old keys.h=old"},
    {"new file rename", {{Call::Rename, 2, EXDEV}}, WipeStatus::WriteFailed, EXDEV, "keys.bak=old keys.h=old"},
    {"edited while the new file is synced", {{Call::Fsync, 3, 0, [] { WriteFile(g_strKeywordFile, kEdited); }}},
     WipeStatus::FileChanged, 0, "keys.bak=old keys.h=edited"},
    // The new content is in place by then; only its durability is less sure.
    {"folder sync after the rename", {{Call::Fsync, 4, EIO}}, WipeStatus::Done, 0, "keys.bak=old keys.h=new"},
    {"size limit between backup and new file", {}, WipeStatus::WriteFailed, EFBIG, "keys.bak=old keys.h=old", 12288},
    {"size limit below the backup", {}, WipeStatus::BackupFailed, EFBIG, "keys.h=old", 6000},
    {"read-only folder", {}, WipeStatus::BackupFailed, EACCES, "keys.h=old", RLIM_INFINITY, "keys"},
    // Refused before the backup, so that an older backup stays as it was.
    {"read-only file", {}, WipeStatus::Refused, static_cast<int>(files::FileError::WriteProtected), "keys.h=old", RLIM_INFINITY, "keys/keys.h"},
    // A signal waits until the file being written is in place, then ends the program.
    {"terminated while the new file is synced", {{Call::Fsync, 3, 0, [] { std::raise(SIGTERM); }}},
     WipeStatus::Done, 0, "keys.bak=old keys.h=new", RLIM_INFINITY, nullptr, SIGTERM},
    {"interrupted while the backup is written", {{Call::Write, 1, 0, [] { std::raise(SIGINT); }}},
     WipeStatus::Done, 0, "keys.bak=old keys.h=old", RLIM_INFINITY, nullptr, SIGINT},
    {"hung up before the backup's rename", {{Call::Rename, 1, 0, [] { std::raise(SIGHUP); }}},
     WipeStatus::Done, 0, "keys.bak=old keys.h=old", RLIM_INFINITY, nullptr, SIGHUP},
};
// clang-format on

// Wipes in a death test's child, without root's privileges; tells on stderr
// "<status> <errno>", " succeeded" if so, and the description if it lacks the reason.
[[noreturn]] void WipeAndTell(const FaultCase& c, const CWipeRequest& request) {
    ::signal(SIGXFSZ, SIG_IGN); // as the programs do: a size limit is an error, not a kill
    if (::geteuid() == 0 && !BecomeNobody())
        std::_Exit(3);
    const rlimit limit{c.sizeLimit, c.sizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    faults::Arm(c.faults);
    const CWipeResult result = WipeKeywords(request);
    faults::Arm({});
    const std::string describe = result.Describe(request.m_strKeywordFile);
    const bool bTold =
        c.error == 0 ||
        describe.find(std::error_code(c.error, result.m_error.category()).message()) !=
            std::string::npos;
    std::fprintf(stderr, "%d %d%s%s%s", static_cast<int>(result.m_nStatus), result.m_error.value(),
                 result.Succeeded() ? " succeeded" : "",
                 bTold ? "" : " untold: ", bTold ? "" : describe.c_str());
    std::_Exit(0);
}

class WipeFault : public testing::TestWithParam<FaultCase> {};

TEST_P(WipeFault, KeywordFileEntirelyOldBackupExactNoTemporaryAndTheReasonTold) {
    const FaultCase& c = GetParam();
    TempDir dir;
    const std::string old = OldKeywords(), path = g_strKeywordFile = dir.Put("keys/keys.h", old);
    CGlossCutterDoc doc;
    ASSERT_TRUE(doc.Load({path, {}, {}}));
    for (const auto& keyword : doc.m_arrKeywords)
        keyword->SetChecked(std::ranges::count(kTicked, keyword->m_nLine) != 0);
    if (::geteuid() == 0) { // the child works as nobody; the files must be theirs
        ASSERT_EQ(std::system(("chown -R nobody: " + dir.root).c_str()), 0); // NOLINT(cert-env33-c)
    }
    if (c.readOnly != nullptr) {
        ASSERT_EQ(::chmod((dir / c.readOnly).c_str(), 0555), 0);
    }

    const std::string told = std::to_string(static_cast<int>(c.status)) + " " +
                             std::to_string(c.error) +
                             (c.status == WipeStatus::Done ? " succeeded" : "");
    const auto ended = [&](int status) {
        return c.signal != 0 ? WIFSIGNALED(status) && WTERMSIG(status) == c.signal
                             : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    EXPECT_EXIT(WipeAndTell(c, doc.MakeWipeRequest(path, WIPE_MARK)), ended,
                testing::Eq(c.signal != 0 ? "" : told));

    CLineArray marked = Lines(old);
    for (const int line : kTicked)
        marked.at(line - 1).m_strText.insert(0, kWipeMarker);
    std::string found; // each file named briefly by what it holds
    for (const auto& [name, bytes] : FolderFiles(dir / "keys"))
        found += (found.empty() ? "" : " ") + name + "=" +
                 (bytes == old                 ? "old"
                  : bytes == kEdited           ? "edited"
                  : bytes == JoinLines(marked) ? "new"
                                               : "other");
    EXPECT_EQ(found, c.files);
}

INSTANTIATE_TEST_SUITE_P(Cases, WipeFault, testing::ValuesIn(kCases), kRowName);

} // namespace
