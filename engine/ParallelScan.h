#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct CFileUses;

// Analyzes `paths` with `analyze` (AnalyzeSourceFile, say) on `nThreads` threads (1: on the calling
// thread alone) and gives each file's uses to `merge` on the calling thread, in the order of
// `paths`, so the result is that of a scan one file after the other. A file's uses are dropped once
// merged; nothing else of a file is kept. `merge` returns false to stop the scan early. Returns
// false if it was stopped.
bool ScanFiles(const std::function<void(const std::string& path, CFileUses& uses)>& analyze,
               const std::vector<std::string>& paths, unsigned nThreads,
               const std::function<bool(std::size_t index, CFileUses& uses)>& merge);
