// Waiting for a file another program holds: how long, and for which
// failures.
#include <gtest/gtest.h>

#include <string>

#include "in_use.h"
#include "machine.h"

namespace {

// After each kind of failure, how often Patience tries again before it
// gives up, and whether it took the file for one in use: a file held open
// is waited for until the time is up, pausing longer each time; a denial
// of a file nobody holds is tried once more at once; a missing file not
// at all.
TEST(Patience, AFileInUseIsWaitedForUntilTheTimeIsUp)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = machine::WriteFile(std::string(temp) + "held.txt", "held");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    struct Case {
        DWORD error, limit;
        int tries;  // Again's trues before the first false
        bool inUse;
    } cases[] = {
        {ERROR_SHARING_VIOLATION, 1000, 5, true},  // 50 + 100 + 200 + 400 + the 250 left
        {ERROR_LOCK_VIOLATION, 0, 0, true},
        {ERROR_ACCESS_DENIED, 400, 4, true},  // denied, and the file is held: 50 + 100 + 200 + 50
        {ERROR_FILE_NOT_FOUND, 1000, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        Patience patience(c.limit);
        int tries = 0;
        DWORD start = GetTickCount();
        while (patience.Again(path.c_str(), c.error) && tries < 100)
            ++tries;
        EXPECT_EQ(c.tries, tries);
        EXPECT_EQ(c.inUse, patience.InUse());
        if (c.inUse) {
            EXPECT_GE(GetTickCount() - start + 20, c.limit) << "it waited its time";
        }
    }
    CloseHandle(held);
    // Let go of, the file is denied (read-only, say) for its own sake: one
    // more try at once, in case its holder let go just then, and no more.
    Patience patience(1000);
    EXPECT_FALSE(HeldOpen(path.c_str()));
    EXPECT_TRUE(patience.Again(path.c_str(), ERROR_ACCESS_DENIED));
    EXPECT_FALSE(patience.Again(path.c_str(), ERROR_ACCESS_DENIED));
    EXPECT_FALSE(patience.InUse());
    DeleteFileA(path.c_str());
}

}  // namespace
