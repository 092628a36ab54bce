#include "SourceWalk.h"

#include "DirectoryListing.h"

#include <algorithm>

namespace {

void Walk(const std::string& folder, const std::vector<std::string>& skipped,
          std::vector<files::CFileIdentity>& ancestors, std::vector<std::string>& paths) {
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
            Walk(path, skipped, ancestors, paths);
        else if (entry.m_bRegularFile &&
                 std::find(skipped.begin(), skipped.end(), path) == skipped.end())
            paths.push_back(std::move(path));
    }
    ancestors.pop_back();
}

} // namespace

void CollectSourceFiles(const std::string& folder, const std::vector<std::string>& skipped,
                        std::vector<std::string>& paths) {
    std::vector<files::CFileIdentity> ancestors;
    Walk(folder, skipped, ancestors, paths);
}
