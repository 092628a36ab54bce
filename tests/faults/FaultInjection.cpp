#include "FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

// The linker's names of the wrappers and originals are reserved by design.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wreserved-identifier"
#endif

namespace faults {
namespace {

struct CArmed {
    std::vector<Fault> m_arrFaults;
    std::map<Call, int> m_mapCalls;
    std::set<int> m_setTemporaries; // descriptors from mkostemp, for CloseTemporary
};

// Never destroyed: the wrappers may run before main and after it.
CArmed& Armed() {
    static auto* pArmed = new CArmed;
    return *pArmed;
}

// The fault that fails this call of `call`, with errno set, if one is armed.
const Fault* Hit(Call call) {
    CArmed& armed = Armed();
    const int nth = ++armed.m_mapCalls[call];
    const auto it = std::ranges::find_if(
        armed.m_arrFaults, [&](const Fault& f) { return f.call == call && f.nth == nth; });
    if (it == armed.m_arrFaults.end())
        return nullptr;
    if (it->before != nullptr) {
        it->before();
        return nullptr;
    }
    errno = it->error;
    return &*it;
}

} // namespace

void Arm(std::vector<Fault> faults) {
    Armed() = {std::move(faults), {}, {}};
}

// C linkage puts these at the linker's names, namespace or not.
extern "C" {
ssize_t __real_write(int fd, const void* buffer, size_t size);
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);
int __real_mkostemp(char* pattern, int flags);
int __real_fchmod(int fd, mode_t mode);
int __real_close(int fd);

ssize_t __wrap_write(int fd, const void* buffer, size_t size) {
    const Fault* fault = Hit(Call::Write);
    if (fault != nullptr && fault->error != kShortWrite)
        return -1;
    return __real_write(fd, buffer, fault != nullptr ? size / 2 : size);
}

int __wrap_fsync(int fd) {
    return Hit(Call::Fsync) != nullptr ? -1 : __real_fsync(fd);
}

int __wrap_rename(const char* from, const char* to) {
    return Hit(Call::Rename) != nullptr ? -1 : __real_rename(from, to);
}

int __wrap_fchmod(int fd, mode_t mode) {
    return Hit(Call::Fchmod) != nullptr ? -1 : __real_fchmod(fd, mode);
}

int __wrap_mkostemp(char* pattern, int flags) {
    const int fd = Hit(Call::Mkostemp) != nullptr ? -1 : __real_mkostemp(pattern, flags);
    if (fd >= 0)
        Armed().m_setTemporaries.insert(fd);
    return fd;
}

// Only closes of temporary files count; the descriptor is closed all the same, as
// the kernel does when close reports a late write error.
int __wrap_close(int fd) {
    const bool bFail =
        Armed().m_setTemporaries.erase(fd) != 0 && Hit(Call::CloseTemporary) != nullptr;
    const int result = __real_close(fd);
    return bFail ? -1 : result;
}
} // extern "C"

} // namespace faults
