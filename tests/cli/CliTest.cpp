// The command line: its parts, then the built program run on a copy of the demo
// with a settings folder of its own, so that the user's settings stay untouched.

#include "../engine/NamedRows.h"
#include "../engine/TestTables.h"
#include "CliRequest.h"
#include "DescriptorBuffer.h"
#include "JsonWriter.h"
#include "Report.h"
#include "UnifiedDiff.h"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace testing_tables;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest
using Row = CaseRow<std::string>;

// `text` with each name of `values` replaced by its value.
std::string Fill(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [name, value] : values)
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name))
            text.replace(at, name.size(), value);
    return text;
}

// `line`, cut at its blanks, read as a request and told in one line, or why not.
std::string Parse(const std::string& line) {
    std::istringstream in(line);
    const std::vector<std::string> args{std::istream_iterator<std::string>(in), {}};
    std::vector<const char*> argv{"glosscutter-cli"};
    for (const auto& arg : args)
        argv.push_back(arg.c_str());
    CCliRequest r;
    if (const std::string error = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), r);
        !error.empty())
        return "! " + error;
    std::string s =
        std::array{"scan", "wipe", "init", "help", "version"}[static_cast<int>(r.m_nCommand)];
    s += r.m_strKeywordFile ? " k=" + *r.m_strKeywordFile : "";
    for (const auto& [tag, list] :
         {std::pair{" f=", &r.m_listSourceFolders}, {" s=", &r.m_listSkippedFiles}})
        for (std::size_t i = 0; *list && i < (*list)->size(); ++i)
            s += (i == 0 ? tag : ",") + (**list)[i];
    s += std::array{"", " json", " sarif"}[static_cast<int>(r.m_nFormat)];
    s += r.m_strSettingsFile ? " settings=" + *r.m_strSettingsFile : "";
    s += r.m_bNoSettings ? " none" : "";
    s += r.m_strBaselineFile ? " base=" + *r.m_strBaselineFile : "";
    s += r.m_strWriteBaselineFile ? " write=" + *r.m_strWriteBaselineFile : "";
    s += std::array{"", " always", " never"}[static_cast<int>(r.m_nColour)];
    s += r.m_bQuiet ? " quiet" : "";
    s += r.m_nThreads != 0 ? " threads=" + std::to_string(r.m_nThreads) : "";
    s += std::string(r.m_bUnusedOnly ? " unused" : "") + (r.m_bCheck ? " check" : "");
    s += r.m_bStrict ? " strict" : "";
    s += r.m_nOperation ? " op=" + std::to_string(*r.m_nOperation) : "";
    for (const auto& pattern : r.m_listKeptPatterns)
        s += " keep=" + pattern;
    return s + (r.m_bDryRun ? " dry" : "") + (r.m_bAllowUnreadable ? " allow" : "");
}

const std::string kEight = " --source-folder /usr --source-folder /etc --source-folder /dev "
                           "--source-folder /tmp --source-folder /var --source-folder /proc "
                           "--source-folder /usr --source-folder /";

// Paths come out absolute and lexically normal: ".." drops the name, whatever it is.
const Row kParseRows[] = {
    {"every scan option",
     "scan --keyword-file k.h --source-folder=/usr --source-folder /etc --skipped-file=/s/a/x.c "
     "--format=json --unused --check --strict --keep g* --keep=gA?",
     "scan k=k.h f=/usr,/etc s=/s/a/x.c json unused check strict keep=g* keep=gA?"},
    {"eight folders", "scan" + kEight, "scan f=/usr,/etc,/dev,/tmp,/var,/proc,/usr,/"},
    {"every wipe option",
     "wipe --keyword-file=k.h --operation remove --dry-run --skipped-file /x.c --allow-unreadable "
     "--strict",
     "wipe k=k.h s=/x.c strict op=2 dry allow"},
    {"every new scan option",
     "scan --settings p.conf --format sarif --baseline=b --write-baseline w --color never --quiet",
     "scan sarif settings=p.conf base=b write=w never quiet"},
    {"wipe takes a baseline and no settings", "wipe --no-settings --baseline b --quiet",
     "wipe none base=b quiet"},
    {"colour always", "scan --color=always", "scan always"},
    {"threads", "wipe --threads=1024", "wipe threads=1024"},
    {"no threads", "scan --threads 0", "! --threads must be a number from 1 to 1024, not \"0\""},
    {"too many threads", "scan --threads 1025",
     "! --threads must be a number from 1 to 1024, not \"1025\""},
    {"threads not a number", "scan --threads=+2",
     "! --threads must be a number from 1 to 1024, not \"+2\""},
    {"init", "init", "init"},
    {"init with an option", "init --keyword-file k.h",
     "! init takes no options, not --keyword-file"},
    {"settings and no settings", "scan --no-settings --settings p.conf",
     "! --settings and --no-settings exclude each other"},
    {"unknown colour", "scan --color=yes", "! --color must be auto, always or never, not \"yes\""},
    {"baseline needs a file", "scan --baseline=", "! --baseline needs a non-empty value"},
    {"write baseline is for scan", "wipe --write-baseline w",
     "! unknown option for wipe: --write-baseline"},
    {"short help", "-h", "help"},
    {"help after a command", "scan --help", "help"},
    {"relative paths", "scan --source-folder .//./ --skipped-file a//b/./c/../d/",
     "scan f=<cwd> s=<cwd>/a/b/d"},
    {"dot dot over a link", "scan --source-folder /proc/self/../self --skipped-file /no/link/../y",
     "scan f=/proc/self s=/no/y"},
    {"nothing", "", "! no command given"},
    {"unknown command", "scna", "! unknown command: scna"},
    {"value missing", "scan --keyword-file", "! --keyword-file needs a value"},
    {"empty file", "scan --keyword-file=", "! --keyword-file needs a non-empty value"},
    {"unknown format", "scan --format xml", "! --format must be text, json or sarif, not \"xml\""},
    {"unknown operation", "wipe --operation delete",
     "! --operation must be mark or remove, not \"delete\""},
    {"value for a flag", "scan --check=yes", "! --check takes no value"},
    {"scan option for wipe", "wipe --check", "! unknown option for wipe: --check"},
    {"wipe option for scan", "scan --dry-run", "! unknown option for scan: --dry-run"},
    {"nine folders", "scan" + kEight + " --source-folder /9",
     "! at most eight --source-folder options can be given"},
    {"mistyped folder", "wipe --source-folder /usr/scr",
     "! --source-folder /usr/scr: no such folder"},
    {"file as folder", "scan --source-folder /dev/null",
     "! --source-folder /dev/null: not a folder"},
    {"file name without its option", "scan k.h",
     "! unexpected argument \"k.h\"; a keyword file is given as --keyword-file k.h"},
    {"option where a value belongs", "scan --keyword-file --source-folder /usr",
     "! --keyword-file needs a value before --source-folder (or write "
     "--keyword-file=--source-folder)"},
};

class CliParse : public testing::TestWithParam<Row> {};

TEST_P(CliParse, ReadsValidFormsAndRejectsTheRest) {
    EXPECT_EQ(Parse(GetParam().input), Fill(GetParam().expected, {{"<cwd>", fs::current_path()}}));
}

INSTANTIATE_TEST_SUITE_P(Rows, CliParse, testing::ValuesIn(kParseRows), kRowName);

const std::string kBad = "\xEF\xBF\xBD"; // U+FFFD

// Control bytes are escaped; what is no UTF-8 becomes U+FFFD, byte by byte.
const Row kJsonRows[] = {
    {"escapes", "\"\\ \n\t\r \x01\x1f", R"("\"\\ \n\t\r \u0001\u001f")"},
    {"NUL", std::string("a\0b", 3), R"("a\u0000b")"},
    // The first and last of each length, and the last below the surrogates.
    {"valid UTF-8",
     "\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
     "\"\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\""},
    {"lone continuation byte, never leads", "a\x80z\xFF", "\"a" + kBad + "z" + kBad + "\""},
    {"overlong 2 and 3", "\xC0\xAF\xE0\x80\xAF", "\"" + kBad + kBad + kBad + kBad + kBad + "\""},
    {"surrogate, above U+10FFFF", "\xED\xA0\x80\xF4\x90\x80\x80",
     "\"" + kBad + kBad + kBad + kBad + kBad + kBad + kBad + "\""},
    {"cut short at the end", "ab\xE2\x82", "\"ab" + kBad + kBad + "\""},
    {"cut short by ASCII", "\xE2\x82x", "\"" + kBad + kBad + "x\""},
};

class CliJsonString : public testing::TestWithParam<Row> {};

TEST_P(CliJsonString, EscapesAndRepairsText) {
    std::string json = "[";
    AppendJsonString(json, GetParam().input);
    EXPECT_EQ(json, "[" + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliJsonString, testing::ValuesIn(kJsonRows), kRowName);

// A path keeps every byte: as text when it is UTF-8, else as base64 of the
// bytes, padded for each length of the last group.
const Row kJsonPathRows[] = {
    {"plain", "/src/x y.c", R"("/src/x y.c")"},
    {"a backslash", R"(/src/a\b.c)", R"("/src/a\\b.c")"},
    {"a tab", "/src/a\tb.c", R"("/src/a\tb.c")"},
    {"UTF-8 with escapes", "/a b/\xC3\xA9\"\n.c", "\"/a b/\xC3\xA9\\\"\\n.c\""},
    {"three bytes", "/\xFF\x80", R"({"bytes": "L/+A"})"},
    {"one byte over", "/a/\xFF", R"({"bytes": "L2Ev/w=="})"},
    {"two bytes over", "/ab/\xFE", R"({"bytes": "L2FiL/4="})"},
    {"overlong", "\xC0\xAF", R"({"bytes": "wK8="})"},
};

class CliJsonPath : public testing::TestWithParam<Row> {};

TEST_P(CliJsonPath, KeepsEveryByte) {
    std::string json;
    AppendJsonPath(json, GetParam().input);
    EXPECT_EQ(json, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliJsonPath, testing::ValuesIn(kJsonPathRows), kRowName);

// In the report, each use's file is its path as AppendJsonPath gives it,
// whether the path is plain, must be escaped, or is none of the load's.
TEST_P(CliJsonPath, NamesAUsesFileInTheReport) {
    const std::vector<std::string> paths = {"/src/a.c", GetParam().input, "/src/b.c"};
    const std::string elsewhere = GetParam().input;
    CKeywordArray table;
    table.push_back(std::make_unique<CKeyword>("gA", "A", 1, false));
    for (const std::string& path : paths)
        table[0]->m_listUsed.emplace_back(path, 2);
    table[0]->m_listUsed.emplace_back(elsewhere, 3);
    const std::string keywordFile = "keys.h";
    CScanResult result{keywordFile, table, 3, 0};
    result.m_pSourcePaths = &paths;
    std::ostringstream out;
    WriteJsonReport(out, result, false);
    const auto use = [](const std::string& json, int line) {
        return "{\"file\": " + json + ", \"line\": " + std::to_string(line) + ", ";
    };
    const std::string report = out.str();
    EXPECT_NE(
        report.find(use("\"/src/a.c\"", 2) + "\"kind\": \"code\"}, " + use(GetParam().expected, 2)),
        std::string::npos)
        << report;
    EXPECT_NE(report.find(use(GetParam().expected, 3)), std::string::npos) << report;
}

struct ColourRow {
    const char* name;
    ColourChoice choice;
    bool terminal;
    const char* noColor; // null: unset
    bool colour;
};

const ColourRow kColourRows[] = {
    {"auto on a terminal", ColourChoice::Auto, true, nullptr, true},
    {"auto into a pipe", ColourChoice::Auto, false, nullptr, false},
    {"auto with NO_COLOR", ColourChoice::Auto, true, "1", false},
    {"auto with NO_COLOR empty", ColourChoice::Auto, true, "", true},
    {"always into a pipe with NO_COLOR", ColourChoice::Always, false, "1", true},
    {"never on a terminal", ColourChoice::Never, true, nullptr, false},
};

class CliColour : public testing::TestWithParam<ColourRow> {};

// Only the colour changes: without the escapes the line is the plain one.
TEST_P(CliColour, FollowsTheChoiceTheTerminalAndNoColor) {
    const ColourRow& row = GetParam();
    CTextStyle style;
    style.m_bColour = UseColour(row.choice, row.terminal, row.noColor);
    EXPECT_EQ(style.m_bColour, row.colour);
    std::string line = FormatDiagnostic(style, "k.h", 3, true, "unused keyword gA \"A\"");
    EXPECT_EQ(line.find("\033[01;35m\033[Kwarning:\033[m\033[K") != std::string::npos, row.colour);
    for (const std::string_view escape : {"\033[01m\033[K", "\033[01;35m\033[K", "\033[m\033[K"})
        for (auto at = line.find(escape); at != std::string::npos; at = line.find(escape))
            line.erase(at, escape.size());
    EXPECT_EQ(line, "k.h:3: warning: unused keyword gA \"A\"");
}

INSTANTIATE_TEST_SUITE_P(Rows, CliColour, testing::ValuesIn(kColourRows), kRowName);

// Each line starts with its fate: . keep, M mark, R remove. The hunks follow
// the two file lines.
const Row kDiffRows[] = {
    {"seven apart share a hunk", ".1\nR2\n.3\n.4\n.5\n.6\n.7\n.8\nR9\n.10\n.11\n.12\n.13\n",
     "@@ -1,12 +1,10 @@\n 1\n-2\n 3\n 4\n 5\n 6\n 7\n 8\n-9\n 10\n 11\n 12\n"},
    {"eight apart do not", ".1\nR2\n.3\n.4\n.5\n.6\n.7\n.8\n.9\nR10\n.11\n.12\n.13\n.14\n",
     "@@ -1,5 +1,4 @@\n 1\n-2\n 3\n 4\n 5\n@@ -7,7 +6,6 @@\n 7\n 8\n 9\n-10\n 11\n 12\n 13\n"},
    {"no final break", ".a\nMb",
     "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+// GlossCutter //b\n\\ No newline "
     "at end of file\n"},
    {"all removed", "Rx\n", "@@ -1,1 +0,0 @@\n-x\n"},
    // The line's own break, so that the diff applies to the file; a lone CR gets an LF.
    {"own breaks", "Ma\r\n.b\r.c\n", "@@ -1,3 +1,3 @@\n-a\r\n+// GlossCutter //a\r\n b\r\n c\n"},
    {"no change", ".a\n.b\n", ""},
};

class CliWipeDiff : public testing::TestWithParam<Row> {};

TEST_P(CliWipeDiff, PrintsHunksWithThreeLinesOfContext) {
    CLineArray lines = Lines(GetParam().input);
    std::vector<LineFate> fates;
    for (CTextLine& line : lines) {
        fates.push_back(static_cast<LineFate>(std::string_view(".MR").find(line.m_strText[0])));
        line.m_strText.erase(0, 1);
    }
    std::ostringstream out;
    WriteWipeDiff(out, "k.h", lines, fates);
    const std::string& hunks = GetParam().expected;
    EXPECT_EQ(out.str(), hunks.empty() ? "" : "--- k.h\n+++ k.h\n" + hunks);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliWipeDiff, testing::ValuesIn(kDiffRows), kRowName);

struct Ran {
    int status;
    std::string out, err;
};

const char* const kSettingsFile = "config/GlossCutter/GlossCutter.conf";

class CliRun : public testing::Test {
protected:
    TempDir dir;
    const std::string root = fs::path(dir.root).lexically_normal().string();
    const std::string texts = root + "/demo/texts.h", src = root + "/demo/src";
    const std::string scan = "scan --keyword-file " + texts + " --source-folder " + src;

    void SetUp() override {
        fs::copy(GLOSSCUTTER_EXAMPLES "/demo", root + "/demo", fs::copy_options::recursive);
    }

    void WriteSettings(const std::string& ini) const { dir.Put(kSettingsFile, ini); }

    // gNoted is only in comments; a .txt file has none, so gTxt is used there.
    const std::string mentions = "--keyword-file m/keys.h --source-folder m/src";
    void PutMentions() const {
        dir.Put("m/keys.h", "#define sUsed \"Used\"\n#define sNoted \"Noted\"\n"
                            "#define sTxt \"Txt\"\n#define sGone \"Gone\"\n");
        dir.Put("m/src/a.c", "gUsed(); // gNoted\n/* gNoted */\n");
        dir.Put("m/src/notes.txt", "// gTxt\n");
    }

    // Runs the program in `root`, or the folder `in` below it, through the
    // shell; no path here needs quoting.
    Ran Run(const std::string& args, const std::string& out = "stdout",
            const std::string& in = ".") const {
        const std::string command = "cd " + root + "/" + in + " && XDG_CONFIG_HOME=" + root +
                                    "/config HOME=" + root + "/home " GLOSSCUTTER_CLI " " + args +
                                    " >" + (out.starts_with('/') ? out : root + "/" + out) + " 2>" +
                                    root + "/stderr";
        const int status = std::system(command.c_str()); // NOLINT(cert-env33-c)
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root + "/stdout"),
                ReadFile(root + "/stderr")};
    }
};

// Keywords in line order with their uses; an untidy folder gives normal file paths.
TEST_F(CliRun, JsonReportListsKeywordsByLineWithTheirUses) {
    const std::string keys = dir.Put("json/keys.h", "#define sZ \"Z\"\n// #define sA \"A\"\n"
                                                    "#define sB \"B\\\"\"\n");
    const std::string file = dir.Put("json/src/a.c", "gZ(gZ)\n\ngZ;");
    const std::string args =
        "scan --format json --keyword-file " + keys + " --source-folder " + root + "/json//src/./";
    const auto report = [&](const std::string& option) {
        std::string out = Run(args + option).out;
        std::erase_if(out, [](unsigned char c) { return std::isspace(c); });
        return Fill(out, {{keys, "<keys>"}, {file, "<a.c>"}});
    };
    const std::string head = R"({"keywordFile":"<keys>","keywords":[)";
    const std::string gB =
        R"({"line":3,"symbol":"gB","value":"B\\\"","status":"unused","marked":false,"sameSymbol":[],"sameValue":[],"uses":[]})";
    const std::string tail =
        R"(],"summary":{"keywords":3,"unused":1,"mentioned":0,"kept":0,"marked":1,"files":1,"unreadable":0}})";
    EXPECT_EQ(
        report(""),
        head +
            R"({"line":1,"symbol":"gZ","value":"Z","status":"used","marked":false,"sameSymbol":[],"sameValue":[],"uses":[)"
            R"({"file":"<a.c>","line":1,"kind":"code"},{"file":"<a.c>","line":1,"kind":"code"},)"
            R"({"file":"<a.c>","line":3,"kind":"code"}]},)"
            R"({"line":2,"symbol":"gA","value":"A","status":"marked","marked":true,"sameSymbol":[],"sameValue":[],"uses":[]},)" +
            gB + tail);
    EXPECT_EQ(report(" --unused"), head + gB + tail);
}

// The pieces written in turn, by their sizes: the buffer holds 64 KiB, and a
// piece that does not fit in what is left goes out at once or after a drain.
using BufferRow = CaseRow<std::vector<std::size_t>, bool>; // sizes; to /dev/full

const BufferRow kBufferRows[] = {
    {"small pieces", {10, 1, 200}, false},
    {"exactly the buffer", {65536}, false},
    {"small, then larger than the buffer", {3, 200000, 5}, false},
    {"small, then one that overflows what is left", {65000, 1000, 7}, false},
    {"many that fill it up", std::vector<std::size_t>(300, 1000), false},
    {"large to a full disk", {200000}, true},
    {"small to a full disk", {10}, true},
};

class DescriptorBufferRows : public testing::TestWithParam<BufferRow> {};
TEST_P(DescriptorBufferRows, WritesEveryByteInOrderOrTellsWhy) {
    TempDir dir;
    const std::string path = GetParam().expected ? "/dev/full" : dir / "out";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string written;
    std::error_code error;
    if (fd >= 0) {
        {
            CDescriptorBuffer buffer(fd);
            std::ostream out(&buffer);
            for (const std::size_t size : GetParam().input) {
                std::string piece(size, '\0');
                for (char& c : piece) {
                    c = static_cast<char>('a' + written.size() % 23);
                    written += c;
                }
                out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            }
            out.flush();
            error = buffer.GetError();
        }
        ::close(fd);
    }
    ASSERT_GE(fd, 0);
    if (GetParam().expected) {
        EXPECT_EQ(error, std::errc::no_space_on_device);
    } else {
        EXPECT_FALSE(error);
        EXPECT_EQ(ReadFile(dir / "out"), written);
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, DescriptorBufferRows, testing::ValuesIn(kBufferRows), kRowName);

// The JSON report is the same on any number of threads: keywords with no use,
// a few, and more than a thread builds at once, in more batches than threads.
TEST(CliJsonReport, IsTheSameOnAnyNumberOfThreads) {
    std::vector<testing_tables::KeywordRow> rows;
    rows.reserve(701);
    for (int k = 0; k < 700; ++k)
        rows.push_back({"g" + std::to_string(k), k % 7 == 0, k + 1, k % 5});
    rows.push_back({"gMany", false, 701, 9000});
    const CKeywordArray table = testing_tables::MakeTable(rows);
    const std::string keywordFile = "keys.h";
    const auto report = [&](unsigned nThreads, bool bUnusedOnly) {
        CScanResult result{keywordFile, table, 1, 0};
        result.m_nThreads = nThreads;
        std::ostringstream out;
        WriteJsonReport(out, result, bUnusedOnly);
        return out.str();
    };
    for (const bool bUnusedOnly : {false, true}) {
        const std::string one = report(1, bUnusedOnly);
        EXPECT_EQ(one.find("\"symbol\": \"gMany\"") != std::string::npos, !bUnusedOnly);
        for (const unsigned nThreads : {2U, 3U, 8U})
            EXPECT_EQ(report(nThreads, bUnusedOnly), one) << nThreads << " threads";
    }
}

// A redefinition is warned of, a text under two symbols noted; marked lines count
// for neither. JSON lists the other lines.
TEST_F(CliRun, DuplicatesAreWarnedOfAndListed) {
    const std::string keys = dir.Put("d/keys.h", "#define sA \"x\"\n#define sB \"x\"\n"
                                                 "// #define sB \"x\"\n#define sA \"y\"\n");
    dir.Put("d/src/a.c", "gA gB");
    const std::string scan = "scan --keyword-file " + keys + " --source-folder " + root + "/d/src";
    // Only one define of a symbol receives its uses.
    EXPECT_EQ(Run(scan).out, keys + ":1: warning: unused keyword gA \"x\"\n" + keys +
                                 ":2: note: same text as gA (line 1)\n" + keys +
                                 ":4: warning: symbol gA is defined again (first at line 1)\n" +
                                 "4 keywords, 1 unused, 1 files scanned, 0 unreadable\n");
    EXPECT_NE(Run(scan + " --format json")
                  .out.find(R"("line": 1, "symbol": "gA", "value": "x", )"
                            R"("status": "unused", "marked": false, "sameSymbol": [4], )"
                            R"("sameValue": [2])"),
              std::string::npos);
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
         "gPrintPreview \"Print preview\"\n15 keywords, 3 unused, 5 files scanned, 0 unreadable\n"},
    {"check finds unused", "<scan> --check", 1,
     "15 keywords, 3 unused, 5 files scanned, 0 unreadable\n"},
    {"kept pattern", "<scan> --keep 'gPrint*' --check", 1,
     "15 keywords, 1 unused, 5 files scanned, 0 unreadable\n"},
    // The skipped file holds the only uses of three keywords.
    {"relative paths, skipped file",
     "scan --keyword-file demo/texts.h --source-folder demo/src --skipped-file "
     "demo/src/file/open.c",
     0, "15 keywords, 6 unused, 4 files scanned, 0 unreadable\n"},
    {"missing keyword file", "scan --keyword-file <root>/none.h", 2, ""},
    {"folder as keyword file", "scan --keyword-file <src>", 2, ""},
    {"no keyword file anywhere", "scan --source-folder <src>", 2, ""},
    {"bad option", "<scan> --bogus", 2, ""},
    {"mentioned is noted", "scan <m>", 0,
     "m/keys.h:2: note: keyword gNoted \"Noted\" is only mentioned in comments, strings or "
     "inactive code\nm/keys.h:4" +
         kWarning + "gGone \"Gone\"\n4 keywords, 1 unused, 2 files scanned, 0 unreadable\n"},
    {"check passes over a note", "scan <m> --keep gGone --check", 0,
     "4 keywords, 0 unused, 2 files scanned, 0 unreadable\n"},
    {"strict warns and fails the check", "scan <m> --keep gGone --check --strict", 1,
     "m/keys.h:2" + kWarning +
         "gNoted \"Noted\"\n4 keywords, 1 unused, 2 files scanned, 0 unreadable\n"},
    {"json counts by status", "scan <m> --keep gGone --format json", 0,
     R"("status": "kept", "marked": false, "sameSymbol": [], "sameValue": [], "uses": []})"
     "\n"
     R"(], "summary": {"keywords": 4, "unused": 0, "mentioned": 1, "kept": 1, "marked": 0, )"
     R"("files": 2, "unreadable": 0}})"
     "\n"},
    {"strict json lists the mentioned as unused",
     "scan <m> --keep gGone --format json --unused --strict", 0,
     "[\n  "
     R"({"line": 2, "symbol": "gNoted", "value": "Noted", "status": "mentioned", )"
     R"("marked": false, "sameSymbol": [], "sameValue": [], "uses": [)"
     R"({"file": "<root>/m/src/a.c", "line": 1, "kind": "comment"}, )"
     R"({"file": "<root>/m/src/a.c", "line": 2, "kind": "comment"}]})"
     "\n"
     R"(], "summary": {"keywords": 4, "unused": 1, "mentioned": 1, "kept": 1, "marked": 0, )"
     R"("files": 2, "unreadable": 0}})"
     "\n"},
    {"wipe leaves a mentioned keyword", "wipe <m> --operation remove --dry-run", 0,
     " #define sTxt \"Txt\"\n-#define sGone \"Gone\"\n"},
    {"strict wipe takes it", "wipe <m> --operation remove --dry-run --strict", 0,
     "-#define sNoted \"Noted\"\n #define sTxt \"Txt\"\n-#define sGone \"Gone\"\n"},
    {"help", "--help", 0, "Exit status: 0 done, 1 unused keywords found (--check), 2 error.\n"},
    {"version", "--version", 0, "GlossCutter Version " GLOSSCUTTER_VERSION "\n"},
};

class CliRunRows : public CliRun, public testing::WithParamInterface<RunRow> {};

// The report warns of each unused keyword, notes each only mentioned one, then
// sums up; only errors, which print nothing else, write to standard error.
TEST_P(CliRunRows, TextReportAndExitStatus) {
    const std::map<std::string, std::string> paths = {
        {"<scan>", scan}, {"<root>", root}, {"<texts>", texts}, {"<src>", src}, {"<m>", mentions}};
    const RunRow& row = GetParam();
    PutMentions();
    const Ran ran = Run(Fill(row.args, paths));
    EXPECT_EQ(ran.status, row.status) << ran.err;
    EXPECT_EQ(ran.err.empty(), row.status != 2) << ran.err;
    EXPECT_TRUE(ran.out.ends_with(Fill(row.out, paths))) << ran.out;
    EXPECT_TRUE(row.status != 2 || ran.out.empty()) << ran.out;
}

INSTANTIATE_TEST_SUITE_P(Rows, CliRunRows, testing::ValuesIn(kRunRows), kRowName);

const std::string kDemoSummary = "15 keywords, 3 unused, 5 files scanned, 0 unreadable\n";

// A project file governs the folders below it and is read alone: its paths
// are relative to its folder, what it leaves out takes its default (mark, not
// the user's remove), and it is no source itself. Options on the command line
// win; --no-settings reads neither file.
TEST_F(CliRun, ProjectFileIsFoundUpwardAndReadAlone) {
    WriteSettings("[General]\nkeyword%20file=/none.h\nunused%20keywords%20operation=2\n"
                  "[source%20folder]\n0=config\n");
    dir.Put("demo/.glosscutter.conf",
            "; gCloseFile\n[General]\nkeyword%20file=texts.h\n[source%20folder]\n0=src\n");
    const Ran below = Run("scan", "stdout", "demo/src/edit");
    EXPECT_EQ(below.status, 0) << below.err;
    EXPECT_EQ(below.out, Fill(Run("scan --no-settings " + scan.substr(5)).out, {}));
    EXPECT_TRUE(below.out.ends_with(kDemoSummary)) << below.out;
    EXPECT_TRUE(Run("scan --settings demo/.glosscutter.conf").out.ends_with(kDemoSummary));
    EXPECT_TRUE(Run("scan --skipped-file src/main.c", "stdout", "demo")
                    .out.ends_with(" unused, 4 files scanned, 0 unreadable\n"));
    EXPECT_NE(Run("wipe --dry-run", "stdout", "demo").out.find("@@ -9,9 +9,9 @@\n"),
              std::string::npos);
    const Ran none = Run("scan --no-settings", "stdout", "demo");
    EXPECT_TRUE(none.status == 2 && none.err.starts_with("glosscutter-cli: no keyword file"))
        << none.err;
    EXPECT_EQ(Run("scan --settings none.conf").err,
              "glosscutter-cli: cannot read the settings file none.conf: No such file or "
              "directory\n");
    EXPECT_NE(Run("scan").err.find("cannot read the keyword file /none.h"), std::string::npos);
}

// init names the header with the most text defines outside hidden folders,
// and the folder itself as the sources; it never writes over a project file.
TEST_F(CliRun, InitWritesAProjectFileOnce) {
    std::string many;
    for (int i = 0; i < 20; ++i)
        many += "#define sHidden" + std::to_string(i) + " \"x\"\n";
    dir.Put("demo/.git/many.h", many);
    dir.Put("demo/src/few.h", "#define sFew \"Few\"\n");
    const Ran first = Run("init", "stdout", "demo");
    EXPECT_EQ(first.out, "wrote .glosscutter.conf: keyword file texts.h, source folder .\n");
    const std::string written = ReadFile(root + "/demo/.glosscutter.conf");
    const Ran scanned = Run("scan", "stdout", "demo/src");
    EXPECT_TRUE(scanned.out.ends_with("15 keywords, 3 unused, 8 files scanned, 0 unreadable\n"))
        << scanned.out << scanned.err;
    const Ran again = Run("init", "stdout", "demo");
    EXPECT_TRUE(again.status == 2 && again.err.find("exists already") != std::string::npos);
    EXPECT_EQ(ReadFile(root + "/demo/.glosscutter.conf"), written);
}

// A baseline, even inside a source folder, names symbols without using them.
// With it only new findings are reported and fail the check; an entry that
// nothing reports any more is noted. A wipe takes baselined keywords too.
TEST_F(CliRun, BaselineRoundTrip) {
    const std::string base = " --baseline demo/src/base.txt";
    const Ran wrote = Run(scan + " --write-baseline demo/src/base.txt --check");
    EXPECT_TRUE(wrote.status == 1 && wrote.out.ends_with(kDemoSummary)) << wrote.err;
    EXPECT_TRUE(ReadFile(src + "/base.txt").ends_with("\ngCloseFile\ngPrint\ngPrintPreview\n"));
    const Ran quiet = Run(scan + base + " --check --quiet");
    EXPECT_TRUE(quiet.status == 0 && quiet.out.empty() && quiet.err.empty()) << quiet.out;

    dir.Put("demo/texts.h", Fill(ReadFile(texts), {{"#if 0\n", "#define sNew \"New\"\n#if\t0\n"}}));
    dir.Put("demo/src/close.c", "gCloseFile();\n");
    const Ran later = Run(scan + base + " --check");
    EXPECT_EQ(later.status, 1);
    EXPECT_EQ(later.out,
              texts + ":22" + kWarning + "gNew \"New\"\n" +
                  "demo/src/base.txt:3: note: gCloseFile is no longer needed in the baseline\n" +
                  "16 keywords, 3 unused, 6 files scanned, 0 unreadable\n");
    const Ran json = Run(scan + base + " --format json --unused");
    EXPECT_NE(json.out.find(R"("symbol": "gPrint", "value": "\"Print...\"              ", )"
                            R"("status": "unused", "baselined": true)"),
              std::string::npos);
    EXPECT_EQ(json.err,
              "demo/src/base.txt:3: note: gCloseFile is no longer needed in the baseline\n");
    EXPECT_NE(Run("wipe --operation remove --dry-run" + scan.substr(4) + base)
                  .out.find("-#define sPrintPreview"),
              std::string::npos);
}

// Each group the command line gives replaces the whole group of the settings.
TEST_F(CliRun, SettingsFillInWhatTheCommandLineLeavesOut) {
    const std::string edit = src + "/edit", file = src + "/file", open = file + "/open.c";
    WriteSettings("[General]\nkeyword%20file=\"" + texts + "\"\n[source%20folder]\n0=\"" + edit +
                  "\"\n1=\"" + file + "\"\n[skipped%20file]\n0=\"" + open + "\"\n");
    const Ran ran = Run("scan");
    EXPECT_TRUE(ran.status == 0 &&
                ran.out.ends_with("15 keywords, 9 unused, 3 files scanned, 0 unreadable\n"))
        << ran.err;
    const std::string given = " --source-folder " + edit + " --source-folder " + file;
    EXPECT_EQ(ran.out, Run("scan --keyword-file " + texts + given + " --skipped-file " + open).out);
    const std::string skipMain = " --skipped-file " + src + "/main.c";
    EXPECT_EQ(Run("scan --source-folder " + src + skipMain).out, Run(scan + skipMain).out);
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

// A dry run prints the diff and writes nothing; after the wipe a check passes.
TEST_P(CliWipeRows, WipeBacksUpThenMarksOrRemovesUnusedKeywords) {
    const WipeRow& row = GetParam();
    const std::string original = ReadFile(texts);
    if (*row.setting != '\0')
        WriteSettings(std::string("[General]\nunused%20keywords%20operation=") + row.setting);
    const std::string wipe =
        "wipe --keyword-file " + texts + " --source-folder " + src + row.options;
    const Ran dry = Run(wipe + " --dry-run");
    EXPECT_TRUE(dry.status == 0 &&
                dry.out.starts_with("--- " + texts + "\n+++ " + texts + "\n" + row.hunk))
        << dry.out;
    EXPECT_EQ(FolderFiles(root + "/demo"), (Files{{"src", "<not a file>"}, {"texts.h", original}}));
    ASSERT_EQ(Run(wipe).status, 0);
    const std::string after = ReadFile(texts); // which lines change is the engine's business
    EXPECT_EQ(Lines(after).size(), row.remove ? 21U : 26U);
    EXPECT_EQ(after.find("// GlossCutter //") != std::string::npos, !row.remove);
    EXPECT_EQ(ReadFile(root + "/demo/texts.bak"), original);
    EXPECT_EQ(Run(scan + " --check").status, 0);
    // A second wipe finds nothing, and leaves the backup of the first alone.
    const Ran again = Run(wipe);
    EXPECT_TRUE(again.status == 0 && again.out.ends_with(": nothing to wipe. The file and its "
                                                         "backup are as they were.\n"))
        << again.out;
    EXPECT_EQ(ReadFile(root + "/demo/texts.bak"), original);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliWipeRows, testing::ValuesIn(kWipeRows), kRowName);

struct GuardRow {
    const char* name;
    std::string args;  // after "wipe --keyword-file <texts>"; <src> is the demo's sources
    const char* setup; // a shell command run in the demo folder first
    int status;
    std::string err; // standard error holds it
};

const GuardRow kGuardRows[] = {
    {"no source folder", "", "true", 2, "No source folder is set"},
    {"set folder missing", "",
     "mkdir -p ../config/GlossCutter && printf '[source%%20folder]\\n0=<src>\\n' "
     ">../config/GlossCutter/GlossCutter.conf && mv src scr",
     2, "The source folder <src> does not exist"},
    {"nothing read", " --source-folder <src>", "rm -r src/*", 2, "No source file was found"},
    {"unreadable file", " --source-folder <src>", "ln -s /proc/self/mem src/mem", 2,
     "glosscutter-cli: cannot read <src>/mem: Input/output error\n"
     "glosscutter-cli: 1 file or folder could not be read"},
    {"device as keyword file", " --keyword-file /dev/null --source-folder <src>", "true", 2,
     "cannot read the keyword file /dev/null: not a regular file"},
    {"unreadable file allowed", " --source-folder <src> --allow-unreadable",
     "ln -s /proc/self/mem src/mem", 0, "cannot read <src>/mem: Input/output error\n"},
};

class CliWipeGuard : public CliRun, public testing::WithParamInterface<GuardRow> {};

// A scan that may have missed uses wipes nothing, and says why.
TEST_P(CliWipeGuard, RefusesWhatAScanCannotVouchFor) {
    const GuardRow& row = GetParam();
    const std::string original = ReadFile(texts);
    const std::map<std::string, std::string> paths = {{"<texts>", texts}, {"<src>", src}};
    const std::string setup = "cd " + root + "/demo && " + Fill(row.setup, paths);
    ASSERT_EQ(std::system(setup.c_str()), 0); // NOLINT(cert-env33-c)
    const Ran ran = Run(Fill("wipe --keyword-file <texts>" + row.args, paths));
    EXPECT_EQ(ran.status, row.status) << ran.err;
    EXPECT_NE(ran.err.find(Fill(row.err, paths)), std::string::npos) << ran.err;
    EXPECT_EQ(fs::exists(root + "/demo/texts.bak"), row.status == 0);
    if (row.status == 0)
        EXPECT_EQ(ReadFile(root + "/demo/texts.bak"), original);
    else
        EXPECT_EQ(ReadFile(texts), original);
}

INSTANTIATE_TEST_SUITE_P(Rows, CliWipeGuard, testing::ValuesIn(kGuardRows), kRowName);

// The counts say what was read; each unreadable file is named, and a dry run
// whose diff is lost fails.
TEST_F(CliRun, UnreadableSourcesAreCountedAndLostOutputFails) {
    fs::create_symlink("/proc/self/mem", src + "/mem");
    const Ran ran = Run(scan);
    EXPECT_TRUE(ran.out.ends_with("5 files scanned, 1 unreadable\n")) << ran.out;
    EXPECT_EQ(ran.err, "glosscutter-cli: cannot read " + src + "/mem: Input/output error\n");
    EXPECT_NE(Run(scan + " --format json").out.find(R"("files": 5, "unreadable": 1)"),
              std::string::npos);
    const std::string wipe = "wipe --keyword-file " + texts + " --source-folder " + src;
    const Ran full = Run(wipe + " --allow-unreadable --dry-run", "/dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_TRUE(full.err.ends_with("cannot write the diff: No space left on device\n")) << full.err;
}

using PatchRow = CaseRow<std::vector<std::string>, std::string>; // the breaks in turn; the name

const PatchRow kPatchRows[] = {
    {"LF", {"\n"}, "keys.h"},
    {"CR LF", {"\r\n"}, "keys.h"},
    {"mixed", {"\r\n", "\n", "\n"}, "keys.h"},
    {"name with a tab and a quote", {"\n"}, "k\te\"ys.h"},
    {"lone CR", {"\r"}, "keys.h"},
};

class CliDryRunPatch : public CliRun, public testing::WithParamInterface<PatchRow> {};

// What the dry run prints, patch makes of the file: what the wipe writes. Where
// patch cannot, the dry run says so.
TEST_P(CliDryRunPatch, AppliesAndGivesWhatTheWipeWrites) {
    const auto& [name, breaks, file] = GetParam();
    std::string text; // every second keyword is used
    for (std::size_t i = 0; i < 12; ++i)
        text += "#define sK" + std::to_string(i) + " \"\"" + breaks[i % breaks.size()];
    const std::string keys = dir.Put("p/" + file, text);
    dir.Put("p/src/a.c", "gK0 gK2 gK4 gK6 gK8 gK10");
    const std::string wipe =
        "wipe --operation remove --keyword-file 'p/" + file + "' --source-folder p/src";
    const Ran dry = Run(wipe + " --dry-run");
    ASSERT_EQ(dry.status, 0);
    EXPECT_EQ(dry.err.find("which patch cannot apply") != std::string::npos, breaks[0] == "\r");
    if (breaks[0] == "\r")
        return;
    const std::string patch = "cd " + root + " && patch -s -p0 -o patched <stdout";
    EXPECT_EQ(std::system(patch.c_str()), 0); // NOLINT(cert-env33-c)
    ASSERT_EQ(Run(wipe).status, 0);
    EXPECT_EQ(ReadFile(root + "/patched"), ReadFile(keys));
}

INSTANTIATE_TEST_SUITE_P(Rows, CliDryRunPatch, testing::ValuesIn(kPatchRows), kRowName);

} // namespace
