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
//
// Started with /quiet or /passive (as the system's list of installed
// programs does for a quiet uninstall), it passes the switch on, shows no
// message box, and the installed copy ends only when the removal has
// ended, with its exit code: a deployment tool waits for the process it
// started. That process is then still running while the removal empties
// its folder, so a second shell script removes it, and the folder, once
// it has ended.
//
// Removing its own folder is what the temporary copy is for, so that role
// is never taken on the word of the command line alone: the folder must
// be one the installed copy made under the temporary folder, holding the
// mark it left there for this very start. Anything else acts as the
// installed copy, and the removal only ever deletes the files it copied.
#include <windows.h>
#include <shellapi.h>

#include <stdarg.h>

#include "join_path.h"
#include "system_dlls.h"

namespace {

const char TITLE[] = "Corvane Pro32 Uninstall";
// The temporary copy's arguments: this word and the token of its mark.
const char TEMPORARY[] = "/temporary";
const char FOLDER_PREFIX[] = "CorvaneUninstall-";  // and 8 hex digits
const char MARK[] = "UNINSTAL.MRK";                // holds the token
enum { TOKEN_DIGITS = 8 };
const char* const COPIED[] = {"UNINSTAL.EXE", "SETUP.EXE", "DUNZIP32.DLL"};
// What the cleanup of the temporary folder deletes: this program, once it
// has ended, and then the rest.
const char* const TEMPORARY_FILES[] = {"UNINSTAL.EXE", "SETUP.EXE", "DUNZIP32.DLL", MARK};
// SETUP.EXE's exit codes that matter here: a completed removal, and, in an
// unattended run, one that could not go on.
enum { COMPLETED = 1, STOPPED = 9 };

// The switch given on the command line, passed on to SETUP.EXE: "/quiet",
// "/passive", or "" for a run a person watches.
const char* RunSwitch = "";
const char* const RUN_SWITCHES[] = {"/quiet", "/passive"};

// How often, a second apart, the shell tries to remove the temporary
// folder while the temporary copy is still ending.
const int REMOVAL_TRIES = 60;

// Told to the person, if there is one; an unattended run has its exit code.
void message(const char* text)
{
    if (RunSwitch[0] == '\0')
        MessageBoxA(nullptr, text, TITLE, MB_OK | MB_ICONSTOP);
}

// "/quiet" or "/passive" among the words after the program's name, in
// any case.
const char* run_switch(const char* line)
{
    const char* p = line;
    if (*p == '"') {
        while (*++p != '\0' && *p != '"') {
        }
        if (*p == '"')
            ++p;
    }
    while (*p != '\0') {
        while (*p == ' ' || *p == '\t')
            ++p;
        const char* word = p;
        while (*p != '\0' && *p != ' ' && *p != '\t')
            ++p;
        int length = static_cast<int>(p - word);
        for (const char* known : RUN_SWITCHES)
            if (length == lstrlenA(known) &&
                CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, word, length, known, length) == CSTR_EQUAL)
                return known;
    }
    return "";
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

bool exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool is_hex(const char* text, int digits)
{
    for (int i = 0; i < digits; ++i) {
        char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return text[digits] == '\0';
}

// The token the command line gives after the temporary copy's word, or
// null when it does not end so.
const char* token_argument(const char* line)
{
    int length = lstrlenA(line);
    int word = lstrlenA(TEMPORARY);
    int tail = word + 1 + TOKEN_DIGITS;
    if (length < tail)
        return nullptr;
    const char* start = line + length - tail;
    if (CompareStringA(LOCALE_INVARIANT, 0, start, word, TEMPORARY, word) != CSTR_EQUAL || start[word] != ' ')
        return nullptr;
    const char* token = start + word + 1;
    return is_hex(token, TOKEN_DIGITS) ? token : nullptr;
}

// A token that no earlier start is likely to have left.
void make_token(char* token)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    DWORD mixed = GetTickCount() * 2654435761u ^ GetCurrentProcessId() << 16 ^ counter.LowPart;
    wsprintfA(token, "%08lx", static_cast<unsigned long>(mixed));
}

bool write_file(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    DWORD length = static_cast<DWORD>(lstrlenA(text));
    bool whole = WriteFile(file, text, length, &written, nullptr) && written == length;
    CloseHandle(file);
    return whole;
}

// True when this program runs as the temporary copy the installed one
// started: from a folder of the name it gives them, directly in the
// temporary folder, holding the mark with this start's token.
bool is_temporary_copy(const char* token)
{
    char folder[MAX_PATH], temp[MAX_PATH], mark[MAX_PATH];
    if (!token || !own_folder(folder))
        return false;
    DWORD tempLength = GetTempPathA(MAX_PATH, temp);
    int prefix = lstrlenA(FOLDER_PREFIX);
    if (tempLength == 0 || tempLength >= MAX_PATH || lstrlenA(folder) != static_cast<int>(tempLength) + prefix + 8)
        return false;
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folder, tempLength, temp, tempLength) != CSTR_EQUAL ||
        CompareStringA(LOCALE_INVARIANT, 0, folder + tempLength, prefix, FOLDER_PREFIX, prefix) != CSTR_EQUAL ||
        !is_hex(folder + tempLength + prefix, 8) || !JoinPath(mark, folder, MARK))
        return false;

    HANDLE file = CreateFileA(mark, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char text[TOKEN_DIGITS + 2] = {};
    DWORD got = 0;
    bool read = ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    return read && got == TOKEN_DIGITS && lstrcmpA(text, token) == 0;
}

// Writes one line of a command script, formatted by wsprintf's rules.
bool line(HANDLE file, const char* format, ...)
{
    char text[1024 + 3];  // wsprintf writes at most 1024 characters; then CR, LF
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(text, format, arguments);
    va_end(arguments);
    lstrcpyA(text + length, "\r\n");
    DWORD written = 0;
    return WriteFile(file, text, length + 2, &written, nullptr) && written == static_cast<DWORD>(length + 2);
}

// Starts a program with a command line and leaves it running; false when
// it cannot start. With `process`, the process handle is kept there.
bool start(const char* program, const char* arguments, const char* folder, DWORD flags, HANDLE* process_ = nullptr)
{
    char line[3 * MAX_PATH];
    wsprintfA(line, "\"%s\" %s", program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, flags, nullptr, folder, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    if (process_)
        *process_ = process.hProcess;
    else
        CloseHandle(process.hProcess);
    return true;
}

// Waits for a process to end and returns its exit code.
int ended(HANDLE process)
{
    DWORD code = STOPPED;
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}

// Runs SETUP.EXE UNINSTALL and returns its exit code, -1 when it cannot
// start. Through the shell, which asks for the administrator SETUP.EXE
// requires where Windows does (CreateProcess would only fail with
// ERROR_ELEVATION_REQUIRED).
int run_setup(const char* setup, const char* folder)
{
    char parameters[32];
    wsprintfA(parameters, "%s%sUNINSTALL", RunSwitch, RunSwitch[0] ? " " : "");
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpFile = setup;
    run.lpParameters = parameters;
    run.lpDirectory = folder;
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run) || !run.hProcess)
        return -1;
    return ended(run.hProcess);
}

// A new folder of this program's own under the temporary folder.
bool make_temporary_folder(char* folder)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH - 40)
        return false;
    for (DWORD n = GetTickCount(), tries = 0; tries < 100; ++n, ++tries) {
        wsprintfA(folder, "%s%s%08lx", temp, FOLDER_PREFIX, static_cast<unsigned long>(n));
        if (CreateDirectoryA(folder, nullptr))
            return true;
    }
    return false;
}

// Deletes what this program put into a temporary folder, by name, and the
// folder if that leaves it empty. Nothing else in it is touched.
void remove_copies(const char* folder)
{
    char path[MAX_PATH];
    for (const char* name : COPIED)
        if (JoinPath(path, folder, name))
            DeleteFileA(path);
    if (JoinPath(path, folder, MARK))
        DeleteFileA(path);
    RemoveDirectoryA(folder);
}

// How a failure here ends: as it always has for a person, with a code
// that no deployment tool takes for success in an unattended run.
int failed()
{
    return RunSwitch[0] ? STOPPED : 1;
}

// Leaves the removal of a folder's files to a command shell that tries,
// once a second, until the first of them can be deleted, that is, until
// the program running from it has ended; then the others go, by name, and
// the folder only when that leaves it empty. `guard` is a line that ends
// the script first when the files are not to go after all. The script
// lies outside the folder, since the shell keeps it open while it runs,
// and deletes itself last. Without a shell the removal is left to the
// next start of Windows.
void remove_when_ended(const char* script, const char* folder, const char* guard, const char* const* names,
                       int count)
{
    // The folder may be one the user named: a percent sign in it would be
    // expanded by the shell, so it is written twice, which reads as one.
    char named[2 * MAX_PATH];
    int length = 0;
    for (const char* c = folder; *c != '\0'; ++c) {
        if (*c == '%')
            named[length++] = '%';
        named[length++] = *c;
    }
    named[length] = '\0';
    HANDLE file = CreateFileA(script, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ready = file != INVALID_HANDLE_VALUE;
    if (ready) {
        ready = line(file, "@echo off") && line(file, "set \"F=%s\"", named) && line(file, "%s", guard) &&
                line(file, "for /l %%%%i in (1,1,%d) do (", REMOVAL_TRIES) &&
                line(file, "  del \"%%F%%\\%s\" 2>nul", names[0]) &&
                line(file, "  if not exist \"%%F%%\\%s\" goto ended", names[0]) &&
                line(file, "  ping -n 2 127.0.0.1 >nul") && line(file, ")") && line(file, "goto done") &&
                line(file, ":ended");
        for (int i = 1; i < count; ++i)
            ready = ready && line(file, "del \"%%F%%\\%s\" 2>nul", names[i]);
        ready = ready && line(file, "rd \"%%F%%\" 2>nul") && line(file, ":done") && line(file, "del \"%%~f0\"");
        CloseHandle(file);
    }

    char shell[MAX_PATH], arguments[MAX_PATH + 8], temp[MAX_PATH];
    GetSystemDirectoryA(shell, MAX_PATH);
    lstrcatA(shell, "\\cmd.exe");
    wsprintfA(arguments, "/c \"%s\"", script);
    GetTempPathA(MAX_PATH, temp);
    if (ready && start(shell, arguments, temp, CREATE_NO_WINDOW))
        return;

    DeleteFileA(script);
    char path[MAX_PATH];
    for (int i = 0; i < count; ++i)
        if (JoinPath(path, folder, names[i]))
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The installed copy, waiting for an unattended removal, is still running
// when the sweep empties its folder, so it and the folder go once it has
// ended: only after a completed removal, and only while the removal's
// SETUP.EXE is gone from the folder, as the sweep leaves it.
void remove_installed_when_ended(const char* folder, const char* temporary)
{
    char script[MAX_PATH], setup[MAX_PATH];
    if (lstrlenA(temporary) + 12 >= MAX_PATH || !JoinPath(setup, folder, "SETUP.EXE") || exists(setup))
        return;
    wsprintfA(script, "%s-folder.cmd", temporary);
    remove_when_ended(script, folder, "if exist \"%F%\\SETUP.EXE\" goto done", COPIED, 1);
}

// The installed copy: moves out of the way and starts from the temporary
// folder, with the token of the mark it leaves there. A person's run goes
// on there alone; an unattended one is waited for.
int from_installation()
{
    char folder[MAX_PATH], setup[MAX_PATH];
    if (!own_folder(folder) || !JoinPath(setup, folder, "SETUP.EXE") || !exists(setup)) {
        message("SETUP.EXE was not found beside UNINSTAL.EXE, so Corvane Pro32 cannot be removed from here.\n\n"
                "Run SETUP.EXE UNINSTALL from the distribution instead.");
        return failed();
    }
    char temporary[MAX_PATH], mark[MAX_PATH], token[TOKEN_DIGITS + 1];
    if (!make_temporary_folder(temporary)) {
        message("Setup could not make a folder in the temporary folder.");
        return failed();
    }
    make_token(token);
    if (!JoinPath(mark, temporary, MARK) || !write_file(mark, token)) {
        message("Setup could not write to the temporary folder.");
        remove_copies(temporary);
        return failed();
    }
    for (const char* name : COPIED) {
        char from[MAX_PATH], to[MAX_PATH];
        if (!JoinPath(from, folder, name) || !JoinPath(to, temporary, name) || !CopyFileA(from, to, FALSE)) {
            wsprintfA(from, "%s could not be copied to the temporary folder, so Corvane Pro32 cannot be removed.",
                      name);
            message(from);
            remove_copies(temporary);
            return failed();
        }
    }
    char copy[MAX_PATH], temp[MAX_PATH], arguments[48];
    JoinPath(copy, temporary, "UNINSTAL.EXE");
    GetTempPathA(MAX_PATH, temp);
    wsprintfA(arguments, "%s%s%s %s", RunSwitch, RunSwitch[0] ? " " : "", TEMPORARY, token);
    HANDLE process = nullptr;
    if (!start(copy, arguments, temp, 0, RunSwitch[0] ? &process : nullptr)) {
        message("The uninstaller could not be started from the temporary folder.");
        remove_copies(temporary);
        return failed();
    }
    if (!process)
        return 0;
    int code = ended(process);
    if (code == COMPLETED)
        remove_installed_when_ended(folder, temporary);
    return code;
}

// The temporary copy: runs the copied SETUP.EXE, then has the folder
// removed, this program included, and only while the mark is there.
int from_temporary_folder()
{
    char folder[MAX_PATH], setup[MAX_PATH], temp[MAX_PATH];
    if (!own_folder(folder) || !JoinPath(setup, folder, "SETUP.EXE"))
        return failed();
    GetTempPathA(MAX_PATH, temp);
    int code = run_setup(setup, temp);
    if (code < 0) {
        message("SETUP.EXE could not be started.");
        code = failed();
    }
    char script[MAX_PATH], guard[64];
    wsprintfA(script, "%s.cmd", folder);
    wsprintfA(guard, "if not exist \"%%F%%\\%s\" goto done", MARK);
    remove_when_ended(script, folder, guard, TEMPORARY_FILES, 4);
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SearchSystemFolderOnly();
    RunSwitch = run_switch(GetCommandLineA());
    return is_temporary_copy(token_argument(GetCommandLineA())) ? from_temporary_folder() : from_installation();
}
