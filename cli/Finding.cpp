#include "Finding.h"

#include "Baseline.h"
#include "Report.h"

#include <algorithm>

std::string_view FindingRuleId(FindingRule rule) {
    switch (rule) {
    case FindingRule::UnusedKeyword:
        return "unused-keyword";
    case FindingRule::MentionedOnly:
        return "mentioned-only";
    case FindingRule::DuplicateSymbol:
        return "duplicate-symbol";
    case FindingRule::DuplicateValue:
        return "duplicate-value";
    }
    return "unused-keyword";
}

std::vector<CFinding> CollectFindings(const CScanResult& result, bool bWithBaselined) {
    const CKeywordArray& table = result.m_arrKeywords;
    // The table is in line order: the keyword a note names is found by its line.
    const auto symbolAt = [&](int nLine) -> const std::string& {
        return (*std::ranges::lower_bound(table, nLine, {},
                                          [](const auto& keyword) { return keyword->m_nLine; }))
            ->m_strSymbol;
    };
    std::vector<CFinding> findings;
    for (const auto& pKeyword : table) {
        const CKeyword& keyword = *pKeyword;
        if (!bWithBaselined && result.m_pBaseline != nullptr &&
            result.m_pBaseline->Contains(keyword.m_strSymbol))
            continue;
        const std::string quoted = keyword.m_strSymbol + " \"" + keyword.m_strValue + "\"";
        if (keyword.IsUnused(result.m_bStrict))
            findings.push_back({FindingRule::UnusedKeyword, FindingLevel::Warning, &keyword,
                                "unused keyword " + quoted});
        else if (keyword.GetStatus() == KeywordStatus::Mentioned)
            findings.push_back(
                {FindingRule::MentionedOnly, FindingLevel::Note, &keyword,
                 "keyword " + quoted + " is only mentioned in comments, strings or inactive code"});
        const auto& sameSymbol = keyword.m_arrSameSymbolLines;
        if (!sameSymbol.empty() && sameSymbol.front() < keyword.m_nLine)
            findings.push_back({FindingRule::DuplicateSymbol, FindingLevel::Warning, &keyword,
                                "symbol " + keyword.m_strSymbol +
                                    " is defined again (first at line " +
                                    std::to_string(sameSymbol.front()) + ")"});
        const auto& sameValue = keyword.m_arrSameValueLines;
        if (!sameValue.empty() && sameValue.front() < keyword.m_nLine)
            findings.push_back({FindingRule::DuplicateValue, FindingLevel::Note, &keyword,
                                "same text as " + symbolAt(sameValue.front()) + " (line " +
                                    std::to_string(sameValue.front()) + ")"});
    }
    return findings;
}

bool HasFailingFinding(const std::vector<CFinding>& findings) {
    return std::ranges::any_of(findings, [](const CFinding& finding) {
        return finding.m_nRule == FindingRule::UnusedKeyword;
    });
}
