// Ends a program at an exact moment of its work, as a kill or a crash
// would: it runs under the system's debugging interface, and when a system
// function is entered for the nth time the process is terminated on the
// spot. The functions' first instructions become breakpoints in that
// process only, and each call goes on through a copy of the instruction:
// code is never written back, since an emulating processor (Wine's 32-bit
// loader under qemu) would go on running what it translated before.
#ifndef CORVANE_TEST_STOPPER_H
#define CORVANE_TEST_STOPPER_H

#include <windows.h>

#include <string>
#include <vector>

namespace robot {

struct StoppedRun {
    bool started = false;    // false: it could not be started or watched, or it ran out of time
    bool killed = false;     // terminated at the call
    DWORD exitCode = 0;      // as it ended
    std::vector<int> calls;  // how often each watched function was entered
};

// Runs `commandLine` watching the kernel32 functions `watched`, and
// terminates it on entering `watched[which]` for the `call`th time; with a
// call of 0, or with fewer calls, it runs to its end and the calls are
// counted. started is false, too, for a function whose first instruction
// the stopper does not know.
StoppedRun RunStoppingAt(const std::string& commandLine, const std::vector<std::string>& watched, size_t which = 0,
                         int call = 0, DWORD timeoutMs = 120000);

}  // namespace robot

#endif
