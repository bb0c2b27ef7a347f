// UNINSTAL.EXE: the "Uninstall32" item runs it from the installation
// folder, and it runs SETUP.EXE with the word UNINSTALL.
//
// A running program cannot be deleted, so neither this program nor the
// SETUP.EXE it runs (with the DUNZIP32.DLL that loads) may run from the
// folder that the removal empties. It copies the three into a new folder
// under the user's temporary folder and starts that copy, which runs the
// copied SETUP.EXE, waits for it, and then has the temporary folder
// removed, itself included, by a command shell that waits for it to end.
// Only if no shell can be started is the removal left for the next start
// of Windows. The exit code is SETUP.EXE's.
#include <windows.h>

namespace {

const char TITLE[] = "Corvane Pro32 Uninstall";
const char TEMPORARY[] = "/temporary";  // the argument of the temporary copy
const char* const COPIED[] = {"UNINSTAL.EXE", "SETUP.EXE", "DUNZIP32.DLL"};

// How often, a second apart, the shell tries to remove the temporary
// folder while the temporary copy is still ending.
const int REMOVAL_TRIES = 60;

void message(const char* text)
{
    MessageBoxA(nullptr, text, TITLE, MB_OK | MB_ICONSTOP);
}

// The folder this program runs from, without a trailing backslash.
bool own_folder(char* folder)
{
    DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    while (length > 0 && folder[length - 1] != '\\')
        --length;
    if (length == 0)
        return false;
    folder[length - 1] = '\0';
    return true;
}

bool join(char* path, const char* folder, const char* name)
{
    if (lstrlenA(folder) + 1 + lstrlenA(name) >= MAX_PATH)
        return false;
    wsprintfA(path, "%s\\%s", folder, name);
    return true;
}

bool exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Starts a program with a command line; `wait` for it to end and return
// its exit code, else return 0 once it runs. -1 when it cannot start.
int run(const char* program, const char* arguments, const char* folder, DWORD flags, bool wait)
{
    char line[3 * MAX_PATH];
    wsprintfA(line, "\"%s\" %s", program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, flags, nullptr, folder, &startup, &process))
        return -1;
    DWORD code = 0;
    if (wait) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// A new folder of this program's own under the temporary folder.
bool make_temporary_folder(char* folder)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH - 40)
        return false;
    for (DWORD n = GetTickCount(), tries = 0; tries < 100; ++n, ++tries) {
        wsprintfA(folder, "%sCorvaneUninstall-%08lx", temp, n);
        if (CreateDirectoryA(folder, nullptr))
            return true;
    }
    return false;
}

// The installed copy: moves out of the way and starts from the temporary
// folder.
int from_installation()
{
    char folder[MAX_PATH], setup[MAX_PATH];
    if (!own_folder(folder) || !join(setup, folder, "SETUP.EXE") || !exists(setup)) {
        message("SETUP.EXE was not found beside UNINSTAL.EXE, so Corvane Pro32 cannot be removed from here.\n\n"
                "Run SETUP.EXE UNINSTALL from the distribution instead.");
        return 1;
    }
    char temporary[MAX_PATH];
    if (!make_temporary_folder(temporary)) {
        message("Setup could not make a folder in the temporary folder.");
        return 1;
    }
    for (const char* name : COPIED) {
        char from[MAX_PATH], to[MAX_PATH];
        if (!join(from, folder, name) || !join(to, temporary, name) || !CopyFileA(from, to, FALSE)) {
            wsprintfA(from, "%s could not be copied to the temporary folder, so Corvane Pro32 cannot be removed.",
                      name);
            message(from);
            for (const char* copied : COPIED)
                if (join(to, temporary, copied))
                    DeleteFileA(to);
            RemoveDirectoryA(temporary);
            return 1;
        }
    }
    char copy[MAX_PATH], temp[MAX_PATH];
    join(copy, temporary, "UNINSTAL.EXE");
    GetTempPathA(MAX_PATH, temp);
    if (run(copy, TEMPORARY, temp, 0, false) < 0) {
        message("The uninstaller could not be started from the temporary folder.");
        return 1;
    }
    return 0;
}

// Leaves the removal of the temporary folder, this program included, to a
// command shell that tries until this program has ended. Its script lies
// beside the folder, since the shell keeps it open while it runs, and
// deletes itself last. Without a shell the removal is left to the next
// start of Windows.
void remove_when_ended(const char* folder)
{
    char script[MAX_PATH];
    wsprintfA(script, "%s.cmd", folder);
    char text[4 * MAX_PATH];
    wsprintfA(text,
              "@echo off\r\n"
              "for /l %%%%i in (1,1,%d) do (\r\n"
              "  rd /s /q \"%s\" 2>nul\r\n"
              "  if not exist \"%s\" goto removed\r\n"
              "  ping -n 2 127.0.0.1 >nul\r\n"
              ")\r\n"
              ":removed\r\n"
              "del \"%%~f0\"\r\n",
              REMOVAL_TRIES, folder, folder);
    HANDLE file = CreateFileA(script, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ready = file != INVALID_HANDLE_VALUE && WriteFile(file, text, lstrlenA(text), &written, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);

    char shell[MAX_PATH], arguments[MAX_PATH + 8], temp[MAX_PATH];
    GetSystemDirectoryA(shell, MAX_PATH);
    lstrcatA(shell, "\\cmd.exe");
    wsprintfA(arguments, "/c \"%s\"", script);
    GetTempPathA(MAX_PATH, temp);
    if (ready && run(shell, arguments, temp, CREATE_NO_WINDOW, false) >= 0)
        return;

    DeleteFileA(script);
    for (const char* name : COPIED) {
        char path[MAX_PATH];
        if (join(path, folder, name))
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The temporary copy: runs the copied SETUP.EXE, then has the folder
// removed.
int from_temporary_folder()
{
    char folder[MAX_PATH], setup[MAX_PATH], temp[MAX_PATH];
    if (!own_folder(folder) || !join(setup, folder, "SETUP.EXE"))
        return 1;
    GetTempPathA(MAX_PATH, temp);
    int code = run(setup, "UNINSTALL", temp, 0, true);
    if (code < 0) {
        message("SETUP.EXE could not be started.");
        code = 1;
    }
    remove_when_ended(folder);
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* line = GetCommandLineA();
    int length = lstrlenA(line);
    int suffix = lstrlenA(TEMPORARY);
    bool temporary = length >= suffix && lstrcmpA(line + length - suffix, TEMPORARY) == 0;
    return temporary ? from_temporary_folder() : from_installation();
}
