// The top floor in this process: the command line, the flow's end when a
// dialog cannot be created, and dialog placement.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"

namespace {

TEST(CommandLine, TheTailIsSplitAtTheFirstStarWithinTheFirst255Positions)
{
    const std::string a250(250, 'a'), a254(254, 'a'), a300(300, 'a');
    struct Case {
        std::string line, archive, code;
        bool uninstall;
    } cases[] = {
        {"SETUP.EXE", "", ""},
        {"SETUP.EXE C:\\TEMP\\SETUP.ZIP*abc", "C:\\TEMP\\SETUP.ZIP", "abc"},
        {"\"C:\\My Setup\\SETUP.EXE\" UNINSTALL", "UNINSTALL", "", true},
        {"\"C:\\My Setup\\SETUP.EXE\"UNINSTALL", "UNINSTALL", "", true},
        {"\"C:\\My Setup\\SETUP.EXE\" \t \x01\x1f" "a b ", "a b ", ""},
        {"SETUP.EXE\x01rest", "rest", ""},          // a control character ends the name
        {"SET\xA0UP.EXE tail", "tail", ""},          // a byte above 127 does not
        {"\"unterminated quote", "", ""},
        {"\"\" *abc", "", "abc"},
        {"S a*b*c", "a", "bc"},
        {"S a\tb*c\x01 d", "a\tb", "c\x01 d"},         // nothing is trimmed
        {"S uninstall", "uninstall", ""},
        {"S UNINSTALL ", "UNINSTALL ", ""},
        {"S UNINSTALLX", "UNINSTALLX", ""},
        {"S " + a300, a300.substr(0, 255), ""},
        {"S " + a250 + "*0123456789", a250, "0123"},  // the code ends at position 254
        {"S " + a254 + "*xyz", a254, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 40));
        SplitCommandLine(CommandTail(c.line.c_str()));
        EXPECT_EQ(c.archive, State.ArchivePath);
        EXPECT_EQ(c.code, State.DecryptCode);
        EXPECT_EQ(c.uninstall, IsUninstallWord(State.ArchivePath));
    }
}

// The first dialog of each road cannot be created from a module without
// templates: the flow ends with 0 rather than loop on showing nothing.
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

// Over its owner, or the screen (Wine's desktop of 1024 x 768), and kept
// on the screen.
TEST(CenterDialog, CentresOverTheOwnerAndStaysOnScreen)
{
    struct Case {
        RECT owner;
        int width, height;
        POINT expected;
    } cases[] = {
        {{100, 50, 500, 451}, 201, 101, {200, 200}},  // odd sizes round toward zero
        {{900, 600, 1100, 800}, 200, 100, {824, 650}},
        {{-300, -200, 100, 100}, 200, 100, {0, 0}},
        {{0, 0, 0, 0}, 300, 200, {362, 284}},  // no owner: over the screen
    };
    for (const Case& c : cases) {
        const RECT& r = c.owner;
        HWND owner = r.right ? CreateWindowExA(0, "STATIC", "", WS_POPUP, r.left, r.top, r.right - r.left,
                                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr)
                             : nullptr;
        HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 50, 60, c.width, c.height, owner, nullptr, nullptr,
                                      nullptr);
        CenterDialog(dialog);
        RECT placed;
        GetWindowRect(dialog, &placed);
        EXPECT_EQ(c.expected.x, placed.left) << r.left << "," << r.top;
        EXPECT_EQ(c.expected.y, placed.top) << r.left << "," << r.top;
        EXPECT_EQ(c.width, placed.right - placed.left);
        DestroyWindow(dialog);
        DestroyWindow(owner);
    }
}

}  // namespace
