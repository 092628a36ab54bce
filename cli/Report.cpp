#include "Report.h"

#include "AutoCheck.h"
#include "Baseline.h"
#include "Finding.h"
#include "JsonWriter.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <ostream>

namespace {

void AppendNumber(std::string& out, long long value) {
    char digits[24];
    auto* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendLines(std::string& json, const std::vector<int>& lines) {
    json += '[';
    for (std::size_t i = 0; i < lines.size(); ++i) {
        json += i == 0 ? "" : ", ";
        AppendNumber(json, lines[i]);
    }
    json += ']';
}

std::string Summary(const CScanResult& result) {
    return std::to_string(result.m_arrKeywords.size()) + " keywords, " +
           std::to_string(CountUnused(result.m_arrKeywords, result.m_bStrict)) + " unused, " +
           std::to_string(result.m_nFiles) + " files scanned, " +
           std::to_string(result.m_nUnreadable) + " unreadable";
}

} // namespace

bool UseColour(ColourChoice choice, bool bTerminal, const char* pNoColor) {
    if (choice != ColourChoice::Auto)
        return choice == ColourChoice::Always;
    return bTerminal && (pNoColor == nullptr || *pNoColor == '\0');
}

std::string FormatDiagnostic(const CTextStyle& style, const std::string& strFile, int nLine,
                             bool bWarning, const std::string& strMessage) {
    // gcc's own colours: the place in bold, a warning magenta, a note cyan.
    constexpr std::string_view kBold = "\033[01m\033[K";
    constexpr std::string_view kMagenta = "\033[01;35m\033[K";
    constexpr std::string_view kCyan = "\033[01;36m\033[K";
    constexpr std::string_view kReset = "\033[m\033[K";
    const auto paint = [&](std::string_view colour, const std::string& text) {
        return style.m_bColour ? std::string(colour) + text + std::string(kReset) : text;
    };
    return paint(kBold, strFile + ':' + std::to_string(nLine) + ':') + ' ' +
           paint(bWarning ? kMagenta : kCyan, bWarning ? "warning:" : "note:") + ' ' + strMessage;
}

std::vector<std::string> StaleBaselineNotes(const CScanResult& result, const CTextStyle& style) {
    std::vector<std::string> notes;
    if (result.m_pBaseline == nullptr)
        return notes;
    for (const auto& [nLine, symbol] :
         result.m_pBaseline->StaleEntries(CollectFindings(result, true)))
        notes.push_back(FormatDiagnostic(style, result.m_pBaseline->GetPath(), nLine, false,
                                         symbol + " is no longer needed in the baseline"));
    return notes;
}

void WriteTextReport(std::ostream& out, const CScanResult& result, const CTextStyle& style) {
    for (const CFinding& finding : CollectFindings(result))
        out << FormatDiagnostic(style, result.m_strKeywordFile, finding.m_pKeyword->m_nLine,
                                finding.m_nLevel == FindingLevel::Warning, finding.m_strMessage)
            << '\n';
    for (const std::string& note : StaleBaselineNotes(result, style))
        out << note << '\n';
    if (style.m_bSummary)
        out << Summary(result) << '\n';
}

void WriteJsonReport(std::ostream& out, const CScanResult& result, bool bUnusedOnly) {
    // Built in a buffer that goes out a megabyte at a time: a large tree has
    // hundreds of thousands of uses, and a stream insertion per field would
    // dominate.
    constexpr std::size_t kFlushBytes = 1 << 20;
    std::string json;
    json.reserve(kFlushBytes + 4096);
    const auto flush = [&] {
        out.write(json.data(), static_cast<std::streamsize>(json.size()));
        json.clear();
    };
    json += "{\"keywordFile\": ";
    AppendJsonPath(json, result.m_strKeywordFile);
    json += ", \"keywords\": [";
    const char* separator = "\n  ";
    // Each path is escaped once: a file's uses of many keywords share it.
    const std::vector<std::string> noPaths;
    const std::vector<std::string>& paths =
        result.m_pSourcePaths != nullptr ? *result.m_pSourcePaths : noPaths;
    std::vector<std::string> pathJson(paths.size());
    std::string otherJson;
    const auto fileJson = [&](const CUsed& used) -> const std::string& {
        const std::string* pPath = used.m_strFile.GetAddress();
        const std::less_equal<> notAfter;
        if (!paths.empty() && notAfter(paths.data(), pPath) && notAfter(pPath, &paths.back())) {
            std::string& json = pathJson[static_cast<std::size_t>(pPath - paths.data())];
            if (json.empty())
                AppendJsonPath(json, *pPath);
            return json;
        }
        otherJson.clear();
        AppendJsonPath(otherJson, *pPath);
        return otherJson;
    };
    for (const auto& keyword : result.m_arrKeywords) {
        if (bUnusedOnly && !keyword->IsUnused(result.m_bStrict))
            continue;
        json += separator;
        json += "{\"line\": ";
        AppendNumber(json, keyword->m_nLine);
        json += ", \"symbol\": ";
        AppendJsonString(json, keyword->m_strSymbol);
        json += ", \"value\": ";
        AppendJsonString(json, keyword->m_strValue);
        json += R"(, "status": ")";
        json += KeywordStatusName(keyword->GetStatus());
        if (result.m_pBaseline != nullptr)
            json += result.m_pBaseline->Contains(keyword->m_strSymbol) ? R"(", "baselined": true)"
                                                                       : R"(", "baselined": false)";
        json += keyword->m_bMarked ? R"(", "marked": true, "sameSymbol": )"
                                   : R"(", "marked": false, "sameSymbol": )";
        AppendLines(json, keyword->m_arrSameSymbolLines);
        json += R"(, "sameValue": )";
        AppendLines(json, keyword->m_arrSameValueLines);
        json += R"(, "uses": [)";
        const char* useSeparator = "";
        for (const CUsed& used : keyword->m_listUsed) {
            json += useSeparator;
            json += "{\"file\": ";
            json += fileJson(used);
            json += ", \"line\": ";
            AppendNumber(json, used.m_nLine);
            json += R"(, "kind": ")";
            json += UseKindName(used.m_kind);
            json += "\"}";
            useSeparator = ", ";
            if (json.size() >= kFlushBytes)
                flush();
        }
        json += "]}";
        separator = ",\n  ";
        if (json.size() >= kFlushBytes)
            flush();
    }
    const auto count = [&](KeywordStatus status) {
        return std::to_string(CountWithStatus(result.m_arrKeywords, status));
    };
    json += "\n], \"summary\": {\"keywords\": " + std::to_string(result.m_arrKeywords.size()) +
            ", \"unused\": " + std::to_string(CountUnused(result.m_arrKeywords, result.m_bStrict)) +
            ", \"mentioned\": " + count(KeywordStatus::Mentioned) +
            ", \"kept\": " + count(KeywordStatus::Kept) +
            ", \"marked\": " + count(KeywordStatus::Marked) +
            ", \"files\": " + std::to_string(result.m_nFiles) +
            ", \"unreadable\": " + std::to_string(result.m_nUnreadable) + "}}\n";
    flush();
}
