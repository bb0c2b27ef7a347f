#include <gtest/gtest.h>

#include <climits>

#include "driver/driver.h"

namespace {

TEST(Wizard, VersionRulesCompareSigned)
{
    struct Case {
        int major, minor;
        bool newer, same;
    } cases[] = {
        {0, 0, false, false},   {2, 0, false, true},  {2, 1, true, false},   {3, 0, true, false},
        {1, 5, false, false},   {1, 99, false, false}, {-1, 0, false, false}, {2, -1, false, false},
        {INT_MIN, 0, false, false}, {INT_MAX, 0, true, false}, {2, INT_MIN, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor);
        State.InstallRecord.majorVersion = c.major;
        State.InstallRecord.minorVersion = c.minor;
        EXPECT_EQ(c.newer, NewerVersionInstalled());
        EXPECT_EQ(c.same, SameVersionInstalled());
    }
}

// A dialog that cannot be created ends the flow with exit code 0 instead
// of looping without showing anything. Here the templates are looked for
// in a module that has none.
TEST(Wizard, EndsWhenADialogCannotBeCreated)
{
    for (const char* tail : {"", "C:\\SETUP.ZIP*code", "UNINSTALL"}) {
        SCOPED_TRACE(tail);
        State = SetupState();
        State.instance = GetModuleHandleA("kernel32.dll");
        SplitCommandLine(tail);
        EXPECT_EQ(0, RunWizard());
    }
}

}  // namespace
