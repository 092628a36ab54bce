#pragma once

#include "UnreadablePath.h"

#include <string>
#include <vector>

// Appends the path of every regular file under `folder` to `paths`, in walk
// order: a folder's entries in the order the file system lists them, each
// subfolder walked completely before the next entry. A path is the folder's
// path, "/" and the name. Files whose path equals an entry of `skipped` (whole
// string, case-sensitive) are left out. Links are followed, except a link to a
// folder the walk is already inside, which would never end. Entries that are
// neither folders nor regular files are passed over. A folder that cannot be
// listed, `folder` itself included, is passed over as a whole and appended to
// `unreadable`. The subfolders of `folder` are walked on up to `nThreads`
// threads; the order stays the same.
void CollectSourceFiles(const std::string& folder, const std::vector<std::string>& skipped,
                        std::vector<std::string>& paths, CUnreadableArray& unreadable,
                        unsigned nThreads = 1);
