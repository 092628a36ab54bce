#pragma once

// Failures of chosen system calls, for the fault tests of the wipe. The test
// program is linked with --wrap for each call below, so that the code under
// test calls these wrappers instead of the C library's functions.

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
