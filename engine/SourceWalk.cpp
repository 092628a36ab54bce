#include "SourceWalk.h"

#include "DirectoryListing.h"
#include "ParallelScan.h"
#include "SystemError.h"

#include <algorithm>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>
#include <unordered_set>

namespace {

// Folders kept open on the way down. Each folder is opened relative to its
// parent, so the walk costs the same at any depth; below this many levels the
// descriptors of the highest ones are closed, and reopened by path only if
// the walk needs one again for a further subfolder.
constexpr std::size_t kOpenFolders = 64;

bool IsSkipped(const std::vector<std::string>& skipped, const std::string& path) {
    return std::find(skipped.begin(), skipped.end(), path) != skipped.end();
}

std::string PathInside(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() != '/' ? folder + '/' + name : folder + name;
}

struct CIdentityHash {
    std::size_t operator()(const files::CFileIdentity& identity) const {
        return std::hash<std::uint64_t>()(identity.m_nInode * 31 + identity.m_nDevice);
    }
};

// A folder the walk is inside: its entries and the next one to visit.
struct CFolderFrame {
    int m_fd;                  // -1 once closed to stay within kOpenFolders
    std::size_t m_nPathLength; // of the folder's path, a prefix of CWalk::m_strPath
    files::CFileIdentity m_identity;
    std::vector<files::CDirEntry> m_arrEntries;
    std::size_t m_nNext = 0;
};

class CWalk final {
public:
    // `ancestors`: the folders above the walk's own, when it walks a subfolder.
    CWalk(const std::vector<std::string>& skipped, std::vector<std::string>& paths,
          CUnreadableArray& unreadable, const std::vector<files::CFileIdentity>& ancestors = {})
        : m_listSkipped(skipped), m_listPaths(paths), m_arrUnreadable(unreadable),
          m_setAncestors(ancestors.begin(), ancestors.end()) {}
    CWalk(const CWalk&) = delete;
    CWalk& operator=(const CWalk&) = delete;
    ~CWalk() {
        for (const CFolderFrame& frame : m_arrStack)
            if (frame.m_fd >= 0)
                ::close(frame.m_fd);
    }

    // Walks the folder `name` inside `parentFd`, whose path is `path`.
    void Run(int parentFd, const std::string& path, const std::string& name) {
        m_strPath = path;
        Enter(parentFd, name);
        while (!m_arrStack.empty()) {
            CFolderFrame& frame = m_arrStack.back();
            if (frame.m_nNext == frame.m_arrEntries.size()) {
                Leave();
                continue;
            }
            const files::CDirEntry& entry = frame.m_arrEntries[frame.m_nNext++];
            m_strPath.resize(frame.m_nPathLength);
            if (m_strPath.empty() || m_strPath.back() != '/')
                m_strPath += '/';
            m_strPath += entry.m_strName;
            if (entry.m_bDirectory)
                EnterSubfolder(frame, entry.m_strName);
            else if (entry.m_bRegularFile && !IsSkipped(m_listSkipped, m_strPath))
                m_listPaths.push_back(m_strPath);
        }
    }

private:
    void EnterSubfolder(CFolderFrame& parent, const std::string& name) {
        if (parent.m_fd < 0) {
            parent.m_fd = files::OpenDirectory(AT_FDCWD, m_strPath.substr(0, parent.m_nPathLength));
            if (parent.m_fd < 0) {
                m_arrUnreadable.push_back({m_strPath, files::LastError()});
                return;
            }
        }
        Enter(parent.m_fd, name);
    }

    // Lists the folder at m_strPath, `name` inside `parentFd`, and goes into it,
    // unless it cannot be opened or the walk is inside it already.
    void Enter(int parentFd, const std::string& name) {
        const int fd = files::OpenDirectory(parentFd, name);
        if (fd < 0) {
            m_arrUnreadable.push_back({m_strPath, files::LastError()});
            return;
        }
        CFolderFrame frame{fd, m_strPath.size(), {}, {}};
        bool bEntered = false;
        // A link back into a folder we are inside would lead round for ever, so
        // such a folder is not even read.
        const std::error_code ec =
            files::ListDirectory(fd, frame.m_arrEntries, [&](const files::CFileIdentity& identity) {
                frame.m_identity = identity;
                bEntered = m_setAncestors.insert(identity).second;
                return bEntered;
            });
        if (ec)
            m_arrUnreadable.push_back({m_strPath, ec});
        if (!bEntered) {
            ::close(fd);
            return; // already on the path
        }
        if (ec)
            frame.m_arrEntries.clear(); // a listing cut short is passed over as a whole
        m_arrStack.push_back(std::move(frame));
        if (m_arrStack.size() > kOpenFolders) {
            int& highest = m_arrStack[m_arrStack.size() - kOpenFolders - 1].m_fd;
            if (highest >= 0)
                ::close(highest);
            highest = -1;
        }
    }

    void Leave() {
        const CFolderFrame& frame = m_arrStack.back();
        if (frame.m_fd >= 0)
            ::close(frame.m_fd);
        m_setAncestors.erase(frame.m_identity);
        m_arrStack.pop_back();
    }

    const std::vector<std::string>& m_listSkipped;
    std::vector<std::string>& m_listPaths;
    CUnreadableArray& m_arrUnreadable;
    std::string m_strPath; // of the entry at hand; each folder's path is a prefix of it
    std::vector<CFolderFrame> m_arrStack;
    std::unordered_set<files::CFileIdentity, CIdentityHash> m_setAncestors;
};

// What the walk of one subfolder of the top folder finds.
struct CSubfolderWalk {
    std::vector<std::string> m_arrPaths;
    CUnreadableArray m_arrUnreadable;
};

} // namespace

void CollectSourceFiles(const std::string& folder, const std::vector<std::string>& skipped,
                        std::vector<std::string>& paths, CUnreadableArray& unreadable,
                        unsigned nThreads) {
    const auto walkAlone = [&] { CWalk(skipped, paths, unreadable).Run(AT_FDCWD, folder, folder); };
    if (nThreads <= 1) {
        walkAlone();
        return;
    }
    // The top folder's subfolders are walked on several threads, and what
    // each finds is joined in walk order.
    const int fd = files::OpenDirectory(AT_FDCWD, folder);
    std::vector<files::CDirEntry> entries;
    files::CFileIdentity identity;
    if (fd < 0 || files::ListDirectory(fd, entries, [&](const files::CFileIdentity& id) {
            identity = id;
            return true;
        })) {
        if (fd >= 0)
            ::close(fd);
        walkAlone(); // which tells why, as a walk on one thread does
        return;
    }
    std::vector<std::size_t> subfolders;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].m_bDirectory)
            subfolders.push_back(k);
    }
    std::vector<CSubfolderWalk> walks(entries.size());
    ParallelFor(subfolders.size(), nThreads, [&](std::size_t s) {
        const files::CDirEntry& entry = entries[subfolders[s]];
        CSubfolderWalk& walk = walks[subfolders[s]];
        CWalk(skipped, walk.m_arrPaths, walk.m_arrUnreadable, {identity})
            .Run(fd, PathInside(folder, entry.m_strName), entry.m_strName);
    });
    ::close(fd);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].m_bDirectory) {
            CSubfolderWalk& walk = walks[k];
            std::move(walk.m_arrPaths.begin(), walk.m_arrPaths.end(), std::back_inserter(paths));
            std::move(walk.m_arrUnreadable.begin(), walk.m_arrUnreadable.end(),
                      std::back_inserter(unreadable));
        } else if (entries[k].m_bRegularFile) {
            std::string path = PathInside(folder, entries[k].m_strName);
            if (!IsSkipped(skipped, path))
                paths.push_back(std::move(path));
        }
    }
}
