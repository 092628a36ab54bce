#pragma once

#include "CalledNames.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The called names of a load's files, for the rounds that ask which files
// may call one of a few macros: every file's hashes in one array, which a
// round reads straight through, rather than a list a file. Made at the first
// question, so that a load whose files paste nothing never makes it. Not for
// use by two threads at once.
class CCalledNamesIndex final {
public:
    // `called` must outlive the index and not change.
    explicit CCalledNamesIndex(const std::vector<CCalledNames>& called) : m_listCalled(called) {}

    // The k, in order, for which called[k].MayCall(names).
    std::vector<std::size_t> FilesThatMayCall(const CCalledNames::CLookup& names);

private:
    void Make();

    const std::vector<CCalledNames>& m_listCalled;
    bool m_bMade = false;
    std::vector<std::uint32_t> m_arrHashes; // file after file
    std::vector<std::size_t> m_arrEnds;     // of each file's hashes in m_arrHashes
    std::vector<std::size_t> m_arrUnsure;   // the files that may call anything
};
