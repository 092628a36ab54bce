#include "SarifWriter.h"

#include "Finding.h"
#include "JsonWriter.h"
#include "Report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>

namespace {

namespace fs = std::filesystem;

struct CSarifRule {
    FindingRule m_nRule;
    FindingLevel m_nLevel; // its default level; --strict can make a mention a warning
    std::string_view m_strName;
    std::string_view m_strShort;
    std::string_view m_strFull;
    std::string_view m_strHelp; // Markdown; the plain text is this without its backticks
};

// The log's rules in this order, which a result's "ruleIndex" counts in.
constexpr std::array kRules{
    CSarifRule{
        FindingRule::UnusedKeyword, FindingLevel::Warning, "UnusedKeyword", "Keyword is never used",
        "No scanned source file uses the keyword's symbol, so the text it defines is never "
        "shown and only weighs down the keyword file and its translations.",
        "Nothing in the scanned source folders uses this keyword's symbol. Wipe it with "
        "`glosscutter-cli wipe` (`--operation remove` deletes the define, `--operation mark` "
        "comments it out; `--dry-run` shows the change first), or delete the define by hand.\n\n"
        "If the symbol is used in a way a scan cannot see, for example built at run time, keep "
        "the keyword: put a comment holding `glosscutter:keep` on its define line or the line "
        "above, or give `--keep PATTERN` (or add the pattern to the kept symbols of the "
        "settings). With `--strict`, keywords that are only mentioned in comments, strings or "
        "inactive code are reported here too."},
    CSarifRule{
        FindingRule::MentionedOnly, FindingLevel::Note, "MentionedOnly",
        "Keyword is only mentioned",
        "The keyword's symbol occurs only in comments, string literals, inactive code or on its "
        "own define line: no compiled code shows its text.",
        "The symbol of this keyword appears, but never in compiled code: only in comments, "
        "string literals, `#if 0` blocks or on its own define line. If the mention is a "
        "leftover, remove the keyword; `glosscutter-cli wipe --strict` takes it along with the "
        "unused ones. If the text is used in a way a scan cannot see, keep it with a comment "
        "holding `glosscutter:keep` on its define line or the line above, or with `--keep "
        "PATTERN`. A scan with `--strict` reports such keywords as unused-keyword warnings."},
    CSarifRule{
        FindingRule::DuplicateSymbol, FindingLevel::Warning, "DuplicateSymbol",
        "Symbol is defined again",
        "The keyword file defines this symbol a second time. Only one of the defines can ever "
        "receive uses, and a C compiler warns of or rejects a macro defined again with another "
        "text.",
        "An earlier line of the keyword file already defines this symbol; the message names the "
        "line. Keep one of the defines: delete the other, or give it a symbol of its own and use "
        "that where its text is meant."},
    CSarifRule{
        FindingRule::DuplicateValue, FindingLevel::Note, "DuplicateValue",
        "Text is defined under another symbol too",
        "An earlier keyword holds the same text under another symbol: the two are candidates to "
        "merge.",
        "The same text is already defined under the symbol the message names. If both mean the "
        "same thing, use that one symbol in the sources and wipe this keyword with "
        "`glosscutter-cli wipe` once it is unused; if they only read alike and may need "
        "different translations, leave both."},
};

constexpr std::string_view LevelName(FindingLevel level) {
    return level == FindingLevel::Warning ? "warning" : "note";
}

std::size_t RuleIndex(FindingRule rule) {
    return static_cast<std::size_t>(std::ranges::find(kRules, rule, &CSarifRule::m_nRule) -
                                    kRules.begin());
}

void AppendNumber(std::string& out, std::uint64_t value) {
    std::array<char, 24> digits{};
    char* const end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    out.append(digits.data(), end);
}

// A SemVer 2.0 version from "0.78.1.1": its first three numbers, without
// leading zeros and 0 where they are missing. Empty when it starts with no number.
std::string SemanticVersion(std::string_view version) {
    std::array<std::uint64_t, 3> numbers{};
    const char* pos = version.data();
    const char* const end = pos + version.size();
    for (std::uint64_t& number : numbers) {
        const auto [next, ec] = std::from_chars(pos, end, number);
        if (ec != std::errc()) {
            if (&number == numbers.data())
                return {};
            break;
        }
        if (next == end || *next != '.')
            break;
        pos = next + 1;
    }
    std::string semver;
    for (const std::uint64_t number : numbers) {
        semver += semver.empty() ? "" : ".";
        AppendNumber(semver, number);
    }
    return semver;
}

// RFC 3986: the unreserved characters and '/' stay, every other byte is
// percent-encoded. A name with a ':', '#', '%' or bytes that are no UTF-8 then
// still makes one valid URI, and a relative one never reads as a scheme.
std::string EncodePath(const std::string& path) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    constexpr std::string_view kKept = "-._~/";
    std::string uri;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || kKept.find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4U];
            uri += kHex[byte & 0xFU];
        }
    }
    return uri;
}

fs::path AbsolutePath(const std::string& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    return (ec ? fs::path(path) : absolute).lexically_normal();
}

// The "artifactLocation" of the keyword file: relative to %SRCROOT% when it
// lies inside, so that a code scanning service finds it in the checkout;
// otherwise an absolute file URI.
std::string ArtifactLocation(const std::string& strFile, const std::string& strRoot) {
    const fs::path file = AbsolutePath(strFile);
    std::string json = "{\"uri\": ";
    if (!strRoot.empty()) {
        const fs::path relative = file.lexically_relative(AbsolutePath(strRoot));
        if (!relative.empty() && *relative.begin() != "." && *relative.begin() != "..") {
            AppendJsonString(json, EncodePath(relative.generic_string()));
            return json + R"(, "uriBaseId": "%SRCROOT%"})";
        }
    }
    AppendJsonString(json, "file://" + EncodePath(file.generic_string()));
    return json + '}';
}

// What identifies a finding from one run to the next whatever line it is on:
// FNV-1a (64 bits) of the rule id, a NUL, the symbol, a NUL and the value, in
// hex. Findings alike in all three are told apart by ":N", N counting them in
// `seen`.
std::string Fingerprint(std::string_view ruleId, const CKeyword& keyword,
                        std::map<std::uint64_t, std::uint64_t>& seen) {
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    std::uint64_t hash = kOffsetBasis;
    const auto feed = [&](std::string_view bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= kPrime;
        }
    };
    feed(ruleId);
    feed(std::string_view("\0", 1));
    feed(keyword.m_strSymbol);
    feed(std::string_view("\0", 1));
    feed(keyword.m_strValue);
    std::array<char, 16> hex{};
    char* const end = std::to_chars(hex.data(), hex.data() + hex.size(), hash, 16).ptr;
    std::string fingerprint(hex.size() - static_cast<std::size_t>(end - hex.data()), '0');
    fingerprint.append(hex.data(), end);
    fingerprint += ':';
    AppendNumber(fingerprint, ++seen[hash]);
    return fingerprint;
}

void AppendTextObject(std::string& json, std::string_view key, std::string_view text) {
    json += ", \"";
    json += key;
    json += R"(": {"text": )";
    AppendJsonString(json, text);
    json += '}';
}

void AppendRules(std::string& json) {
    const char* separator = "\n";
    for (const CSarifRule& rule : kRules) {
        json += separator;
        json += R"(            {"id": ")";
        json += FindingRuleId(rule.m_nRule);
        json += R"(", "name": ")";
        json += rule.m_strName;
        json += '"';
        AppendTextObject(json, "shortDescription", rule.m_strShort);
        AppendTextObject(json, "fullDescription", rule.m_strFull);
        std::string text(rule.m_strHelp);
        std::erase(text, '`');
        json += R"(, "help": {"text": )";
        AppendJsonString(json, text);
        json += R"(, "markdown": )";
        AppendJsonString(json, rule.m_strHelp);
        json += R"(}, "defaultConfiguration": {"level": ")";
        json += LevelName(rule.m_nLevel);
        json += "\"}}";
        separator = ",\n";
    }
    json += "\n          ]";
}

void AppendResults(std::string& json, const CScanResult& result, const std::string& location) {
    std::map<std::uint64_t, std::uint64_t> seen;
    const char* separator = "\n";
    for (const CFinding& finding : CollectFindings(result)) {
        const std::string_view ruleId = FindingRuleId(finding.m_nRule);
        json += separator;
        json += R"(        {"ruleId": ")";
        json += ruleId;
        json += R"(", "ruleIndex": )";
        AppendNumber(json, RuleIndex(finding.m_nRule));
        json += R"(, "level": ")";
        json += LevelName(finding.m_nLevel);
        json += '"';
        AppendTextObject(json, "message", finding.m_strMessage);
        json += R"(, "locations": [{"physicalLocation": {"artifactLocation": )";
        json += location;
        json += R"(, "region": {"startLine": )";
        AppendNumber(json, static_cast<std::uint64_t>(finding.m_pKeyword->m_nLine));
        json += R"(}}}], "partialFingerprints": {"glosscutterKeyword/v1": ")";
        json += Fingerprint(ruleId, *finding.m_pKeyword, seen);
        json += "\"}}";
        separator = ",\n";
    }
    json += "\n      ]";
}

} // namespace

void WriteSarifReport(std::ostream& out, const CScanResult& result, const CSarifOrigin& origin) {
    std::string json = R"({
  "$schema": "https://json.schemastore.org/sarif-2.1.0.json",
  "version": "2.1.0",
  "runs": [
    {
      "tool": {
        "driver": {
          "name": )";
    AppendJsonString(json, origin.m_strToolName);
    json += ",\n          \"version\": ";
    AppendJsonString(json, origin.m_strVersion);
    if (const std::string semver = SemanticVersion(origin.m_strVersion); !semver.empty()) {
        json += ",\n          \"semanticVersion\": ";
        AppendJsonString(json, semver);
    }
    json += ",\n          \"rules\": [";
    AppendRules(json);
    json += "\n        }\n      },\n";
    if (!origin.m_strSourceRoot.empty()) {
        std::string root =
            "file://" + EncodePath(AbsolutePath(origin.m_strSourceRoot).generic_string());
        root += root.ends_with('/') ? "" : "/";
        json += R"(      "originalUriBaseIds": {"%SRCROOT%": {"uri": )";
        AppendJsonString(json, root);
        json += "}},\n";
    }
    json += R"(      "columnKind": "utf16CodeUnits",
      "results": [)";
    AppendResults(json, result, ArtifactLocation(result.m_strKeywordFile, origin.m_strSourceRoot));
    json += "\n    }\n  ]\n}\n";
    out.write(json.data(), static_cast<std::streamsize>(json.size()));
}
