#pragma once

#include "Keyword.h"

#include <string>
#include <string_view>
#include <vector>

struct CScanResult;

// What a report can say of a keyword. Every output format reports the same
// findings, and a baseline holds the symbols of some.
enum class FindingRule {
    UnusedKeyword,   // unused (with strictness: also only mentioned)
    MentionedOnly,   // only mentioned, and not strict
    DuplicateSymbol, // defined again after an earlier define of its symbol
    DuplicateValue,  // the same text as an earlier keyword under another symbol
};

enum class FindingLevel { Warning, Note };

// The rule's identifier in machine-read reports: "unused-keyword",
// "mentioned-only", "duplicate-symbol", "duplicate-value".
std::string_view FindingRuleId(FindingRule rule);

struct CFinding {
    FindingRule m_nRule = FindingRule::UnusedKeyword;
    FindingLevel m_nLevel = FindingLevel::Warning;
    const CKeyword* m_pKeyword = nullptr;
    std::string m_strMessage; // as the text report gives it after "warning: " or "note: "
};

// The findings of `result` in line order, a keyword's in rule order; those of
// the symbols in the result's baseline are left out unless `bWithBaselined`.
std::vector<CFinding> CollectFindings(const CScanResult& result, bool bWithBaselined = false);

// Whether `findings` hold one that fails a check: an unused keyword.
bool HasFailingFinding(const std::vector<CFinding>& findings);
