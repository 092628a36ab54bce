// The command line: its parts, then the built program run on a copy of the demo
// with a settings folder of its own, so that the user's settings stay untouched.

#include "../engine/NamedRows.h"
#include "../engine/TestTables.h"
#include "CliRequest.h"
#include "JsonWriter.h"
#include "UnifiedDiff.h"

#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace testing_tables;
using testing_tables::PrintTo;

// `text` with each "<name>" of `values` replaced.
std::string Fill(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [name, value] : values)
        for (std::size_t at; (at = text.find(name)) != std::string::npos;)
            text.replace(at, name.size(), value);
    return text;
}

// `line` cut at its blanks, as a shell would.
std::string Parse(const std::string& line, CCliRequest& request) {
    std::istringstream in(line);
    const std::vector<std::string> args{std::istream_iterator<std::string>(in), {}};
    std::vector<const char*> argv{"glosscutter-cli"};
    for (const auto& arg : args)
        argv.push_back(arg.c_str());
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), request);
}

// The request as one line, so that a row can say what it expects.
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

const std::string kEight = [] {
    std::string eight;
    for (int i = 1; i <= 8; ++i)
        eight += " --source-folder /" + std::to_string(i);
    return eight;
}();

// The request as Describe gives it, "<cwd>" for the current folder; empty:
// the line is refused.
using ParseRow = CaseRow<std::string>;

// Paths come out absolute and lexically normal: ".." drops the name, whatever it is.
const ParseRow kParseRows[] = {
    {"no options", "scan", "scan"},
    {"every scan option",
     "scan --keyword-file k.h --source-folder /s/a --source-folder /s/b --skipped-file /s/a/x.c "
     "--format json --unused --check",
     "scan k=k.h f=/s/a,/s/b s=/s/a/x.c json unused check"},
    {"with equals signs", "scan --keyword-file=k.h --source-folder=/s/a --format=json",
     "scan k=k.h f=/s/a json"},
    {"eight folders", "scan" + kEight, "scan f=/1,/2,/3,/4,/5,/6,/7,/8"},
    {"wipe options", "wipe --operation remove --dry-run", "wipe op=2 dry"},
    {"wipe with equals signs", "wipe --operation=mark --skipped-file=/x.c", "wipe s=/x.c op=1"},
    {"help", "--help", "help"},
    {"help after a command", "scan --help", "help"},
    {"version", "--version", "version"},
    {"relative paths", "scan --source-folder a//b/./c/../d/ --skipped-file .",
     "scan f=<cwd>/a/b/d s=<cwd>"},
    {"dot dot over a link", "scan --source-folder /no/such/link/../y --skipped-file /",
     "scan f=/no/such/y s=/"},
    {"nothing", "", ""},
    {"unknown command", "scna", ""},
    {"unknown option", "scan --bogus", ""},
    {"value missing", "scan --keyword-file", ""},
    {"empty file", "scan --keyword-file=", ""},
    {"empty folder", "scan --source-folder=", ""},
    {"unknown format", "scan --format xml", ""},
    {"unknown operation", "wipe --operation delete", ""},
    {"value for a flag", "scan --check=yes", ""},
    {"scan option for wipe", "wipe --check", ""},
    {"wipe option for scan", "scan --dry-run", ""},
    {"nine folders", "scan" + kEight + " --source-folder /9", ""},
};

class CliParse : public testing::TestWithParam<ParseRow> {};

TEST_P(CliParse, ReadsValidFormsAndRejectsTheRest) {
    CCliRequest request;
    const bool bParsed = Parse(GetParam().input, request).empty();
    EXPECT_EQ(bParsed, !GetParam().expected.empty());
    EXPECT_TRUE(!bParsed ||
                Describe(request) == Fill(GetParam().expected, {{"<cwd>", fs::current_path()}}))
        << Describe(request);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliParse, testing::ValuesIn(kParseRows), kRowName);

using JsonRow = CaseRow<std::string>;

const std::string kBad = "\xEF\xBF\xBD"; // U+FFFD

// Control bytes are escaped; what is no UTF-8 becomes U+FFFD, byte by byte.
const JsonRow kJsonRows[] = {
    {"escapes", "\"\\ \n\t\r \x01\x1f", R"("\"\\ \n\t\r \u0001\u001f")"},
    {"NUL", std::string("a\0b", 3), R"("a\u0000b")"},
    {"valid UTF-8", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",
     "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\""},
    {"lone continuation byte", "a\x80z", "\"a" + kBad + "z\""},
    {"never leads", "\xFF", "\"" + kBad + "\""},
    {"overlong 2", "\xC0\xAF", "\"" + kBad + kBad + "\""},
    {"overlong 3", "\xE0\x80\xAF", "\"" + kBad + kBad + kBad + "\""},
    {"surrogate", "\xED\xA0\x80", "\"" + kBad + kBad + kBad + "\""},
    {"above U+10FFFF", "\xF4\x90\x80\x80", "\"" + kBad + kBad + kBad + kBad + "\""},
    {"cut short at the end", "ab\xE2\x82", "\"ab" + kBad + kBad + "\""},
    {"cut short by ASCII", "\xE2\x82x", "\"" + kBad + kBad + "x\""},
};

class CliJsonString : public testing::TestWithParam<JsonRow> {};

TEST_P(CliJsonString, EscapesAndRepairsText) {
    std::string json = "[";
    AppendJsonString(json, GetParam().input);
    EXPECT_EQ(json, "[" + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliJsonString, testing::ValuesIn(kJsonRows), kRowName);

const std::string kNumbered = "l1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9\nl10\nl11\nl12\nl13\nl14\n";

struct DiffRow {
    const char* name;
    std::string text;
    const char* fates; // a letter a line: . keep, M mark, R remove
    std::string hunks; // after the two file lines
};

const DiffRow kDiffRows[] = {
    {"seven apart share a hunk", kNumbered, ".R......R.....",
     "@@ -1,12 +1,10 @@\n l1\n-l2\n l3\n l4\n l5\n l6\n l7\n l8\n-l9\n l10\n l11\n l12\n"},
    {"eight apart do not", kNumbered, ".R.......R....",
     "@@ -1,5 +1,4 @@\n l1\n-l2\n l3\n l4\n l5\n@@ -7,7 +6,6 @@\n l7\n l8\n l9\n-l10\n l11\n "
     "l12\n l13\n"},
    {"no final break", "a\nb", ".M",
     "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+// GlossCutter //b\n\\ No newline "
     "at end of file\n"},
    {"all removed", "x\n", "R", "@@ -1,1 +0,0 @@\n-x\n"},
    // The line's own break, so that the diff applies to the file; a lone CR gets an LF.
    {"own breaks", "a\r\nb\rc\n", "M..",
     "@@ -1,3 +1,3 @@\n-a\r\n+// GlossCutter //a\r\n b\r\n c\n"},
    {"no change", "a\nb\n", "..", ""},
};

class CliWipeDiff : public testing::TestWithParam<DiffRow> {};

TEST_P(CliWipeDiff, PrintsHunksWithThreeLinesOfContext) {
    std::vector<LineFate> fates;
    for (const char c : std::string_view(GetParam().fates))
        fates.push_back(static_cast<LineFate>(std::string_view(".MR").find(c)));
    std::ostringstream out;
    WriteWipeDiff(out, "k.h", Lines(GetParam().text), fates);
    EXPECT_EQ(out.str(), GetParam().hunks.empty() ? "" : "--- k.h\n+++ k.h\n" + GetParam().hunks);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliWipeDiff, testing::ValuesIn(kDiffRows), kRowName);

// The text without white space: the JSON report's layout is free.
std::string Squeeze(std::string text) {
    std::erase_if(text, [](unsigned char c) { return std::isspace(c); });
    return text;
}

class CliRun : public testing::Test {
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

    // Runs the program in `root` through the shell, which sets the folder, the
    // environment and the redirections in one line; no path here needs
    // quoting. Its exit status, standard output and standard error.
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

struct RunRow {
    const char* name;
    std::string args; // <scan> is a scan of the demo; <root>, <texts>, <src> its paths
    int status;
    std::string out; // standard output ends so
};

const std::string kWarning = ": warning: unused keyword ";

const RunRow kRunRows[] = {
    {"scan", "<scan>", 0,
     "<texts>:12" + kWarning + "gCloseFile \"Close\"\n<texts>:13" + kWarning +
         "gPrint \"\"Print...\"              \"\n<texts>:14" + kWarning +
         "gPrintPreview \"Print preview\"\n15 keywords, 3 unused, 5 files scanned\n"},
    {"check finds unused", "<scan> --check", 1, "15 keywords, 3 unused, 5 files scanned\n"},
    {"check finds none", "scan --check --keyword-file <root>/used.h --source-folder <src>", 0,
     "2 keywords, 0 unused, 5 files scanned\n"},
    // The skipped file holds the only uses of three keywords.
    {"relative paths, skipped file",
     "scan --keyword-file demo/texts.h --source-folder demo/src --skipped-file "
     "demo/src/file/open.c",
     0, "15 keywords, 6 unused, 4 files scanned\n"},
    {"missing keyword file", "scan --keyword-file <root>/none.h", 2, ""},
    {"folder as keyword file", "scan --keyword-file <src>", 2, ""},
    {"no keyword file anywhere", "scan --source-folder <src>", 2, ""},
    {"bad option", "<scan> --bogus", 2, ""},
    {"help", "--help", 0, "Exit status: 0 done, 1 unused keywords found (--check), 2 error.\n"},
    {"version", "--version", 0, "GlossCutter Version " GLOSSCUTTER_VERSION "\n"},
};

class CliRunRows : public CliRun, public testing::WithParamInterface<RunRow> {};

// The text report warns of each unused keyword, then sums up. Errors say why on
// standard error and print nothing else; nothing else writes there.
TEST_P(CliRunRows, TextReportAndExitStatus) {
    dir.Put("used.h", "#define sOpenFile \"Open\"\n// #define sGone \"\"\n");
    const std::map<std::string, std::string> paths = {
        {"<scan>", scan}, {"<root>", root}, {"<texts>", texts}, {"<src>", src}};
    const RunRow& row = GetParam();
    const auto [status, out, err] = Run(Fill(row.args, paths));
    EXPECT_EQ(status, row.status) << err;
    EXPECT_EQ(err.empty(), row.status != 2) << err;
    EXPECT_TRUE(out.ends_with(Fill(row.out, paths))) << out;
    EXPECT_TRUE(row.status != 2 || out.empty()) << out;
}

INSTANTIATE_TEST_SUITE_P(Rows, CliRunRows, testing::ValuesIn(kRunRows), kRowName);

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

struct WipeRow {
    const char* name;
    const char* options;
    const char* setting; // the operation stored, if any
    bool remove;
    const char* hunk; // the dry run's first, which holds every change
};

const WipeRow kWipeRows[] = {
    {"default mark", "", "", false, "@@ -9,9 +9,9 @@\n"},
    {"setting remove", "", "2", true, "@@ -9,18 +9,13 @@\n"},
    {"command line wins", " --operation mark", "2", false, "@@ -9,9 +9,9 @@\n"},
};

class CliWipeRows : public CliRun, public testing::WithParamInterface<WipeRow> {};

// A dry run first, which prints the diff and writes nothing; then the wipe, after
// which a check finds every keyword used or marked.
TEST_P(CliWipeRows, WipeBacksUpThenMarksOrRemovesUnusedKeywords) {
    const WipeRow& row = GetParam();
    std::string expected;
    const CLineArray lines = Lines(original);
    for (int n = 1; n <= int(lines.size()); ++n) {
        const bool unused = n >= 12 && n <= 14, marked = n == 21 || n == 23;
        if (!row.remove || !(unused || marked))
            expected += (unused ? "// GlossCutter //" : "") + lines[n - 1].m_strText + "\n";
    }
    if (*row.setting != '\0')
        WriteSettings(std::string("[General]\nunused%20keywords%20operation=") + row.setting);
    const std::string wipe =
        "wipe --keyword-file " + texts + " --source-folder " + src + row.options;
    const auto [status, out, err] = Run(wipe + " --dry-run");
    EXPECT_TRUE(status == 0 && out.starts_with("--- " + texts + "\n+++ " + texts + "\n" + row.hunk))
        << out;
    EXPECT_EQ(FolderFiles(root + "/demo"), (Files{{"src", "<not a file>"}, {"texts.h", original}}));
    ASSERT_EQ(std::get<0>(Run(wipe)), 0);
    EXPECT_EQ(ReadFile(texts), expected);
    EXPECT_EQ(ReadFile(root + "/demo/texts.bak"), original);
    EXPECT_EQ(std::get<0>(Run(scan + " --check")), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliWipeRows, testing::ValuesIn(kWipeRows), kRowName);

} // namespace
