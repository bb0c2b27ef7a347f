// The removal sweep's own time, in this process.
#include <gtest/gtest.h>

#include <cstdio>

#include "driver/driver.h"
#include "remove/remove.h"

namespace {

// The removal notice stays up at least two seconds from the start of the
// work, however little there is to remove. The upper bound only catches a
// wait added on top.
TEST(Sweep, HoldsAtLeastTwoSeconds)
{
    State = SetupState();
    lstrcpyA(State.InstalledFolder, "C:\\sweep-test\\nothing here");
    State.InstallRecord.releaseEdition = 1;
    DWORD start = GetTickCount();
    RemovalSweep(nullptr);
    DWORD elapsed = GetTickCount() - start;
    std::printf("the sweep took %lu ms\n", elapsed);
    EXPECT_GE(elapsed, 2000u);
    EXPECT_LT(elapsed, 3500u);
    EXPECT_FALSE(State.IsInstalled);
}

}  // namespace
