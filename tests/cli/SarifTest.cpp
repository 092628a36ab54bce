// The SARIF report: what a code scanning service reads of each result, and the
// built program's logs as the SARIF multitool validates them.

#include "../engine/NamedRows.h"
#include "../engine/TestTables.h"
#include "Duplicates.h"
#include "Report.h"
#include "SarifWriter.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace {

using namespace testing_tables;
using testing_tables::PrintTo; // NOLINT(misc-unused-using-decls): found by GoogleTest

// A log with a keyword for each word of `spec`, on the word's line: "gA=x" unused,
// "gA=x+" used in code, "gA=x~" only in a comment; "-" is a line without one.
// %SRCROOT% is /p. Of each result, its line's values of `fields`.
std::vector<std::string> Results(const std::string& spec, const std::string& file,
                                 const std::vector<std::string>& fields, bool bStrict = false) {
    std::istringstream words(spec);
    CKeywordArray table;
    int line = 0;
    for (std::string word; words >> word;) {
        ++line;
        if (word == "-")
            continue;
        const std::size_t equals = word.find('='), end = word.find_first_of("+~");
        table.push_back(std::make_unique<CKeyword>(
            word.substr(0, equals), word.substr(equals + 1, end - equals - 1), line, false));
        if (end != std::string::npos)
            table.back()->m_listUsed.emplace_back(
                kSomeFile, 1, word.back() == '+' ? UseKind::Code : UseKind::Comment);
    }
    FindDuplicates(table);
    std::stringstream sarif;
    WriteSarifReport(sarif, {file, table, 1, 0, bStrict}, {"GlossCutter", "0.78.1.1", "/p"});
    std::vector<std::string> results;
    for (std::string text, shown; std::getline(sarif, text); shown.clear()) {
        for (const std::string& field : fields) {
            // The field's value up to its first quote, comma or brace.
            std::string value;
            if (auto at = text.find('"' + field + "\": "); at != std::string::npos) {
                at += field.size() + 4;
                at += at < text.size() && text[at] == '"' ? 1 : 0;
                value = text.substr(at, text.find_first_of("\",}", at) - at);
            }
            shown += (shown.empty() ? "" : " ") + value;
        }
        if (text.find("\"ruleId\"") != std::string::npos)
            results.push_back(shown);
    }
    return results;
}

using PlaceRow = CaseRow<std::string>; // the keyword file

const PlaceRow kPlaceRows[] = {
    {"inside", "/p/keys.h", "keys.h %SRCROOT%"},
    {"deeper", "/p/a/./b/../keys.h", "a/keys.h %SRCROOT%"},
    {"encoded", "/p/a b/#%:\xC3\xBC\xFF~.h", "a%20b/%23%25%3A%C3%BC%FF~.h %SRCROOT%"},
    {"sibling sharing a prefix", "/pq/keys.h", "file:///pq/keys.h "},
    {"outside, encoded", "/x y/%.h", "file:///x%20y/%25.h "},
};

class SarifLocation : public testing::TestWithParam<PlaceRow> {};

// A keyword file under %SRCROOT% is named relative to it, any other by its file
// URI; every byte a URI cannot hold is percent-encoded.
TEST_P(SarifLocation, IsRelativeToTheRootOnlyInsideIt) {
    EXPECT_EQ(Results("gA=x", GetParam().input, {"uri", "uriBaseId"}),
              std::vector{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(Rows, SarifLocation, testing::ValuesIn(kPlaceRows), kRowName);

using ResultRow = CaseRow<std::pair<std::string, bool>, std::vector<std::string>>; // spec, strict

const ResultRow kResultRows[] = {
    {"every rule",
     {"gA=x gB=y~ gC=x+ - gA=z+", false},
     {"unused-keyword 0 warning 1", "mentioned-only 1 note 2", "duplicate-value 3 note 3",
      "duplicate-symbol 2 warning 5"}},
    {"strict", {"gA=x+ gB=y~", true}, {"unused-keyword 0 warning 2"}},
};

class SarifResults : public testing::TestWithParam<ResultRow> {};

// Each finding is a result of its rule, at its level and on its line.
TEST_P(SarifResults, TellRuleLevelAndLine) {
    const auto& [name, input, expected] = GetParam();
    EXPECT_EQ(
        Results(input.first, "/p/k.h", {"ruleId", "ruleIndex", "level", "startLine"}, input.second),
        expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, SarifResults, testing::ValuesIn(kResultRows), kRowName);

using PrintRow = CaseRow<std::pair<std::string, std::string>, bool>; // two specs; same prints

const PrintRow kPrintRows[] = {
    {"moved to another line", {"gA=x", "gB=y+ - gA=x"}, true},
    {"another value", {"gA=x", "gA=w"}, false},
    {"another symbol", {"gA=x", "gB=x"}, false},
    {"another rule", {"gA=x", "gA=x~"}, false},
    {"twice and redefined, moved", {"gA=x gA=x", "- gA=x - gA=x"}, true},
};

class SarifFingerprints : public testing::TestWithParam<PrintRow> {};

// Fingerprints follow a keyword's symbol and value, not its line, and no two
// results of one log share one.
TEST_P(SarifFingerprints, FollowSymbolAndValue) {
    const auto& [name, specs, same] = GetParam();
    const auto first = Results(specs.first, "/k.h", {"glosscutterKeyword/v1"});
    const auto second = Results(specs.second, "/k.h", {"glosscutterKeyword/v1"});
    EXPECT_EQ(first == second, same);
    EXPECT_EQ(std::set(second.begin(), second.end()).size(), second.size());
}

INSTANTIATE_TEST_SUITE_P(Rows, SarifFingerprints, testing::ValuesIn(kPrintRows), kRowName);

// The program's logs of every rule, with a value to escape and repair, pass with
// GitHub's rules: for a file name to encode under %SRCROOT% (the current
// folder), and for a file outside.
TEST(SarifValidator, AcceptsTheLogsOfTheProgram) {
    const std::string validator = GLOSSCUTTER_SARIF_VALIDATOR;
    if (!std::filesystem::exists(validator))
        GTEST_SKIP() << "no SARIF multitool at " << validator
                     << "; scripts/install-sarif-validator installs it";
    const TempDir dir, other;
    const std::string keys = "#define sA \"x\"\n#define sB \"y\"\n#define sC \"x\"\n"
                             "#define sA \"q\\\"\\\\ \x01\xFF\"\n";
    dir.Put("src/a.c", "gC(); // gB\n");
    dir.Put("k/a b#\xC3\xBC\xFF.h", keys);
    const auto run = [&](const std::string& command) {
        return std::system(("cd " + dir.root + " && " + command).c_str()); // NOLINT(cert-env33-c)
    };
    const std::string scan = "XDG_CONFIG_HOME=" + dir.root + " HOME=" + dir.root +
                             " " GLOSSCUTTER_CLI " scan --format sarif --source-folder src "
                             "--keyword-file ";
    ASSERT_EQ(run(scan + "'k/a b#\xC3\xBC\xFF.h' >in.sarif"), 0);
    ASSERT_EQ(run(scan + other.Put("k.h", keys) + " >out.sarif"), 0);
    ASSERT_EQ(run("'" + validator + "' validate in.sarif out.sarif --rule-kind 'Sarif;Gh' " +
                  "--level Error -o errors.sarif >validator.txt 2>&1"),
              0)
        << ReadFile(dir / "validator.txt");
    EXPECT_NE(ReadFile(dir / "errors.sarif").find("\"results\": [],"), std::string::npos)
        << ReadFile(dir / "errors.sarif");
    EXPECT_NE(ReadFile(dir / "in.sarif").find(R"("uri": "k/a%20b%23%C3%BC%FF.h", "uriBaseId")"),
              std::string::npos);
    EXPECT_NE(ReadFile(dir / "out.sarif").find(R"("uri": "file://)" + other.root + "/k.h\"}"),
              std::string::npos);
}

} // namespace
