#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct CFileUses;

// Analyzes the files 0 to nFiles - 1 with `analyze` (AnalyzeSourceFile, say) on `nThreads` threads
// (1: on the calling thread alone) and gives each file's uses to `merge` on the calling thread, in
// the files' order, so the result is that of a scan one file after the other. A file's uses are
// dropped once merged; nothing else of a file is kept. `merge` returns false to stop the scan
// early. Returns false if it was stopped.
bool ScanFiles(const std::function<void(std::size_t index, CFileUses& uses)>& analyze,
               std::size_t nFiles, unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge);
