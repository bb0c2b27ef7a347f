// Walks SETUP.EXE through every dialog of the wizard with the robot, as a
// person would, and saves a screenshot of each dialog over the backdrop.
//
//   walk.exe SETUP_EXE ARCHIVE_TAIL SHOTS_FOLDER PAYLOAD_FOLDER
//
// The tour: the notice without a command line; uninstall with nothing
// installed; an installation (leaving and resuming once); the same again,
// cancelled at the notice of an existing copy; the removal (leaving and
// resuming once); a newer version found. After the installation the seven
// files are compared with the payload and the shortcuts that "Create
// Icons" made are listed. Prints each step and ends with 0 when every
// dialog came as expected and the files and shortcuts are there.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "robot.h"

namespace {

const char TARGET[] = "C:\\Program files\\Corvane Pro";

std::string g_shots;
int g_count = 0;
bool g_ok = true;

std::string record_path()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\QVN32.INI";
}

void save_screen(const std::string& name)
{
    robot::Image screen;
    char file[MAX_PATH];
    std::snprintf(file, sizeof file, "%s\\%02d-%s.bmp", g_shots.c_str(), ++g_count,
                  name[0] == '#' ? name.substr(1).c_str() : name.c_str());
    if (robot::CaptureScreen(screen))
        screen.save(file);
}

// Waits for the named dialog, and saves the screen once it is up. The
// work dialogs are taken at once: they are busy, and gone soon.
robot::Dialog see(robot::Session& setup, const std::string& name, robot::Dialog dialog = robot::Dialog())
{
    if (!dialog)
        dialog = setup.next();
    if (!dialog || dialog.name != name) {
        std::printf("  expected %s, saw %s\n", name.c_str(), dialog ? dialog.title.c_str() : "nothing");
        g_ok = false;
        return dialog;
    }
    if (name != "SETUPSCAN" && name != "REMOVESCAN" && name != "COPYFILES")
        Sleep(150);  // let it paint
    save_screen(name);
    std::printf("  %-14s \"%s\"\n", name.c_str(), dialog.title.c_str());
    return dialog;
}

std::string read_file(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// The installed files against the payload they were packed from.
void check_installation(const std::string& payload)
{
    const char* members[] = {"QVN32.EXE",    "QVNTUTOR.HLP", "QVNHELP.HLP", "SETUP.EXE",
                             "UNINSTAL.EXE", "DZIP32.DLL",   "DUNZIP32.DLL"};
    int same = 0;
    for (const char* member : members) {
        std::string expected = read_file(payload + "\\" + member);
        bool whole = !expected.empty() && read_file(std::string(TARGET) + "\\" + member) == expected;
        same += whole;
        if (!whole)
            std::printf("  %s differs from the payload\n", member);
    }
    char path[MAX_PATH] = {};
    GetPrivateProfileStringA("INSTALL PATH", "Path", "", path, MAX_PATH, record_path().c_str());
    std::printf("  %d of 7 files byte-identical to the payload; recorded path %s\n", same, path);
    g_ok = g_ok && same == 7 && std::string(path) == std::string(TARGET) + "\\QVN32.EXE";
}

std::string group_folder()
{
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
    return std::string(programs) + "\\Corvane";
}

std::string shortcut_target(const std::string& path)
{
    std::string result;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) != S_OK)
        return result;
    std::wstring wide(path.begin(), path.end());
    char target[MAX_PATH] = {};
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK &&
        file->Load(wide.c_str(), STGM_READ) == S_OK && link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK)
        result = target;
    if (file)
        file->Release();
    link->Release();
    return result;
}

// The shortcuts in the program group, as the desktop shell made them.
void list_shortcuts()
{
    const std::string folder = group_folder();
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*.lnk").c_str(), &entry);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::printf("  shortcut %-28s -> %s\n", entry.cFileName,
                        shortcut_target(folder + "\\" + entry.cFileName).c_str());
            ++count;
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::printf("  %d shortcuts in %s\n", count, folder.c_str());
    g_ok = g_ok && count == 4;
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
    if (argc != 5) {
        std::fprintf(stderr, "usage: walk SETUP_EXE ARCHIVE_TAIL SHOTS_FOLDER PAYLOAD_FOLDER\n");
        return 2;
    }
    const std::string program = argv[1], archive = argv[2], payload = argv[4];
    g_shots = argv[3];
    // A machine without the application, as a person would start from.
    CoInitialize(nullptr);
    DeleteFileA(record_path().c_str());
    robot::RemoveTree(TARGET);
    robot::RemoveTree(group_folder());

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
        // The copying can be over before the robot looks.
        robot::Dialog next = setup.next();
        if (next.name == "COPYFILES") {
            see(setup, "COPYFILES", next);
            next = setup.next();
        } else {
            std::printf("  (COPYFILES came and went)\n");
        }
        press(setup, see(setup, "#135", next), IDOK);  // Create Icons
        press(setup, see(setup, "SUCCESS"), IDOK);
        expect_exit(setup, 1);
        check_installation(payload);
        list_shortcuts();
        robot::CloseShellWindows();  // the shell showed the new group in a folder window
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
