#pragma once

// Failures of chosen system calls for the wipe's fault tests: the test program is
// linked with --wrap for each call below, so that the code calls these wrappers.

#include <vector>

namespace faults {

enum class Call { Write, Fsync, Rename, Mkostemp, Fchmod, CloseTemporary };

inline constexpr int kShortWrite = -1; // as `error`: write half the bytes, successfully

struct Fault {
    Call call = Call::Write;
    int nth = 0;                // the how-many-th call since Arm to hit, from 1
    int error = 0;              // errno to fail with, or kShortWrite
    void (*before)() = nullptr; // when given: run it, then let the call through
};

// From now on, the calls named by `faults` fail (or are preceded) as described.
void Arm(std::vector<Fault> faults);

} // namespace faults
