// Walks SETUP.EXE through every dialog of the wizard with the robot, as a
// person would, through a whole round trip:
//
//   walk.exe tour SETUP_EXE ARCHIVE_TAIL SHOTS_FOLDER PAYLOAD_FOLDER
//     the notice without a command line; uninstall with nothing installed;
//     an installation with icons (leaving and resuming once); setup again
//     over the copy ("Continue installation") while its program is held
//     open (Retry once it is let go); setup again, moving the copy
//     ("Remove old copy") into another folder; the application at work; the
//     removal through the installed UNINSTAL.EXE (leaving and resuming
//     once); a newer version found. Saves a screenshot of every dialog it
//     meets, in order, with an index page, and checks files, record,
//     shortcuts and class key on the way. Ends with 0 when all was right.
//
//   walk.exe time SETUP_EXE ARCHIVE_TAIL TRIVIAL_EXE
//     prints how long the wizard takes beyond its two-second notices, and
//     how long it takes to show its first dialog against a trivial program.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "machine.h"
#include "robot.h"
#include "texts.h"

namespace {

using machine::ClassKeyExists;
using machine::Exists;
using machine::GroupFolder;
using machine::ReadFile;
using machine::RecordPath;
using machine::UninstallCopies;

const char TARGET[] = "C:\\Program files\\Corvane Pro";
const char MOVED[] = "C:\\Apps\\Corvane Pro";
// Made here, plainly: the session leaves it open to every user, and Setup
// refuses a folder under it.
const char OPEN[] = "C:\\Shared";
#define MEMBER(name) name,
const char* const MEMBERS[] = {
#include "common/install_files.inc"
};
#undef MEMBER

std::string g_shots;
// The language the dialogs must be in (CORVANE_LANGUAGE, a LANGID in
// hexadecimal); 0 for whichever Windows chooses.
LANGID g_language = 0;
int g_count = 0;
bool g_ok = true;
std::string g_index;

void check(bool ok, const std::string& what)
{
    std::printf("  %s %s\n", ok ? "ok:     " : "WRONG:  ", what.c_str());
    g_ok = g_ok && ok;
}

std::string recorded_path()
{
    char path[MAX_PATH] = {};
    GetPrivateProfileStringA("INSTALL PATH", "Path", "", path, MAX_PATH, RecordPath().c_str());
    return path;
}

std::string html(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The screen as a 32-bit bitmap file.
bool save(const robot::Image& image, const std::string& bmpPath)
{
    BITMAPINFOHEADER info = {sizeof info, image.width, -image.height, 1, 32};
    DWORD bytes = static_cast<DWORD>(image.pixels.size() * 4);
    DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof info;
    BITMAPFILEHEADER file = {0x4D42, headers + bytes, 0, 0, headers};
    HANDLE out = CreateFileA(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    bool ok = out != INVALID_HANDLE_VALUE && WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, image.pixels.data(), bytes, &written, nullptr);
    CloseHandle(out);
    return ok;
}

// Saves the screen, and an entry of the index page.
void save_screen(const robot::Dialog& dialog)
{
    const std::string name = dialog.name.empty() ? "message" : dialog.name[0] == '#' ? dialog.name.substr(1)
                                                                                        : dialog.name;
    char file[64];
    std::snprintf(file, sizeof file, "%02d-%s", ++g_count, name.c_str());
    robot::Image screen;
    if (robot::CaptureScreen(screen))
        save(screen, g_shots + "\\" + file + ".bmp");
    std::string title = dialog.title.empty() ? "no title bar" : "&ldquo;" + html(dialog.title) + "&rdquo;";
    g_index += "<h2>" + std::to_string(g_count) + ". " + html(dialog.name.empty() ? "message box" : dialog.name) +
               " &mdash; " + title + "</h2>\n<img src=\"" + file + ".png\" width=\"1024\" height=\"768\">\n";
}

const LANGID ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// A dialog met in another language than English says something else than
// the English one: the robot knew it by the template in that language,
// and it is no copy of the English one. A message box (a refused folder,
// a file in use) begins as the language's text `box` does, and not as the
// English one.
void check_translated(const robot::Dialog& dialog, UINT box)
{
    static const std::vector<robot::Template> english = robot::TemplatesIn(ENGLISH);
    bool differs = false;
    if (dialog.name.empty()) {
        // Each up to the folder it names.
        std::string text = robot::Text(box, g_language, "\n");
        std::string words = robot::Text(box, ENGLISH, "\n");
        text.resize(text.find('\n'));
        words.resize(words.find('\n'));
        differs = dialog.title == robot::Text(IDS_ERROR, g_language) && dialog.message().rfind(text, 0) == 0 &&
                  text != words;
    } else {
        for (const robot::Template& t : english)
            if (t.name == dialog.name) {
                differs = t.title != dialog.title;
                for (size_t i = 0; i < t.controls.size() && i < dialog.controls.size(); ++i)
                    differs = differs || t.controls[i].text != dialog.controls[i].text;
            }
    }
    check(differs, (dialog.name.empty() ? std::string("the message box") : dialog.name) + " is not in English");
}

// Waits for the named dialog (or takes the one given) and saves the screen
// once it is up. The work dialogs are taken at once: they are busy. A
// message box has no name; `box` is its text.
robot::Dialog see(robot::Session& setup, const std::string& name, robot::Dialog dialog = robot::Dialog(),
                  UINT box = IDS_FOLDER_UNSAFE)
{
    if (!dialog)
        dialog = setup.next();
    if (!dialog || dialog.name != name) {
        std::printf("  WRONG:   expected %s, saw %s\n", name.c_str(), dialog ? dialog.title.c_str() : "nothing");
        g_ok = false;
        return dialog;
    }
    if (name != "SETUPSCAN" && name != "REMOVESCAN" && name != "COPYFILES")
        Sleep(150);  // let it paint
    save_screen(dialog);
    if (g_language && g_language != ENGLISH)
        check_translated(dialog, box);
    std::printf("  %-14s \"%s\"\n", name.c_str(), dialog.title.c_str());
    return dialog;
}

// Waits for the named dialog again, met and saved before.
robot::Dialog again(robot::Session& setup, const std::string& name)
{
    robot::Dialog dialog = setup.next();
    if (dialog && dialog.name == name)
        return dialog;
    std::printf("  WRONG:   expected %s, saw %s\n", name.c_str(), dialog ? dialog.title.c_str() : "nothing");
    g_ok = false;
    return robot::Dialog();
}

void press(robot::Session& setup, const robot::Dialog& dialog, int id)
{
    if (!dialog) {
        std::printf("  WRONG:   no dialog to press %d on\n", id);
        g_ok = false;
    } else if (!setup.press(dialog, id)) {
        std::printf("  WRONG:   cannot press %d\n", id);
        g_ok = false;
    }
}

// The copying can be over before the robot looks; then it goes unseen.
robot::Dialog after_copying(robot::Session& setup)
{
    robot::Dialog next = setup.next();
    if (next.name != "COPYFILES")
        return next;
    see(setup, "COPYFILES", next);
    return setup.next();
}

void expect_exit(robot::Session& setup, DWORD code)
{
    DWORD actual = setup.exitCode();
    char what[64];
    std::snprintf(what, sizeof what, "exit code %lu", actual);
    check(actual == code, what);
}

// Runs Wine's own list of installed programs with arguments and returns
// what it prints ("KEY|||NAME" lines for --list). Only a listing is read
// through a pipe: what a removal starts would hold it open.
std::string installed_programs(const char* arguments, bool listing)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (listing && CreatePipe(&read, &write, &inherit, 0)) {
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = write;
    }
    PROCESS_INFORMATION process = {};
    std::string line = std::string("uninstaller.exe ") + arguments, output;
    bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, listing, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &process);
    if (write)
        CloseHandle(write);
    char buffer[4096];
    DWORD got;
    while (started && read && ::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got)
        output.append(buffer, got);
    if (started) {
        WaitForSingleObject(process.hProcess, 20000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (read)
        CloseHandle(read);
    return output;
}

bool listed()
{
    return installed_programs("--list", true).find("CorvanePro32|||Corvane Pro32 2.0") != std::string::npos;
}

// The entry in the system's list of installed programs, value by value.
void check_entry(const std::string& folder, const std::string& payload)
{
    HKEY key;
    const char* name = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvanePro32";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        check(false, "the entry in the list of installed programs");
        return;
    }
    auto text = [key](const char* value) {
        char data[MAX_PATH * 2] = {};
        DWORD size = sizeof data;
        RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        return std::string(data);
    };
    auto number = [key](const char* value) {
        DWORD data = 0, size = sizeof data;
        RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
        return data;
    };
    DWORD bytes = 0;
    for (const char* member : MEMBERS)
        bytes += static_cast<DWORD>(ReadFile(payload + "\\" + member).size());
    bool right = text("DisplayName") == "Corvane Pro32 2.0" && text("DisplayVersion") == "2.0" &&
                 text("InstallLocation") == folder &&
                 text("UninstallString") == "\"" + folder + "\\UNINSTAL.EXE\"" &&
                 text("DisplayIcon") == folder + "\\QVN32.EXE,0" && number("NoModify") == 1 &&
                 number("NoRepair") == 1 && number("EstimatedSize") == (bytes + 1023) / 1024;
    RegCloseKey(key);
    check(right, ("the entry names " + folder + ", its uninstaller, icon and size").c_str());
    check(listed(), "Wine's list of installed programs shows Corvane Pro32 2.0");
}

void check_installation(const std::string& folder, const std::string& payload)
{
    int same = 0;
    for (const char* member : MEMBERS) {
        std::string expected = ReadFile(payload + "\\" + member);
        same += !expected.empty() && ReadFile(folder + "\\" + member) == expected;
    }
    std::string what = std::to_string(same) + " of 7 files in " + folder + " byte-identical to the payload";
    check(same == 7, what.c_str());
    what = "the record names " + recorded_path();
    check(recorded_path() == folder + "\\QVN32.EXE", what.c_str());
    check_entry(folder, payload);
}

// The file a shortcut (.lnk) points at, or "" when it cannot be read.
std::string ShortcutTarget(const std::string& path)
{
    CoInitialize(nullptr);
    std::string result;
    IShellLinkA* link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) == S_OK) {
        IPersistFile* file = nullptr;
        std::wstring wide(path.begin(), path.end());
        char target[MAX_PATH] = {};
        if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK &&
            file->Load(wide.c_str(), STGM_READ) == S_OK && link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK)
            result = target;
        if (file)
            file->Release();
        link->Release();
    }
    CoUninitialize();
    return result;
}

void list_shortcuts(const std::string& folder)
{
    const std::string group = GroupFolder();
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((group + "\\*.lnk").c_str(), &entry);
    int right = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string target = ShortcutTarget(group + "\\" + entry.cFileName);
            std::printf("  shortcut %-28s -> %s\n", entry.cFileName, target.c_str());
            right += lstrcmpiA(target.substr(0, folder.size()).c_str(), folder.c_str()) == 0;
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::string what = std::to_string(right) + " shortcuts into " + folder + " in the group " + group;
    check(right == 4, what.c_str());
}

void tour(const std::string& program, const std::string& archive, const std::string& payload)
{
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

    std::printf("An installation, with icons:\n");
    {
        robot::Session setup(archive, program);
        see(setup, "SETUPSCAN");
        press(setup, see(setup, "SETUPINTRO"), IDCANCEL);
        press(setup, see(setup, "SETUPEXIT"), IDCANCEL);  // Resume Setup
        press(setup, again(setup, "SETUPINTRO"), IDOK);     // Install
        press(setup, see(setup, "INSTALL"), IDOK);
        press(setup, see(setup, "DIRCREATE"), IDOK);
        press(setup, see(setup, "#135", after_copying(setup)), IDOK);  // Create Icons
        press(setup, see(setup, "SUCCESS"), IDOK);
        expect_exit(setup, 1);
        check_installation(TARGET, payload);
        list_shortcuts(TARGET);
        robot::CloseShellWindows();  // the shell showed the new group in a folder window
    }

    std::printf("Setup again, over the installed copy, while the application runs:\n");
    {
        // Held as the application holds its program: Setup names the file,
        // and goes on once it is let go.
        std::string running = std::string(TARGET) + "\\QVN32.EXE";
        HANDLE held = CreateFileA(running.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        robot::Session setup(archive, program);
        again(setup, "SETUPSCAN");
        press(setup, again(setup, "SETUPINTRO"), IDOK);
        press(setup, see(setup, "NOTICE1"), IDOK);  // Continue installation
        robot::Dialog inUse = see(setup, "", after_copying(setup), IDS_IN_USE);
        CloseHandle(held);
        press(setup, inUse, IDRETRY);
        press(setup, again(setup, "#135"), IDCANCEL);  // Skip
        press(setup, again(setup, "SUCCESS"), IDOK);
        expect_exit(setup, 1);
        check_installation(TARGET, payload);
    }

    std::printf("Setup again, moving the copy to %s:\n", MOVED);
    {
        robot::Session setup(archive, program);
        again(setup, "SETUPSCAN");
        press(setup, again(setup, "SETUPINTRO"), IDOK);
        press(setup, again(setup, "NOTICE1"), 1006);  // Remove old copy
        see(setup, "REMOVESCAN");
        robot::Dialog install = again(setup, "INSTALL");
        CreateDirectoryA(OPEN, nullptr);
        if (install)
            setup.type(install, 1002, std::string(OPEN) + "\\Corvane Pro");
        press(setup, install, IDOK);
        press(setup, see(setup, ""), IDOK);  // refused: every user may rename C:\Shared
        install = again(setup, "INSTALL");
        RemoveDirectoryA(OPEN);
        if (install)
            setup.type(install, 1002, MOVED);
        press(setup, install, IDOK);
        press(setup, again(setup, "DIRCREATE"), IDOK);  // Create
        press(setup, after_copying(setup), IDOK);         // Create Icons
        press(setup, again(setup, "SUCCESS"), IDOK);
        expect_exit(setup, 1);
        int left = 0;
        for (const char* member : MEMBERS)
            left += Exists(std::string(TARGET) + "\\" + member);
        check(left == 0, "no application file left in the old folder");
        check_installation(MOVED, payload);
        list_shortcuts(MOVED);
        robot::CloseShellWindows();
    }

    std::printf("The application at work: its class key and settings.\n");
    machine::RegisterClassKey();
    WritePrivateProfileStringA("Work", "Folder", "C:\\Archives", (std::string(MOVED) + "\\work_qvn.env").c_str());

    std::printf("Removal, from the system's list of installed programs (UNINSTAL.EXE):\n");
    {
        installed_programs("--remove CorvanePro32", false);
        robot::Session setup(robot::ProcessWithWindow("MelvroSetupWClass"), true);
        see(setup, "SETUPSCAN");
        press(setup, see(setup, "UNISTALL"), IDCANCEL);
        press(setup, see(setup, "EXITUNINSTALL"), IDCANCEL);  // Resume
        press(setup, again(setup, "UNISTALL"), IDOK);          // Remove
        press(setup, see(setup, "REMOVE"), IDOK);
        see(setup, "REMOVESCAN");
        press(setup, see(setup, "RSUCCESS1"), IDOK);
        expect_exit(setup, 1);
        robot::CloseShellWindows();
        for (int waited = 0; waited < 20000 && !UninstallCopies().empty(); waited += 250)
            Sleep(250);
        check(!Exists(MOVED), "no installation folder");
        check(!Exists(RecordPath()), "no record");
        check(!Exists(GroupFolder()), "no program group and no shortcut");
        check(!ClassKeyExists(), "no class key");
        check(UninstallCopies().empty(), "no temporary copy of the uninstaller");
        check(!listed(), "no entry in the list of installed programs");
    }

    std::printf("A newer version installed:\n");
    {
        WritePrivateProfileStringA("VERSION", "Major", "3", RecordPath().c_str());
        robot::Session setup(archive, program);
        again(setup, "SETUPSCAN");
        press(setup, see(setup, "NEWERVERSION"), IDCANCEL);
        expect_exit(setup, 0);
        DeleteFileA(RecordPath().c_str());
    }

    FILE* index = std::fopen((g_shots + "\\index.html").c_str(), "w");
    if (index) {
        std::fprintf(index, "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>Corvane Pro32 Setup: "
                            "the round trip</title></head>\n<body style=\"font-family: sans-serif\">\n"
                            "<h1>Corvane Pro32 Setup: every dialog of a round trip, in the order met</h1>\n%s"
                            "</body></html>\n",
                     g_index.c_str());
        std::fclose(index);
    }
}

DWORD median(std::vector<DWORD> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from starting a program to its first dialog on screen.
DWORD first_dialog(const std::string& program, const std::string& tail)
{
    DWORD start = GetTickCount();
    robot::Session run(tail, program);
    robot::Dialog dialog = run.next();
    DWORD elapsed = GetTickCount() - start;
    run.press(dialog, IDOK);
    run.exitCode();
    return elapsed;
}

// The next dialog of a timed road, which must be `name`; the copying is
// passed over if the robot catches it at all.
robot::Dialog expect(robot::Session& setup, const char* name)
{
    robot::Dialog dialog = setup.next();
    if (dialog.name == "COPYFILES" && std::string(name) != "COPYFILES")
        dialog = setup.next();
    if (dialog.name != name) {
        std::printf("  WRONG: expected %s, saw \"%s\" saying \"%s\"\n", name, dialog.title.c_str(),
                    dialog.message().c_str());
        g_ok = false;
    }
    return dialog;
}

void timing(const std::string& program, const std::string& archive, const std::string& trivial)
{
    const int RUNS = 5;
    std::vector<DWORD> setupStart, trivialStart, install, shell, uninstall, interactive, quiet, quietRemoval, entryRemoval;
    for (int i = 0; i < RUNS && g_ok; ++i) {
        setupStart.push_back(first_dialog(program, ""));
        trivialStart.push_back(first_dialog(trivial, ""));

        robot::RemoveTree(TARGET);
        DeleteFileA(RecordPath().c_str());
        DWORD start = GetTickCount(), asked = 0, answered = 0;
        {
            robot::Session setup(archive, program);
            expect(setup, "SETUPSCAN");
            setup.press(expect(setup, "SETUPINTRO"), IDOK);
            setup.press(expect(setup, "INSTALL"), IDOK);
            setup.press(expect(setup, "DIRCREATE"), IDOK);
            robot::Dialog icons = expect(setup, "#135");
            asked = GetTickCount();
            setup.press(icons, IDOK);  // Create Icons: the shell makes the group and the items
            robot::Dialog success = expect(setup, "SUCCESS");
            answered = GetTickCount();
            setup.press(success, IDOK);
            g_ok = g_ok && setup.exitCode() == 1;
        }
        DWORD total = GetTickCount() - start;
        interactive.push_back(total - 2000);
        shell.push_back(answered - asked);
        install.push_back(total - 2000 - (answered - asked));
        robot::CloseShellWindows();

        start = GetTickCount();
        {
            robot::Session setup("UNINSTALL", program);
            expect(setup, "SETUPSCAN");
            setup.press(expect(setup, "UNISTALL"), IDOK);
            setup.press(expect(setup, "REMOVE"), IDOK);
            expect(setup, "REMOVESCAN");
            setup.press(expect(setup, "RSUCCESS1"), IDOK);
            g_ok = g_ok && setup.exitCode() == 1;
        }
        uninstall.push_back(GetTickCount() - start - 4000);
        robot::CloseShellWindows();

        // The same installation and removal unattended, start to exit.
        start = GetTickCount();
        g_ok = g_ok && robot::Session("/quiet " + archive, program).exitCode() == 1;
        quiet.push_back(GetTickCount() - start);
        robot::CloseShellWindows();
        start = GetTickCount();
        g_ok = g_ok && robot::Session("/quiet UNINSTALL", program).exitCode() == 1;
        quietRemoval.push_back(GetTickCount() - start);
        // As a deployment tool removes it: the entry's command, whose
        // UNINSTAL.EXE copies itself to a private folder first.
        g_ok = g_ok && robot::Session("/quiet " + archive, program).exitCode() == 1;
        robot::CloseShellWindows();
        start = GetTickCount();
        g_ok = g_ok && robot::Session("\"" + std::string(TARGET) + "\\UNINSTAL.EXE\" /quiet", "").exitCode() == 1;
        entryRemoval.push_back(GetTickCount() - start);
    }
    if (!g_ok)
        return;
    std::printf("Median of %d runs under Wine, the robot pressing each button as soon as it sees it:\n", RUNS);
    std::printf("  installation beyond the 2 s scan, the shell's work apart:    %4lu ms\n", median(install));
    std::printf("  the shell making the group and its items over DDE:           %4lu ms\n", median(shell));
    std::printf("  removal beyond the 2 s scan and the 2 s REMOVESCAN:          %4lu ms\n", median(uninstall));
    std::printf("  start to the first dialog: SETUP.EXE %lu ms, a trivial program %lu ms\n", median(setupStart),
                median(trivialStart));
    std::printf("  installation, start to exit, the shell's work included: /quiet %lu ms; interactive less its\n"
                "    2 s hold %lu ms\n", median(quiet), median(interactive));
    std::printf("  removal, start to exit: /quiet %lu ms; the entry's quiet uninstall command %lu ms\n",
                median(quietRemoval), median(entryRemoval));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6 && !(argc == 5 && std::string(argv[1]) == "time")) {
        std::fprintf(stderr, "usage: walk tour SETUP_EXE ARCHIVE_TAIL SHOTS_FOLDER PAYLOAD_FOLDER\n"
                             "       walk time SETUP_EXE ARCHIVE_TAIL TRIVIAL_EXE\n");
        return 2;
    }
    CoInitialize(nullptr);
    // A machine without the application, as a person would start from.
    DeleteFileA(RecordPath().c_str());
    for (const std::string& copy : UninstallCopies())
        robot::RemoveTree(copy), DeleteFileA(copy.c_str());
    robot::RemoveTree(TARGET);
    robot::RemoveTree(MOVED);
    RemoveDirectoryA(OPEN);
    robot::RemoveTree(GroupFolder());

    if (const char* language = std::getenv("CORVANE_LANGUAGE")) {
        g_language = static_cast<LANGID>(std::strtoul(language, nullptr, 16));
        robot::ExpectLanguage(g_language);
    }
    if (std::string(argv[1]) == "time") {
        timing(argv[2], argv[3], argv[4]);
    } else {
        g_shots = argv[4];
        tour(argv[2], argv[3], argv[5]);
        std::printf(g_ok ? "The round trip went as it should.\n" : "The round trip went wrong.\n");
    }
    robot::RemoveTree(TARGET);
    RemoveDirectoryA("C:\\Apps");
    return g_ok ? 0 : 1;
}
