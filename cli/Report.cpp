#include "Report.h"

#include "AutoCheck.h"
#include "JsonWriter.h"

#include <algorithm>
#include <charconv>
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

void WriteTextReport(std::ostream& out, const CScanResult& result) {
    // The table is in line order: the keyword a note names is found by its line.
    const auto symbolAt = [&](int nLine) -> const std::string& {
        return (*std::ranges::lower_bound(result.m_arrKeywords, nLine, {},
                                          [](const auto& keyword) { return keyword->m_nLine; }))
            ->m_strSymbol;
    };
    for (const auto& keyword : result.m_arrKeywords) {
        const std::string& file = result.m_strKeywordFile;
        if (keyword->IsUnused(result.m_bStrict))
            out << file << ':' << keyword->m_nLine << ": warning: unused keyword "
                << keyword->m_strSymbol << " \"" << keyword->m_strValue << "\"\n";
        else if (keyword->GetStatus() == KeywordStatus::Mentioned)
            out << file << ':' << keyword->m_nLine << ": note: keyword " << keyword->m_strSymbol
                << " \"" << keyword->m_strValue
                << "\" is only mentioned in comments, strings or inactive code\n";
        const auto& sameSymbol = keyword->m_arrSameSymbolLines;
        if (!sameSymbol.empty() && sameSymbol.front() < keyword->m_nLine)
            out << file << ':' << keyword->m_nLine << ": warning: symbol " << keyword->m_strSymbol
                << " is defined again (first at line " << sameSymbol.front() << ")\n";
        const auto& sameValue = keyword->m_arrSameValueLines;
        if (!sameValue.empty() && sameValue.front() < keyword->m_nLine)
            out << file << ':' << keyword->m_nLine << ": note: same text as "
                << symbolAt(sameValue.front()) << " (line " << sameValue.front() << ")\n";
    }
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
    AppendJsonString(json, result.m_strKeywordFile);
    json += ", \"keywords\": [";
    const char* separator = "\n  ";
    const std::string* pLastFile = nullptr; // uses of one file come in runs
    std::string lastFileJson;
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
        json += keyword->m_bMarked ? R"(", "marked": true, "sameSymbol": )"
                                   : R"(", "marked": false, "sameSymbol": )";
        AppendLines(json, keyword->m_arrSameSymbolLines);
        json += R"(, "sameValue": )";
        AppendLines(json, keyword->m_arrSameValueLines);
        json += R"(, "uses": [)";
        const char* useSeparator = "";
        for (const CUsed& used : keyword->m_listUsed) {
            if (pLastFile == nullptr || *pLastFile != used.m_strFile) {
                lastFileJson.clear();
                AppendJsonString(lastFileJson, used.m_strFile);
                pLastFile = &used.m_strFile;
            }
            json += useSeparator;
            json += "{\"file\": ";
            json += lastFileJson;
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
