// The command line: its parts, then the built program run on a copy of the demo
// with a settings folder of its own, so that the user's settings stay untouched.

#include "../engine/TestTables.h"
#include "CliRequest.h"
#include "JsonWriter.h"
#include "UnifiedDiff.h"
#include "Wipe.h"

#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace testing_tables;
using Args = std::vector<std::string>;

// `line` cut at its blanks, as a shell would.
std::string Parse(const std::string& line, CCliRequest& request) {
    std::vector<const char*> argv{"glosscutter-cli"};
    std::istringstream in(line);
    Args args{std::istream_iterator<std::string>(in), {}};
    for (const auto& arg : args)
        argv.push_back(arg.c_str());
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), request);
}

// The request as one line, so that a table row can say what it expects.
std::string Describe(const CCliRequest& r) {
    static const char* const kCommands[] = {"scan", "wipe", "help", "version"};
    std::string s = kCommands[static_cast<int>(r.m_nCommand)];
    if (r.m_strKeywordFile)
        s += " k=" + *r.m_strKeywordFile;
    for (const auto& [tag, list] :
         {std::pair{" f=", &r.m_listSourceFolders}, {" s=", &r.m_listSkippedFiles}})
        for (std::size_t i = 0; *list && i < (*list)->size(); ++i)
            s += (i == 0 ? tag : ",") + (**list)[i];
    s += r.m_nFormat == ReportFormat::Json ? " json" : "";
    s += std::string(r.m_bUnusedOnly ? " unused" : "") + (r.m_bCheck ? " check" : "");
    s += r.m_nOperation ? " op=" + std::to_string(*r.m_nOperation) : "";
    return s + (r.m_bDryRun ? " dry" : "");
}

// Paths come out absolute and lexically normal: ".." drops the name, whatever it is.
TEST(CliParse, ReadsValidFormsAndRejectsTheRest) {
    const std::string cwd = fs::current_path().string();
    std::string eight = "scan";
    for (int i = 1; i <= 8; ++i)
        eight += " --source-folder /" + std::to_string(i);
    const std::string nine = eight + " --source-folder /9";
    const std::pair<std::string, std::string> rows[] = {
        {"scan", "scan"}, // every setting left alone
        {"scan --keyword-file k.h --source-folder /s/a --source-folder /s/b --skipped-file "
         "/s/a/x.c --format json --unused --check",
         "scan k=k.h f=/s/a,/s/b s=/s/a/x.c json unused check"},
        {"scan --keyword-file=k.h --source-folder=/s/a --format=json", "scan k=k.h f=/s/a json"},
        {eight, "scan f=/1,/2,/3,/4,/5,/6,/7,/8"},
        {"wipe --operation remove --dry-run", "wipe op=2 dry"},
        {"wipe --operation=mark --skipped-file=/x.c", "wipe s=/x.c op=1"},
        {"--help", "help"},
        {"scan --help", "help"},
        {"--version", "version"},
        {"scan --source-folder a//b/./c/../d/ --skipped-file .",
         "scan f=" + cwd + "/a/b/d s=" + cwd},
        {"scan --source-folder /no/such/link/../y --skipped-file /", "scan f=/no/such/y s=/"}};
    for (const auto& [line, expected] : rows) {
        CCliRequest request;
        EXPECT_EQ(Parse(line, request), "") << line;
        EXPECT_EQ(Describe(request), expected);
    }
    for (const std::string line :
         {"", "scna", "scan --bogus", "scan --keyword-file",
          "scan --keyword-file=", "scan --source-folder=", "scan --format xml",
          "wipe --operation delete", "scan --check=yes", "wipe --format json", "wipe --unused",
          "wipe --check", "scan --operation mark", "scan --dry-run", nine.c_str()}) {
        CCliRequest request;
        EXPECT_NE(Parse(line, request), "") << line;
    }
}

// Control bytes are escaped; what is no UTF-8 becomes U+FFFD, byte by byte.
TEST(CliJsonString, EscapesAndRepairsText) {
    const std::string bad = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> rows[] = {
        {"\"\\ \n\t\r \x01\x1f", R"("\"\\ \n\t\r \u0001\u001f")"},
        {std::string("a\0b", 3), R"("a\u0000b")"},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",
         "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\""},
        {"a\x80z", "\"a" + bad + "z\""},                           // lone continuation byte
        {"\xFF", "\"" + bad + "\""},                               // never leads
        {"\xC0\xAF", "\"" + bad + bad + "\""},                     // overlong
        {"\xE0\x80\xAF", "\"" + bad + bad + bad + "\""},           // overlong
        {"\xED\xA0\x80", "\"" + bad + bad + bad + "\""},           // surrogate
        {"\xF4\x90\x80\x80", "\"" + bad + bad + bad + bad + "\""}, // above U+10FFFF
        {"ab\xE2\x82", "\"ab" + bad + bad + "\""},                 // cut short at the end
        {"\xE2\x82x", "\"" + bad + bad + "x\""}};                  // cut short by ASCII
    for (const auto& [in, expected] : rows)
        EXPECT_EQ(JsonString(in), expected) << testing::PrintToString(in);
}

// Fates are one letter a line: . keep, M mark, R remove.
TEST(CliWipeDiff, PrintsHunksWithThreeLinesOfContext) {
    std::string numbered; // "l1\n" to "l14\n"
    for (int i = 1; i <= 14; ++i)
        numbered += "l" + std::to_string(i) + "\n";
    const std::string head = "--- k.h\n+++ k.h\n";
    const std::tuple<std::string, std::string, std::string> rows[] = {
        // Changes seven lines apart share a hunk, eight apart do not.
        {numbered, ".R......R.....",
         head +
             "@@ -1,12 +1,10 @@\n l1\n-l2\n l3\n l4\n l5\n l6\n l7\n l8\n-l9\n l10\n l11\n l12\n"},
        {numbered, ".R.......R....",
         head + "@@ -1,5 +1,4 @@\n l1\n-l2\n l3\n l4\n l5\n" +
             "@@ -7,7 +6,6 @@\n l7\n l8\n l9\n-l10\n l11\n l12\n l13\n"},
        {"a\nb", ".M",
         head + "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n" +
             "+// GlossCutter //b\n\\ No newline at end of file\n"},
        {"x\n", "R", head + "@@ -1,1 +0,0 @@\n-x\n"},
        // The line's own break, so that the diff applies to the file; a lone CR gets an LF.
        {"a\r\nb\rc\n", "M..", head + "@@ -1,3 +1,3 @@\n-a\r\n+// GlossCutter //a\r\n b\r\n c\n"},
        {"a\nb\n", "..", ""}};
    for (const auto& [text, letters, expected] : rows) {
        std::vector<LineFate> fates;
        for (char c : letters)
            fates.push_back(static_cast<LineFate>(std::string_view(".MR").find(c)));
        std::ostringstream out;
        WriteWipeDiff(out, "k.h", Lines(text), fates);
        EXPECT_EQ(out.str(), expected) << letters;
    }
}

// The text without white space, so that checks need not care how the JSON report
// is laid out.
std::string Squeeze(std::string text) {
    std::erase_if(text, [](unsigned char c) { return std::isspace(c); });
    return text;
}

class CliRun : public ::testing::Test {
protected:
    TempDir dir;
    const std::string root = fs::path(dir.root).lexically_normal().string();
    const std::string texts = root + "/demo/texts.h", src = root + "/demo/src";
    const std::string scan = "scan --keyword-file " + texts + " --source-folder " + src;
    std::string original;

    void SetUp() override {
        fs::copy(GLOSSCUTTER_EXAMPLES "/demo", root + "/demo", fs::copy_options::recursive);
        original = ReadFile(texts);
        ASSERT_FALSE(original.empty());
    }

    void WriteSettings(const std::string& ini) const {
        dir.Put("config/GlossCutter/GlossCutter.conf", ini);
    }

    // Runs the program in `root` through the shell; no path here needs quoting.
    // Its exit status, standard output and standard error. The shell is wanted:
    // it sets the folder, the environment and the redirections in one line.
    std::tuple<int, std::string, std::string> Run(const std::string& args) const {
        const std::string command = "cd " + root + " && XDG_CONFIG_HOME=" + root +
                                    "/config HOME=" + root + "/home " GLOSSCUTTER_CLI " " + args +
                                    " >stdout 2>stderr";
        const int status = std::system(command.c_str()); // NOLINT(cert-env33-c)
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root + "/stdout"),
                ReadFile(root + "/stderr")};
    }
};

// Keywords come in line order, each with its uses; an untidy folder path still
// gives file paths of the normal form.
TEST_F(CliRun, JsonReportListsKeywordsByLineWithTheirUses) {
    const std::string keys = dir.Put("json/keys.h", "#define sZ \"Z\"\n// #define sA \"A\"\n"
                                                    "#define sB \"B\\\"\"\n");
    const std::string file = dir.Put("json/src/a.c", "gZ(gZ)\n\ngZ;");
    const std::string head = R"({"keywordFile": ")" + keys + R"(", "keywords": [)";
    const std::string unused =
        R"({"line": 3, "symbol": "gB", "value": "B\\\"", "marked": false, "uses": []})";
    const std::string tail = R"(], "summary": {"keywords": 3, "unused": 1, "files": 1}})";
    const std::string use = R"({"file": ")" + file + R"(", "line": )";
    const std::string all =
        head + R"({"line": 1, "symbol": "gZ", "value": "Z", "marked": false, "uses": [)" + use +
        "1}, " + use + "1}, " + use + "3}]}, " +
        R"({"line": 2, "symbol": "gA", "value": "A", "marked": true, "uses": []}, )" + unused +
        tail;
    const std::string args = "scan --format json --keyword-file " + keys + " --source-folder " +
                             root + "/json//src/./x/../";
    EXPECT_EQ(Squeeze(std::get<1>(Run(args))), Squeeze(all));
    EXPECT_EQ(Squeeze(std::get<1>(Run(args + " --unused"))), Squeeze(head + unused + tail));
}

// The text report warns of each unused keyword, then sums up. Errors say why on
// standard error and print nothing else; nothing else writes there.
TEST_F(CliRun, TextReportAndExitStatus) {
    const std::string warning = ": warning: unused keyword ";
    const std::string used =
        dir.Put("used.h", "#define sOpenFile \"Open\"\n// #define sGone \"\"\n");
    const struct {
        std::string args;
        int status;
        std::string out; // standard output ends so
    } rows[] = {
        // clang-format off
        {scan, 0, texts + ":12" + warning + "gCloseFile \"Close\"\n" + texts + ":13" + warning +
             "gPrint \"\"Print...\"              \"\n" + texts + ":14" + warning +
             "gPrintPreview \"Print preview\"\n15 keywords, 3 unused, 5 files scanned\n"},
        {scan + " --check", 1, "15 keywords, 3 unused, 5 files scanned\n"},
        {"scan --check --keyword-file " + used + " --source-folder " + src, 0,
         "2 keywords, 0 unused, 5 files scanned\n"},
        // Relative paths; the skipped file holds the only uses of three keywords.
        {"scan --keyword-file demo/texts.h --source-folder demo/src --skipped-file "
         "demo/src/file/open.c", 0, "15 keywords, 6 unused, 4 files scanned\n"},
        {"scan --keyword-file " + root + "/none.h", 2, ""},
        {"scan --keyword-file " + src, 2, ""},  // a folder
        {"scan --source-folder " + src, 2, ""}, // no keyword file anywhere
        {scan + " --bogus", 2, ""},
        {"--help", 0, "Exit status: 0 done, 1 unused keywords found (--check), 2 error.\n"},
        {"--version", 0, "GlossCutter Version 0.78.1.1\n"},
    }; // clang-format on
    for (const auto& row : rows) {
        const auto [status, out, err] = Run(row.args);
        EXPECT_EQ(status, row.status) << row.args << "\n" << err;
        EXPECT_EQ(err.empty(), row.status != 2) << row.args << "\n" << err;
        EXPECT_TRUE(out.ends_with(row.out)) << row.args << "\n" << out;
        EXPECT_TRUE(row.status != 2 || out.empty()) << row.args << "\n" << out;
    }
}

// Each group the command line gives replaces the whole group of the settings.
TEST_F(CliRun, SettingsFillInWhatTheCommandLineLeavesOut) {
    const std::string edit = src + "/edit", file = src + "/file", open = file + "/open.c";
    WriteSettings("[General]\nkeyword%20file=\"" + texts + "\"\n[source%20folder]\n0=\"" + edit +
                  "\"\n1=\"" + file + "\"\n[skipped%20file]\n0=\"" + open + "\"\n");
    const auto [status, out, err] = Run("scan");
    EXPECT_TRUE(status == 0 && out.ends_with("15 keywords, 9 unused, 3 files scanned\n")) << err;
    EXPECT_EQ(out, std::get<1>(Run("scan --keyword-file " + texts + " --source-folder " + edit +
                                   " --source-folder " + file + " --skipped-file " + open)));
    EXPECT_EQ(
        std::get<1>(Run("scan --source-folder " + src + " --skipped-file " + src + "/main.c")),
        std::get<1>(Run(scan + " --skipped-file " + src + "/main.c")));
}

// A dry run first, which prints the diff and writes nothing; then the wipe, after
// which a check finds every keyword used or marked.
TEST_F(CliRun, WipeBacksUpThenMarksOrRemovesUnusedKeywords) {
    const struct {
        const char *options, *setting; // the operation stored, if any
        bool remove;
        const char* hunk; // the dry run's first, which holds every change
    } rows[] = {{"", "", false, "@@ -9,9 +9,9 @@\n"},
                {"", "2", true, "@@ -9,18 +9,13 @@\n"},
                {" --operation mark", "2", false, "@@ -9,9 +9,9 @@\n"}}; // the command line wins
    const CLineArray lines = Lines(original);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.options) + " setting " + row.setting);
        std::string expected;
        for (int n = 1; n <= int(lines.size()); ++n) {
            const bool unused = n >= 12 && n <= 14, marked = n == 21 || n == 23;
            if (!row.remove || !(unused || marked))
                expected += (unused ? "// GlossCutter //" : "") + lines[n - 1].m_strText + "\n";
        }
        WriteFile(texts, original);
        fs::remove(root + "/demo/texts.bak");
        WriteSettings(
            std::string(*row.setting != '\0' ? "[General]\nunused%20keywords%20operation=" : "") +
            row.setting);
        const std::string wipe =
            "wipe --keyword-file " + texts + " --source-folder " + src + row.options;
        const auto [status, out, err] = Run(wipe + " --dry-run");
        EXPECT_TRUE(status == 0 &&
                    out.starts_with("--- " + texts + "\n+++ " + texts + "\n" + row.hunk))
            << out;
        EXPECT_EQ(FolderFiles(root + "/demo"),
                  (Files{{"src", "<not a file>"}, {"texts.h", original}}));
        ASSERT_EQ(std::get<0>(Run(wipe)), 0);
        EXPECT_EQ(ReadFile(texts), expected);
        EXPECT_EQ(ReadFile(root + "/demo/texts.bak"), original);
        EXPECT_EQ(std::get<0>(Run(scan + " --check")), 0);
    }
}

} // namespace
