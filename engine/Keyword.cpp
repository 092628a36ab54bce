#include "Keyword.h"

#include <algorithm>

std::string_view KeywordStatusName(KeywordStatus status) {
    switch (status) {
    case KeywordStatus::Marked:
        return "marked";
    case KeywordStatus::Used:
        return "used";
    case KeywordStatus::Kept:
        return "kept";
    case KeywordStatus::Mentioned:
        return "mentioned";
    case KeywordStatus::Unused:
        return "unused";
    }
    return "unused";
}

KeywordStatus CKeyword::GetStatus() const {
    if (m_bMarked)
        return KeywordStatus::Marked;
    if (std::any_of(m_listUsed.begin(), m_listUsed.end(),
                    [](const CUsed& use) { return IsCompiled(use.m_kind) && !use.m_bOwnDefine; }))
        return KeywordStatus::Used;
    if (m_bKept)
        return KeywordStatus::Kept;
    return m_listUsed.empty() ? KeywordStatus::Unused : KeywordStatus::Mentioned;
}

bool MatchesFilter(const CKeyword& keyword, KeywordFilter filter) {
    switch (filter) {
    case KeywordFilter::All:
        return true;
    case KeywordFilter::Unused:
        return keyword.GetStatus() == KeywordStatus::Unused;
    case KeywordFilter::Mentioned:
        return keyword.GetStatus() == KeywordStatus::Mentioned;
    case KeywordFilter::Used:
        return keyword.GetStatus() == KeywordStatus::Used;
    case KeywordFilter::Kept:
        return keyword.GetStatus() == KeywordStatus::Kept;
    case KeywordFilter::Marked:
        return keyword.m_bMarked;
    case KeywordFilter::Duplicates:
        return keyword.HasDuplicate();
    }
    return true;
}
