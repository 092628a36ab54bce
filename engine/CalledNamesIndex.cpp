#include "CalledNamesIndex.h"

#include <algorithm>
#include <iterator>

void CCalledNamesIndex::Make() {
    std::size_t nHashes = 0;
    for (const CCalledNames& names : m_listCalled)
        nHashes += names.GetHashes().size();
    m_arrHashes.reserve(nHashes);
    m_arrEnds.reserve(m_listCalled.size());
    for (std::size_t k = 0; k < m_listCalled.size(); ++k) {
        const CCalledNames& names = m_listCalled[k];
        if (names.IsUnsure())
            m_arrUnsure.push_back(k);
        else
            m_arrHashes.insert(m_arrHashes.end(), names.GetHashes().begin(),
                               names.GetHashes().end());
        m_arrEnds.push_back(m_arrHashes.size());
    }
    m_bMade = true;
}

std::vector<std::size_t> CCalledNamesIndex::FilesThatMayCall(const CCalledNames::CLookup& names) {
    if (!m_bMade)
        Make();
    std::vector<std::size_t> calling;
    for (std::size_t h = 0; h < m_arrHashes.size(); ++h) {
        if (!names.Contains(m_arrHashes[h]))
            continue;
        // The file that holds it; its other hashes need no look.
        const auto end = std::upper_bound(m_arrEnds.begin(), m_arrEnds.end(), h);
        calling.push_back(static_cast<std::size_t>(end - m_arrEnds.begin()));
        h = *end - 1;
    }
    std::vector<std::size_t> files;
    files.reserve(calling.size() + m_arrUnsure.size());
    std::merge(calling.begin(), calling.end(), m_arrUnsure.begin(), m_arrUnsure.end(),
               std::back_inserter(files));
    return files;
}
