// Waiting for a file another program holds: how long, and for which failures.
#include <gtest/gtest.h>

#include "in_use.h"
#include "machine.h"

namespace {

// How often Patience tries again before it gives up, after each kind of
// failure: a file held open is waited for until the time is up, pausing
// 50, 100, 200, 400 ms and so on; a missing file not at all; a denial of
// a file nobody holds (read-only, say) once more at once, in case its
// holder let go just then.
TEST(Patience, AFileInUseIsWaitedForUntilTheTimeIsUp)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = machine::WriteFile(std::string(temp) + "held.txt", "held");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    struct Case {
        DWORD error, limit;
        int tries;  // trues before the first false
        bool inUse;
    } cases[] = {
        {ERROR_SHARING_VIOLATION, 1000, 5, true},  // 50 + 100 + 200 + 400 + the 250 left
        {ERROR_LOCK_VIOLATION, 0, 0, true},
        {ERROR_ACCESS_DENIED, 400, 4, true},  // denied, and the file is held: 50 + 100 + 200 + 50
        {ERROR_FILE_NOT_FOUND, 1000, 0, false},
        {ERROR_ACCESS_DENIED, 1000, 1, false},  // denied, once the file is let go
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        if (!c.inUse && c.error == ERROR_ACCESS_DENIED)
            CloseHandle(held);
        Patience patience(c.limit);
        int tries = 0;
        DWORD start = GetTickCount();
        while (patience.Again(path.c_str(), c.error) && tries < 100)
            ++tries;
        EXPECT_EQ(c.tries, tries);
        EXPECT_EQ(c.inUse, patience.InUse());
        EXPECT_GE(GetTickCount() - start + 20, c.inUse ? c.limit : 0) << "it waited its time";
    }
    DeleteFileA(path.c_str());
}

}  // namespace
