#include "SourceWalk.h"

#include "DirectoryListing.h"

#include <algorithm>

namespace {

struct CWalk {
    const std::vector<std::string>& m_listSkipped;
    std::vector<std::string>& m_listPaths;
    CUnreadableArray& m_arrUnreadable;
    std::vector<files::CFileIdentity> m_arrAncestors;
};

void Walk(const std::string& folder, CWalk& walk) {
    auto& ancestors = walk.m_arrAncestors;
    std::vector<files::CDirEntry> entries;
    bool bEntered = false;
    // A link back into a folder we are inside would lead round for ever, so
    // such a folder is not even read.
    const auto admit = [&](const files::CFileIdentity& identity) {
        if (std::find(ancestors.begin(), ancestors.end(), identity) != ancestors.end())
            return false;
        ancestors.push_back(identity);
        bEntered = true;
        return true;
    };
    const std::error_code ec = files::ListDirectory(folder, entries, admit);
    if (ec)
        walk.m_arrUnreadable.push_back({folder, ec});
    if (!bEntered)
        return; // cannot be opened, or already on the path
    if (ec)
        entries.clear(); // a listing cut short is passed over as a whole
    for (const auto& entry : entries) {
        std::string path = folder;
        if (path.empty() || path.back() != '/')
            path += '/';
        path += entry.m_strName;
        if (entry.m_bDirectory)
            Walk(path, walk);
        else if (entry.m_bRegularFile &&
                 std::find(walk.m_listSkipped.begin(), walk.m_listSkipped.end(), path) ==
                     walk.m_listSkipped.end())
            walk.m_listPaths.push_back(std::move(path));
    }
    ancestors.pop_back();
}

} // namespace

void CollectSourceFiles(const std::string& folder, const std::vector<std::string>& skipped,
                        std::vector<std::string>& paths, CUnreadableArray& unreadable) {
    CWalk walk{skipped, paths, unreadable, {}};
    Walk(folder, walk);
}
