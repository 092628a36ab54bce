#pragma once

#include "Used.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CKeyword;
class CUsageScanner;

// The uses found in one file, ready to be handed to their keywords: the
// CUsed records (and their copies of the path) are made on the thread that
// scanned the file, so that handing them over costs no allocation.
struct CFileUses {
    std::vector<CKeyword*> m_arrKeywords;
    std::vector<CUsed> m_arrUsed;

    // Appends each record to its keyword's m_listUsed, in order.
    void HandOver();
};

// Scans `paths` with `scanner` on `nThreads` threads (1: on the calling thread
// alone) and gives each file's uses to `merge` on the calling thread, in the
// order of `paths`, so the result is that of a scan one file after the other.
// A file's uses are dropped once merged; nothing else of a file is kept.
// `merge` returns false to stop the scan early. Returns false if it was stopped.
bool ScanFiles(const CUsageScanner& scanner, const std::vector<std::string>& paths,
               unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge);
