#include "Baseline.h"

#include "FileRead.h"

#include <algorithm>

std::error_code CBaseline::Read(const std::string& strPath) {
    m_arrEntries.clear();
    m_strPath = strPath;
    std::string bytes;
    if (std::error_code ec = files::ReadWholeFile(strPath, bytes))
        return ec;
    std::string_view rest = bytes;
    for (int nLine = 1; !rest.empty(); ++nLine) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        constexpr std::string_view kBlanks = " \t\r";
        line.remove_prefix(std::min(line.find_first_not_of(kBlanks), line.size()));
        line = line.substr(0, line.find_last_not_of(kBlanks) + 1);
        if (!line.empty() && !line.starts_with('#'))
            m_arrEntries.emplace_back(std::string(line), nLine);
    }
    std::ranges::sort(m_arrEntries);
    return {};
}

bool CBaseline::Contains(std::string_view symbol) const {
    const auto at =
        std::ranges::lower_bound(m_arrEntries, symbol, {},
                                 [](const auto& entry) -> std::string_view { return entry.first; });
    return at != m_arrEntries.end() && at->first == symbol;
}

std::vector<std::pair<int, std::string>>
CBaseline::StaleEntries(const std::vector<CFinding>& findings) const {
    std::vector<std::string_view> named;
    named.reserve(findings.size());
    for (const CFinding& finding : findings)
        named.emplace_back(finding.m_pKeyword->m_strSymbol);
    std::ranges::sort(named);
    std::vector<std::pair<int, std::string>> stale;
    for (const auto& [symbol, nLine] : m_arrEntries)
        if (!std::ranges::binary_search(named, std::string_view(symbol)))
            stale.emplace_back(nLine, symbol);
    std::ranges::sort(stale);
    return stale;
}

std::string CBaseline::Format(const std::vector<CFinding>& findings) {
    std::vector<std::string_view> symbols;
    symbols.reserve(findings.size());
    for (const CFinding& finding : findings)
        symbols.emplace_back(finding.m_pKeyword->m_strSymbol);
    std::ranges::sort(symbols);
    symbols.erase(std::unique(symbols.begin(), symbols.end()), symbols.end());
    std::string text = "# glosscutter-cli baseline: the symbols reported when it was written.\n"
                       "# \"glosscutter-cli scan --baseline FILE\" reports only the others.\n";
    for (const std::string_view symbol : symbols) {
        text += symbol;
        text += '\n';
    }
    return text;
}
