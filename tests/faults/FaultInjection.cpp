#include "FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

// The linker's names for the wrapped calls and their originals are reserved
// identifiers by design.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wreserved-identifier"
#endif

extern "C" {
ssize_t __real_write(int fd, const void* buffer, size_t size);
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);
int __real_mkostemp(char* pattern, int flags);
int __real_fchmod(int fd, mode_t mode);
int __real_close(int fd);
}

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

// The fault for this call of `call`, if one is armed.
const Fault* Hit(Call call) {
    CArmed& armed = Armed();
    const int nth = ++armed.m_mapCalls[call];
    const auto it = std::find_if(armed.m_arrFaults.begin(), armed.m_arrFaults.end(),
                                 [&](const Fault& f) { return f.call == call && f.nth == nth; });
    if (it == armed.m_arrFaults.end())
        return nullptr;
    if (it->before != nullptr) {
        it->before();
        return nullptr;
    }
    return &*it;
}

template <typename Result>
Result Fail(const Fault& fault) {
    errno = fault.error;
    return Result(-1);
}

} // namespace

void Arm(std::vector<Fault> faults) {
    Armed() = {std::move(faults), {}, {}};
}

} // namespace faults

using faults::Call;

extern "C" {

ssize_t __wrap_write(int fd, const void* buffer, size_t size) {
    if (const faults::Fault* fault = faults::Hit(Call::Write)) {
        if (fault->error == faults::kShortWrite)
            return __real_write(fd, buffer, size / 2);
        return faults::Fail<ssize_t>(*fault);
    }
    return __real_write(fd, buffer, size);
}

int __wrap_fsync(int fd) {
    if (const faults::Fault* fault = faults::Hit(Call::Fsync))
        return faults::Fail<int>(*fault);
    return __real_fsync(fd);
}

int __wrap_rename(const char* from, const char* to) {
    if (const faults::Fault* fault = faults::Hit(Call::Rename))
        return faults::Fail<int>(*fault);
    return __real_rename(from, to);
}

int __wrap_mkostemp(char* pattern, int flags) {
    if (const faults::Fault* fault = faults::Hit(Call::Mkostemp))
        return faults::Fail<int>(*fault);
    const int fd = __real_mkostemp(pattern, flags);
    if (fd >= 0)
        faults::Armed().m_setTemporaries.insert(fd);
    return fd;
}

int __wrap_fchmod(int fd, mode_t mode) {
    if (const faults::Fault* fault = faults::Hit(Call::Fchmod))
        return faults::Fail<int>(*fault);
    return __real_fchmod(fd, mode);
}

// Only closes of temporary files count; the descriptor is closed all the same,
// as the kernel does when close reports a late write error.
int __wrap_close(int fd) {
    if (faults::Armed().m_setTemporaries.erase(fd) == 0)
        return __real_close(fd);
    const faults::Fault* fault = faults::Hit(Call::CloseTemporary);
    const int result = __real_close(fd);
    return fault != nullptr ? faults::Fail<int>(*fault) : result;
}

} // extern "C"
