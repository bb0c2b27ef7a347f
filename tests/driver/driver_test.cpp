// The top floor in this process: the command line, the flow's end when a
// dialog cannot be created, and dialog placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "command_words.h"
#include "driver/driver.h"
#include "machine.h"
#include "robot.h"

namespace {

using machine::Narrow;
using machine::Widen;

TEST(CommandLine, TheTailIsSplitAtTheFirstStarWithinTheFirst255Positions)
{
    const std::wstring a250(250, L'a'), a254(254, L'a'), a300(300, L'a');
    struct Case {
        std::wstring line, archive, code;
        bool uninstall;
    } cases[] = {
        {L"SETUP.EXE", L"", L""},
        {L"SETUP.EXE C:\\TEMP\\SETUP.ZIP*abc", L"C:\\TEMP\\SETUP.ZIP", L"abc"},
        {L"\"C:\\My Setup\\SETUP.EXE\" UNINSTALL", L"UNINSTALL", L"", true},
        {L"\"C:\\My Setup\\SETUP.EXE\"UNINSTALL", L"UNINSTALL", L"", true},
        {L"\"C:\\My Setup\\SETUP.EXE\" \t \x01\x1f" "a b ", L"a b ", L""},
        {L"SETUP.EXE\x01rest", L"rest", L""},          // a control character ends the name
        {L"SET\xA0UP.EXE tail", L"tail", L""},          // a byte above 127 does not
        {L"\"unterminated quote", L"", L""},
        {L"\"\" *abc", L"", L"abc"},
        {L"S a*b*c", L"a", L"bc"},
        {L"S a\tb*c\x01 d", L"a\tb", L"c\x01 d"},         // nothing is trimmed
        {L"S uninstall", L"uninstall", L""},
        {L"S UNINSTALL ", L"UNINSTALL ", L""},
        {L"S UNINSTALLX", L"UNINSTALLX", L""},
        {L"S " + a300, a300.substr(0, 255), L""},
        {L"S " + a250 + L"*0123456789", a250, L"0123"},  // the code ends at position 254
        {L"S " + a254 + L"*xyz", a254, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.line.substr(0, 40)));
        EXPECT_EQ(TAIL_TAKEN, SplitCommandLine(CommandTail(c.line.c_str())));
        EXPECT_EQ(Narrow(c.archive), State.ArchivePath);
        EXPECT_EQ(Narrow(c.code), State.DecryptCode);
        EXPECT_EQ(c.uninstall, IsUninstallWord(State.ArchivePath));
    }
}

// Switches lead the tail; the rest is split as it always was. Every switch
// is read, and the first that is unknown or has a bad value is named.
TEST(CommandLine, SwitchesBeforeTheTailAreReadOrRefused)
{
    const std::wstring deep = L"C:\\" + std::wstring(241, L'd'), long_value = std::wstring(260, L'v');
    struct Case {
        std::wstring tail, rest;
        RunMode mode;
        std::wstring folder, log;
        bool noIcons;
        std::wstring refused;  // how the refusal starts: the switch, and why
        std::wstring ends = L"";
        int wait = -1;  // /wait's seconds; -1 without it
        bool closeApplications = false;
    } cases[] = {
        {L"C:\\SETUP.ZIP*code", L"C:\\SETUP.ZIP*code"},
        {L"UNINSTALL /quiet", L"UNINSTALL /quiet"},
        {L"/quiet UNINSTALL", L"UNINSTALL", QUIET},
        {L"/Passive \t C:\\A.ZIP*/x", L"C:\\A.ZIP*/x", PASSIVE},
        {L"/dir=\"C:\\My Apps\\.\" /NOICONS /LOG=x.log C:\\A.ZIP*x", L"C:\\A.ZIP*x", INTERACTIVE, L"C:\\My Apps",
         L"x.log", true},
        {L"/dir=c:/apps/", L"", INTERACTIVE, L"c:\\apps"},
        {L"/bogus /quiet X", L"X", QUIET, L"", L"", false, L"/bogus: Setup knows no such switch."},
        {L"/quiet /dir=Apps /bogus X", L"X", QUIET, L"", L"", false, L"/dir=Apps: the folder must be a full path"},
        {L"/quiet=1 X", L"X", INTERACTIVE, L"", L"", false, L"/quiet=1: this switch takes no value."},
        {L"/dir X", L"X", INTERACTIVE, L"", L"", false, L"/dir: this switch needs a value"},
        {L"/log= X", L"X", INTERACTIVE, L"", L"", false, L"/log=: the value is empty."},
        {L"/log=" + long_value + L" X", L"X", INTERACTIVE, L"", L"", false, L"/log=vvv", L": the value is too long."},
        {L"/dir=\"C:\\A B X", L"", INTERACTIVE, L"", L"", false, L"/dir=\"C:\\A B X: the switch is not well formed."},
        {L"/dir=\"C:\\A\"B X", L"X", INTERACTIVE, L"", L"", false, L"/dir=\"C:\\A\"B: the switch is not well formed."},
        {L"/dir=" + deep + L" X", L"X", INTERACTIVE, L"", L"", false, L"/dir=C:\\ddd",
         L"d: the folder name is too long for the files that go into it."},
        {L"/quietC:\\A.ZIP*secret", L"", INTERACTIVE, L"", L"", false, L"/quietC:\\A.ZIP*****: Setup knows no such"},
        {L"/quiet /passive X", L"X", QUIET, L"", L"", false, L"/passive: only one of /quiet and /passive"},
        {L"/quiet /WAIT=86400 /CloseApplications X", L"X", QUIET, L"", L"", false, L"", L"", 86400, true},
        {L"/wait=0 X", L"X", INTERACTIVE, L"", L"", false, L"", L"", 0},
        {L"/wait=86401 X", L"X", INTERACTIVE, L"", L"", false, L"/wait=86401: the wait is a number of seconds"},
        {L"/wait=4294967301 X", L"X", INTERACTIVE, L"", L"", false, L"/wait=4294967301: the wait is a number"},
        {L"/wait=-1 X", L"X", INTERACTIVE, L"", L"", false, L"/wait=-1: the wait is a number of seconds"},
        {L"/wait=5s X", L"X", INTERACTIVE, L"", L"", false, L"/wait=5s: the wait is a number of seconds"},
        {L"/closeapplications=yes X", L"X", INTERACTIVE, L"", L"", false, L"/closeapplications=yes: this switch takes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.tail.substr(0, 60)));
        Switches switches;
        Refusal refusal;
        EXPECT_EQ(c.rest, ReadSwitches(c.tail.c_str(), switches, refusal));
        // As the log tells it.
        std::wstring told = refusal.text ? Widen(robot::Text(refusal.text, 0x409, Narrow(refusal.word, CP_UTF8)), CP_UTF8)
                                         : L"";
        EXPECT_EQ(0, told.compare(0, c.refused.size(), c.refused)) << Narrow(told);
        EXPECT_NE(std::wstring::npos, told.find(c.ends)) << Narrow(told);
        EXPECT_EQ(c.refused.empty(), refusal.text == 0);
        if (!c.refused.empty())
            continue;
        EXPECT_EQ(c.mode, switches.mode);
        EXPECT_EQ(Narrow(c.folder), switches.folder);
        EXPECT_EQ(c.log, switches.log);
        EXPECT_EQ(c.noIcons, switches.noIcons);
        EXPECT_EQ(c.wait >= 0, switches.waitGiven);
        EXPECT_EQ(c.wait >= 0 ? static_cast<DWORD>(c.wait) : 0u, switches.waitSeconds);
        EXPECT_EQ(c.closeApplications, switches.closeApplications);
    }
}

// What UNINSTAL.EXE passes on to the removal it starts: the run's switch
// and how a file in use is waited for, nothing else of its command line.
TEST(CommandLine, ARemovalPassesOnOnlyTheSwitchesItKnows)
{
    struct Case {
        const wchar_t* tail;
        const char* passed;
    } cases[] = {
        {L"", ""},
        {L"/quiet", "/quiet "},
        {L"/Wait=45 /PASSIVE /closeApplications", "/passive /closeapplications /wait=45 "},
        {L"/wait=999999 /wait=7", "/wait=7 "},
        {L"/wait=1234567 /wait= /wait=5s /wait=\"5\" /waiting=5 /closeapps", ""},
        {L"\"/quiet /wait=5\" UNINSTALL&calc /wait=3&calc", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.tail));
        char passed[PASSED_CHARS];
        PassedSwitches(c.tail, passed);
        EXPECT_STREQ(c.passed, passed);
    }
}

// The first dialog of each road cannot be created from a module without
// templates: the flow ends with 0 rather than loop on showing nothing.
TEST(Wizard, EndsWhenADialogCannotBeCreated)
{
    for (const wchar_t* tail : {L"", L"C:\\SETUP.ZIP*code", L"UNINSTALL"}) {
        SCOPED_TRACE(Narrow(tail));
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
