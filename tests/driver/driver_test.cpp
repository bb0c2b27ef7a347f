// The top floor in this process: the command line, the flow's end when a
// dialog cannot be created, and dialog placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

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

// Switches lead the tail; the rest is split as it always was. Every switch
// is read, and the first that is unknown or has a bad value is named.
TEST(CommandLine, SwitchesBeforeTheTailAreReadOrRefused)
{
    const std::string deep = "C:\\" + std::string(241, 'd'), long_value = std::string(260, 'v');
    struct Case {
        std::string tail, rest;
        RunMode mode;
        std::string folder, log;
        bool noIcons;
        std::string refused;  // how the refusal starts: the switch, and why
        std::string ends = "";
    } cases[] = {
        {"C:\\SETUP.ZIP*code", "C:\\SETUP.ZIP*code"},
        {"UNINSTALL /quiet", "UNINSTALL /quiet"},
        {"/quiet UNINSTALL", "UNINSTALL", QUIET},
        {"/Passive \t C:\\A.ZIP*/x", "C:\\A.ZIP*/x", PASSIVE},
        {"/dir=\"C:\\My Apps\\.\" /NOICONS /LOG=x.log C:\\A.ZIP*x", "C:\\A.ZIP*x", INTERACTIVE, "C:\\My Apps",
         "x.log", true},
        {"/dir=c:/apps/", "", INTERACTIVE, "c:\\apps"},
        {"/bogus /quiet X", "X", QUIET, "", "", false, "/bogus: Setup knows no such switch."},
        {"/quiet /dir=Apps /bogus X", "X", QUIET, "", "", false, "/dir=Apps: the folder must be a full path"},
        {"/quiet=1 X", "X", INTERACTIVE, "", "", false, "/quiet=1: this switch takes no value."},
        {"/dir X", "X", INTERACTIVE, "", "", false, "/dir: this switch needs a value"},
        {"/log= X", "X", INTERACTIVE, "", "", false, "/log=: the value is empty."},
        {"/log=" + long_value + " X", "X", INTERACTIVE, "", "", false, "/log=vvv", ": the value is too long."},
        {"/dir=\"C:\\A B X", "", INTERACTIVE, "", "", false, "/dir=\"C:\\A B X: the switch is not well formed."},
        {"/dir=\"C:\\A\"B X", "X", INTERACTIVE, "", "", false, "/dir=\"C:\\A\"B: the switch is not well formed."},
        {"/dir=" + deep + " X", "X", INTERACTIVE, "", "", false, "/dir=C:\\ddd",
         "d: the folder name is too long for the files that go into it."},
        {"/quietC:\\A.ZIP*secret", "", INTERACTIVE, "", "", false, "/quietC:\\A.ZIP*****: Setup knows no such"},
        {"/quiet /passive X", "X", QUIET, "", "", false, "/passive: only one of /quiet and /passive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail.substr(0, 60));
        Switches switches;
        char refusal[REFUSAL_CHARS];
        EXPECT_EQ(c.rest, ReadSwitches(c.tail.c_str(), switches, refusal));
        std::string told = refusal;
        EXPECT_EQ(0, told.compare(0, c.refused.size(), c.refused)) << told;
        EXPECT_NE(std::string::npos, told.find(c.ends)) << told;
        EXPECT_EQ(c.refused.empty(), refusal[0] == '\0');
        if (!c.refused.empty())
            continue;
        EXPECT_EQ(c.mode, switches.mode);
        EXPECT_EQ(c.folder, switches.folder);
        EXPECT_EQ(c.log, switches.log);
        EXPECT_EQ(c.noIcons, switches.noIcons);
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

// The part of a canvas that is not black: where the logo was drawn.
RECT drawn_part(HDC dc, int width, int height)
{
    RECT part = {width, height, 0, 0};
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2)
            if (GetPixel(dc, x, y) != RGB(0, 0, 0))
                part = {std::min<LONG>(part.left, x), std::min<LONG>(part.top, y), std::max<LONG>(part.right, x),
                        std::max<LONG>(part.bottom, y)};
    return part;
}

// The logo and its place grow with the resolution: at 144 dots per inch
// it covers half as much again as at 96, each way.
TEST(Backdrop, TheLogoGrowsWithTheResolution)
{
    State.instance = GetModuleHandleA(nullptr);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 640, 400);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT parts[2];
    for (int i = 0; i < 2; ++i) {
        RECT all = {0, 0, 640, 400};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RECT logo = LogoPlace(i == 0 ? 96 : 144);
        DrawLogo(dc, logo.left, logo.top, logo.right, logo.bottom);
        parts[i] = drawn_part(dc, 640, 400);
    }
    const RECT &small = parts[0], &large = parts[1];
    ASSERT_LT(small.left, small.right) << "the logo was drawn";
    for (auto [at96, at144] : {std::pair(small.left, large.left), std::pair(small.top, large.top),
                               std::pair(small.right, large.right), std::pair(small.bottom, large.bottom)})
        EXPECT_NEAR(at96 * 1.5, at144, 3) << at96;
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// A dialog lands wholly on the screen (Wine's desktop of 1024 x 768)
// wherever its owner is, and centred over an owner it fits within.
TEST(CenterDialog, LandsOnTheScreenAndCentredOverAnOwnerItFits)
{
    struct Case {
        RECT owner;  // none when empty
        bool fits;
    } cases[] = {
        {{100, 50, 500, 451}, true}, {{0, 0, 0, 0}, true}, {{900, 600, 1100, 800}}, {{-300, -200, 100, 100}},
    };
    for (const Case& c : cases) {
        const RECT& r = c.owner;
        SCOPED_TRACE(::testing::Message() << r.left << "," << r.top);
        HWND owner = r.right ? CreateWindowExA(0, "STATIC", "", WS_POPUP, r.left, r.top, r.right - r.left,
                                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr)
                             : nullptr;
        HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 50, 60, 201, 101, owner, nullptr, nullptr, nullptr);
        CenterDialog(dialog);
        RECT placed, over = r.right ? r : RECT{0, 0, 1024, 768};
        GetWindowRect(dialog, &placed);
        EXPECT_TRUE(placed.left >= 0 && placed.top >= 0 && placed.right <= 1024 && placed.bottom <= 768);
        if (c.fits) {
            EXPECT_LE(std::abs((placed.left + placed.right) - (over.left + over.right)), 2);
            EXPECT_LE(std::abs((placed.top + placed.bottom) - (over.top + over.bottom)), 2);
        }
        DestroyWindow(dialog);
        DestroyWindow(owner);
    }
}

}  // namespace
