// Walks SETUP.EXE through every dialog of the wizard with the robot, as a
// person would, and saves a screenshot of each dialog over the backdrop.
//
//   walk.exe SETUP_EXE ARCHIVE_TAIL SHOTS_FOLDER
//
// The tour: the notice without a command line; uninstall with nothing
// installed; an installation (leaving and resuming once); the same again,
// cancelled at the notice of an existing copy; the removal (leaving and
// resuming once); a newer version found. Prints each step and ends with 0
// when every dialog came as expected.
#include <windows.h>

#include <cstdio>
#include <string>

#include "robot.h"

namespace {

std::string g_shots;
int g_count = 0;
bool g_ok = true;

std::string record_path()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\QVN32.INI";
}

// Waits for the named dialog, and saves the screen once it is up.
robot::Dialog see(robot::Session& setup, const std::string& name)
{
    robot::Dialog dialog = setup.next();
    if (!dialog || dialog.name != name) {
        std::printf("  expected %s, saw %s\n", name.c_str(), dialog ? dialog.title.c_str() : "nothing");
        g_ok = false;
        return dialog;
    }
    Sleep(150);  // let it paint
    robot::Image screen;
    char file[MAX_PATH];
    std::snprintf(file, sizeof file, "%s\\%02d-%s.bmp", g_shots.c_str(), ++g_count,
                  name[0] == '#' ? name.substr(1).c_str() : name.c_str());
    if (robot::CaptureScreen(screen))
        screen.save(file);
    std::printf("  %-14s \"%s\"\n", name.c_str(), dialog.title.c_str());
    return dialog;
}

void press(robot::Session& setup, const robot::Dialog& dialog, int id)
{
    if (dialog && !setup.press(dialog, id)) {
        std::printf("  cannot press %d\n", id);
        g_ok = false;
    }
}

void expect_exit(robot::Session& setup, DWORD code)
{
    DWORD actual = setup.exitCode();
    std::printf("  exit code %lu\n", actual);
    g_ok = g_ok && actual == code;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: walk SETUP_EXE ARCHIVE_TAIL SHOTS_FOLDER\n");
        return 2;
    }
    const std::string program = argv[1], archive = argv[2];
    g_shots = argv[3];
    // A machine without the application, as a person would start from.
    DeleteFileA(record_path().c_str());
    robot::RemoveTree("C:\\Program files\\Corvane Pro");

    std::printf("Started without a command line:\n");
    {
        robot::Session setup("", program);
        press(setup, see(setup, "#141"), IDOK);
        expect_exit(setup, 0);
    }

    std::printf("UNINSTALL with nothing installed:\n");
    {
        robot::Session setup("UNINSTALL", program);
        see(setup, "SETUPSCAN");
        press(setup, see(setup, "WIZARDNOTFND"), IDOK);
        expect_exit(setup, 1);
    }

    std::printf("Installation:\n");
    {
        robot::Session setup(archive, program);
        see(setup, "SETUPSCAN");
        press(setup, see(setup, "SETUPINTRO"), IDCANCEL);
        press(setup, see(setup, "SETUPEXIT"), IDCANCEL);  // Resume Setup
        std::printf("  (resumed)\n");
        robot::Dialog intro = setup.next();
        press(setup, intro, IDOK);
        press(setup, see(setup, "INSTALL"), IDOK);
        press(setup, see(setup, "DIRCREATE"), IDOK);
        see(setup, "COPYFILES");
        press(setup, see(setup, "#135"), IDOK);  // Create Icons
        press(setup, see(setup, "SUCCESS"), IDOK);
        expect_exit(setup, 1);
    }

    std::printf("Setup again, over the installed copy:\n");
    {
        robot::Session setup(archive, program);
        setup.next();  // the scan, seen before
        press(setup, setup.next(), IDOK);
        press(setup, see(setup, "NOTICE1"), IDCANCEL);
        robot::Dialog intro = setup.next();
        press(setup, intro, IDCANCEL);
        press(setup, setup.next(), IDOK);  // Exit Setup
        expect_exit(setup, 0);
    }

    std::printf("UNINSTALL:\n");
    {
        robot::Session setup("UNINSTALL", program);
        setup.next();
        press(setup, see(setup, "UNISTALL"), IDCANCEL);
        press(setup, see(setup, "EXITUNINSTALL"), IDCANCEL);  // Resume
        press(setup, setup.next(), IDOK);                      // Remove
        press(setup, see(setup, "REMOVE"), IDOK);
        see(setup, "REMOVESCAN");
        press(setup, see(setup, "RSUCCESS1"), IDOK);
        expect_exit(setup, 1);
    }

    std::printf("A newer version installed:\n");
    {
        WritePrivateProfileStringA("VERSION", "Major", "3", record_path().c_str());
        robot::Session setup(archive, program);
        setup.next();
        press(setup, see(setup, "NEWERVERSION"), IDCANCEL);
        expect_exit(setup, 0);
        DeleteFileA(record_path().c_str());
    }

    std::printf(g_ok ? "Every dialog came as expected.\n" : "The walk went wrong.\n");
    return g_ok ? 0 : 1;
}
