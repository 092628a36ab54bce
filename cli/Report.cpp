#include "Report.h"

#include "JsonWriter.h"

#include <ostream>

bool IsUnused(const CKeyword& keyword) {
    return !keyword.m_bMarked && keyword.m_listUsed.empty();
}

std::size_t CountUnused(const CKeywordArray& table) {
    std::size_t count = 0;
    for (const auto& keyword : table)
        count += IsUnused(*keyword) ? 1 : 0;
    return count;
}

namespace {

std::string Summary(const CScanResult& result) {
    return std::to_string(result.m_arrKeywords.size()) + " keywords, " +
           std::to_string(CountUnused(result.m_arrKeywords)) + " unused, " +
           std::to_string(result.m_nFiles) + " files scanned";
}

} // namespace

void WriteTextReport(std::ostream& out, const CScanResult& result) {
    for (const auto& keyword : result.m_arrKeywords) {
        if (IsUnused(*keyword))
            out << result.m_strKeywordFile << ':' << keyword->m_nLine
                << ": warning: unused keyword " << keyword->m_strSymbol << " \""
                << keyword->m_strValue << "\"\n";
    }
    out << Summary(result) << '\n';
}

void WriteJsonReport(std::ostream& out, const CScanResult& result, bool bUnusedOnly) {
    // Built in memory and written at once: a large tree has hundreds of
    // thousands of uses, and a stream insertion per field would dominate.
    std::string json = "{\"keywordFile\": ";
    AppendJsonString(json, result.m_strKeywordFile);
    json += ", \"keywords\": [";
    const char* separator = "\n  ";
    const std::string* pLastFile = nullptr; // uses of one file come in runs
    std::string lastFileJson;
    for (const auto& keyword : result.m_arrKeywords) {
        if (bUnusedOnly && !IsUnused(*keyword))
            continue;
        json += separator;
        json += "{\"line\": " + std::to_string(keyword->m_nLine) + ", \"symbol\": ";
        AppendJsonString(json, keyword->m_strSymbol);
        json += ", \"value\": ";
        AppendJsonString(json, keyword->m_strValue);
        json += keyword->m_bMarked ? ", \"marked\": true, \"uses\": ["
                                   : ", \"marked\": false, \"uses\": [";
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
            json += std::to_string(used.m_nLine);
            json += '}';
            useSeparator = ", ";
        }
        json += "]}";
        separator = ",\n  ";
    }
    json += "\n], \"summary\": {\"keywords\": " + std::to_string(result.m_arrKeywords.size()) +
            ", \"unused\": " + std::to_string(CountUnused(result.m_arrKeywords)) +
            ", \"files\": " + std::to_string(result.m_nFiles) + "}}\n";
    out.write(json.data(), static_cast<std::streamsize>(json.size()));
}
