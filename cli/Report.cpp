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
    out << "{\"keywordFile\": " << JsonString(result.m_strKeywordFile) << ", \"keywords\": [";
    const char* separator = "\n  ";
    for (const auto& keyword : result.m_arrKeywords) {
        if (bUnusedOnly && !IsUnused(*keyword))
            continue;
        out << separator << "{\"line\": " << keyword->m_nLine
            << ", \"symbol\": " << JsonString(keyword->m_strSymbol)
            << ", \"value\": " << JsonString(keyword->m_strValue)
            << ", \"marked\": " << (keyword->m_bMarked ? "true" : "false") << ", \"uses\": [";
        const char* useSeparator = "";
        for (const CUsed& used : keyword->m_listUsed) {
            out << useSeparator << "{\"file\": " << JsonString(used.m_strFile)
                << ", \"line\": " << used.m_nLine << '}';
            useSeparator = ", ";
        }
        out << "]}";
        separator = ",\n  ";
    }
    out << "\n], \"summary\": {\"keywords\": " << result.m_arrKeywords.size()
        << ", \"unused\": " << CountUnused(result.m_arrKeywords)
        << ", \"files\": " << result.m_nFiles << "}}\n";
}
