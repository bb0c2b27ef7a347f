// UNINSTAL.EXE: the "Uninstall32" item runs it from the installation
// folder, and it runs SETUP.EXE with the word UNINSTALL.
//
// A running program cannot be deleted, so neither this program nor the
// SETUP.EXE it runs (with the DUNZIP32.DLL that loads) may run from the
// folder that the removal empties. It copies the three into a private
// folder of the temporary folder and starts that copy, which runs the
// copied SETUP.EXE, waits for it, and then has the private folder
// removed, itself included, by a command shell that waits for it to end.
// Only if no shell can be started is the removal left for the next start
// of Windows. The exit code is SETUP.EXE's.
//
// Started with /quiet or /passive (as the system's list of installed
// programs does for a quiet uninstall), it passes the switch on, with
// /wait=SECONDS and /closeapplications for a file in use, shows no
// message box, and the installed copy ends only when the removal has
// ended, with its exit code: a deployment tool waits for the process it
// started. That process is then still running while the removal empties
// its folder, so it moves itself aside under a name of its own, and a
// second copy, started from a private folder of its own, deletes that
// name, and the folder if that leaves it empty, once it has ended: each
// through a handle on what it checked is there, never by name alone.
//
// It shares only base/ with SETUP.EXE and knows nothing of its code: what
// it passes on is SETUP.EXE's command line, and what it returns, its exit
// code.
//
// It asks for administrator rights, as SETUP.EXE does, so that the copies
// an elevated SETUP.EXE is started from are made by an elevated process:
// in a folder made new under a name nobody can foresee, that only SYSTEM
// and Administrators can write (when SYSTEM runs it, in the temporary
// folder every user may write). The scripts lie there too; the shell and
// every program a script runs are named by their full paths, and each
// starts in the system folder, so nothing is found where someone else
// could have put it.
//
// Removing its own folder is what the temporary copy is for, so that role
// is never taken on the word of the command line alone: the folder must
// be one the installed copy made under the temporary folder, holding the
// mark it left there for this very start. A start without the token acts
// as the installed copy, and the removal only ever deletes the files it
// copied; one with a token anywhere else does nothing.
#include <windows.h>
#include <shellapi.h>

#include <stdarg.h>

#include "ansi_text.h"
#include "command_words.h"
#include "held_folder.h"
#include "path_text.h"
#include "system_dlls.h"
#include "temp_folder.h"
#include "texts.h"

namespace {

// The temporary copy's arguments: this word and the token of its mark.
const char TEMPORARY[] = "/temporary";
// The installed copy's clean-up: this word and the token of its mark.
const char CLEAN_UP[] = "/cleanup";
const char FOLDER_PREFIX[] = "CorvaneUninstall-";  // and NAME_DIGITS hex digits
const char MARK[] = "UNINSTAL.MRK";                // holds the token
const char MOVED_TO[] = "MOVED.TXT";               // the clean-up's: the path the installed copy moved to
const char SCRIPT[] = "REMOVE.CMD";                // in the private folder it removes last
const char* const MARKS[] = {MARK, MOVED_TO};
enum { TOKEN_DIGITS = 16 };
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
// The words passed on to the next program (PassedSwitches): the switch,
// and how a file in use is waited for.
char Passed[PASSED_CHARS];

// How often, a second apart, the shell tries to remove the temporary
// folder while the temporary copy is still ending.
const int REMOVAL_TRIES = 60;

// Told to the person, if there is one, in their language; an unattended
// run has its exit code. The text's one %s is `name`.
void message(UINT text, const char* name = "")
{
    if (RunSwitch[0] != '\0')
        return;
    WCHAR format[256], title[64], told[512], wideName[16];
    LoadStringW(nullptr, text, format, 256);
    LoadStringW(nullptr, IDS_UNINSTALL_TITLE, title, 64);
    ToWide(name, wideName, 16);
    wsprintfW(told, format, wideName);
    MessageBoxW(nullptr, told, title, MB_OK | MB_ICONSTOP);
}

// This program's own path, in wide form, cut after its last backslash.
bool own_path(WCHAR* path)
{
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    WCHAR* file = length != 0 && length < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
    if (file)
        file[1] = L'\0';
    return file != nullptr;
}

// The folder this program runs from, without a trailing backslash, in
// the code page: by its short name where the code page cannot hold its own.
bool own_folder(char* folder)
{
    WCHAR path[MAX_PATH];
    if (!own_path(path))
        return false;
    *wcsrchr(path, L'\\') = L'\0';
    return AnsiPath(path, folder);
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

// The token the command line gives after a copy's word (TEMPORARY or
// CLEAN_UP), or null when it does not end so.
const char* token_argument(const char* line, const char* role)
{
    int length = lstrlenA(line);
    int word = lstrlenA(role);
    int tail = word + 1 + TOKEN_DIGITS;
    if (length < tail)
        return nullptr;
    const char* start = line + length - tail;
    if (CompareStringA(LOCALE_INVARIANT, 0, start, word, role, word) != CSTR_EQUAL || start[word] != ' ')
        return nullptr;
    const char* token = start + word + 1;
    return is_hex(token, TOKEN_DIGITS) ? token : nullptr;
}

// A new file: never one that was there before.
bool write_file(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    DWORD length = static_cast<DWORD>(lstrlenA(text));
    bool whole = WriteFile(file, text, length, &written, nullptr) && written == length;
    CloseHandle(file);
    return whole;
}

// A copy made new, never over a file already there; read-only or not as
// the original is, it is a plain file, so that its clean-up can delete it.
bool copy_file(const char* from, const char* to)
{
    return CopyFileA(from, to, TRUE) && SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
}

// The same folder by its long name, in wide form.
bool long_name(const WCHAR* path, WCHAR* named)
{
    DWORD length = GetLongPathNameW(path, named, MAX_PATH);
    return length != 0 && length < MAX_PATH;
}

// True, with its folder, when this program runs as the temporary copy the
// installed one started: from a folder of the name it gives them, directly
// in the temporary folder, holding the mark with this start's token. The
// system may give this program's path by long names where it was started
// by short ones (Wine does), so the folder the copy lies in and the
// temporary folder are compared by their long names; the copy's folder is
// named as the temporary folder is.
bool is_temporary_copy(const char* token, char* folder)
{
    WCHAR own[MAX_PATH], tempWide[MAX_PATH], ownLong[MAX_PATH], tempLong[MAX_PATH];
    char temp[MAX_PATH], name[MAX_PATH], mark[MAX_PATH];
    if (!token || !own_path(own) || TempFolder(temp) == NO_TEMP_FOLDER || !ToWide(temp, tempWide, MAX_PATH))
        return false;
    own[lstrlenW(own) - 1] = L'\0';
    WCHAR* named = wcsrchr(own, L'\\');
    if (!named || !ToCodePage(named + 1, name, MAX_PATH))
        return false;
    named[1] = L'\0';
    int prefix = lstrlenA(FOLDER_PREFIX);
    if (lstrlenA(name) != prefix + NAME_DIGITS ||
        CompareStringA(LOCALE_INVARIANT, 0, name, prefix, FOLDER_PREFIX, prefix) != CSTR_EQUAL ||
        !is_hex(name + prefix, NAME_DIGITS) || !long_name(own, ownLong) || !long_name(tempWide, tempLong) ||
        CompareStringOrdinal(ownLong, -1, tempLong, -1, TRUE) != CSTR_EQUAL ||
        !JoinPath(folder, temp, name) || !JoinPath(mark, folder, MARK))
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

// The system folder, where programs are started: a current folder nobody
// but administrators can write.
bool system_folder(char* folder)
{
    WCHAR wide[MAX_PATH];
    UINT length = GetSystemDirectoryW(wide, MAX_PATH);
    return length != 0 && length < MAX_PATH && AnsiPath(wide, folder);
}

// Starts a program with a command line and leaves it running; false when
// it cannot start. With `process`, the process handle is kept there.
bool start(const char* program, const char* arguments, DWORD flags, HANDLE* process_ = nullptr)
{
    char line[3 * MAX_PATH], folder[MAX_PATH];
    if (!system_folder(folder))
        return false;
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
int run_setup(const char* setup)
{
    char parameters[PASSED_CHARS + 16], folder[MAX_PATH];
    if (!system_folder(folder))
        return -1;
    wsprintfA(parameters, "%sUNINSTALL", Passed);
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

// Deletes what this program put into a temporary folder, by name, and the
// folder if that leaves it empty. Nothing else in it is touched.
void remove_copies(const char* folder)
{
    char path[MAX_PATH];
    for (const char* name : COPIED)
        if (JoinPath(path, folder, name))
            DeleteFileA(path);
    for (const char* name : MARKS)
        if (JoinPath(path, folder, name))
            DeleteFileA(path);
    RemoveDirectoryA(folder);
}

// How a failure here ends: as it always has for a person, with a code
// that no deployment tool takes for success in an unattended run.
int failed()
{
    return RunSwitch[0] ? STOPPED : 1;
}

// A path as a script names it: in the OEM code page, which the command
// shell reads scripts in, with each percent sign written twice, which
// reads as one. False when a character has no exact form in that code
// page: the shell would name another file. (Where Windows uses UTF-8 for
// worldwide language support, both code pages are UTF-8, which holds
// every name.)
bool script_name(const char* path, char* named)
{
    WCHAR wide[MAX_PATH];
    char oem[MAX_PATH];
    if (!ToWide(path, wide, MAX_PATH) || !ToCodePage(wide, oem, MAX_PATH, CP_OEMCP))
        return false;
    int length = 0;
    for (const char* c = oem; *c != '\0'; ++c) {
        if (*c == '%')
            named[length++] = '%';
        named[length++] = *c;
    }
    named[length] = '\0';
    return true;
}

// Leaves the removal of a folder's files to a command shell that tries,
// once a second, until the first of them can be deleted, that is, until
// the program running from it has ended; then the others go, by name, and
// the folder only when that leaves it empty. `guard` is a line that ends
// the script first when the files are not to go after all. The script
// lies in `place`, a private folder, and goes last, with that folder.
// Without a shell, or where a name cannot be written for one, the
// removal is left to the next start of Windows.
void remove_when_ended(const char* place, const char* folder, const char* guard, const char* const* names, int count)
{
    char script[MAX_PATH], named[2 * MAX_PATH], there[2 * MAX_PATH], system[MAX_PATH], ping[2 * MAX_PATH];
    bool ready = JoinPath(script, place, SCRIPT) && script_name(folder, named) && script_name(place, there) &&
                 system_folder(system) && script_name(system, ping);
    HANDLE file = ready ? CreateFileA(script, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                        : INVALID_HANDLE_VALUE;
    ready = file != INVALID_HANDLE_VALUE;
    if (ready) {
        ready = line(file, "@echo off") && line(file, "set \"F=%s\"", named) && line(file, "%s", guard) &&
                line(file, "for /l %%%%i in (1,1,%d) do (", REMOVAL_TRIES) &&
                line(file, "  del \"%%F%%\\%s\" 2>nul", names[0]) &&
                line(file, "  if not exist \"%%F%%\\%s\" goto ended", names[0]) &&
                line(file, "  \"%s\\PING.EXE\" -n 2 127.0.0.1 >nul", ping) && line(file, ")") &&
                line(file, "goto done") && line(file, ":ended");
        for (int i = 1; i < count; ++i)
            ready = ready && line(file, "del \"%%F%%\\%s\" 2>nul", names[i]);
        // The script and its folder go last. A shell may hold its script
        // open to the end (Wine's does), and a folder holding a file
        // cannot go; so the script moves itself beside its folder first.
        // That is in its last line, which the shell has read whole: no
        // line is read from it after the move.
        ready = ready && line(file, "rd \"%%F%%\" 2>nul") && line(file, ":done") &&
                line(file, "(move \"%%~f0\" \"%s.cmd\" >nul & rd \"%s\" & del \"%s.cmd\") 2>nul", there, there, there);
        CloseHandle(file);
    }

    // No AutoRun commands of the registry's, and no "!" expanded in a name.
    char shell[MAX_PATH], arguments[MAX_PATH + 24];
    wsprintfA(arguments, "/d /v:off /c \"%s\"", script);
    if (ready && JoinPath(shell, system, "cmd.exe") && start(shell, arguments, CREATE_NO_WINDOW))
        return;

    char path[MAX_PATH];
    if (JoinPath(path, place, SCRIPT))
        DeleteFileA(path);
    for (int i = 0; i < count; ++i)
        if (JoinPath(path, folder, names[i]))
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (!RemoveDirectoryA(place))
        MoveFileExA(place, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The installed copy, waiting for an unattended removal, is still running
// when the removal empties its folder: only after a completed removal, and
// only while the removal's SETUP.EXE is gone from the folder, as the removal
// leaves it, it moves itself aside under a name of its own, and that name
// and the folder go once it has ended. A new installation made into the
// folder meanwhile keeps every file: the clean-up deletes that name only.
// It is a copy of this program in a private folder, with a mark there as
// the temporary copy has, and the name in a file beside it. Where it
// cannot be started, both are left to the next start of Windows.
void remove_installed_when_ended(const char* folder)
{
    char setup[MAX_PATH], self[MAX_PATH], name[32], aside[MAX_PATH], place[MAX_PATH];
    lstrcpyA(name, "~UNINSTAL-");
    if (!JoinPath(setup, folder, "SETUP.EXE") || exists(setup) || !JoinPath(self, folder, "UNINSTAL.EXE") ||
        !RandomDigits(name + lstrlenA(name), NAME_DIGITS))
        return;
    lstrcatA(name, ".DEL");
    if (!JoinPath(aside, folder, name) || !MoveFileExA(self, aside, 0))
        return;
    char token[TOKEN_DIGITS + 1], path[MAX_PATH], copy[MAX_PATH], arguments[32];
    bool made = MakePrivateFolder(FOLDER_PREFIX, place);
    if (made && RandomDigits(token, TOKEN_DIGITS) && JoinPath(path, place, MARK) && write_file(path, token) &&
        JoinPath(path, place, MOVED_TO) && write_file(path, aside) && JoinPath(copy, place, "UNINSTAL.EXE") &&
        copy_file(aside, copy)) {
        wsprintfA(arguments, "%s %s", CLEAN_UP, token);
        if (start(copy, arguments, 0))
            return;
    }
    if (made)
        remove_copies(place);
    MoveFileExA(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The installed copy's clean-up, from its private folder: once a second,
// for as long as the shell's clean-up would wait, the folder is held and
// checked to be where its path says, and the name the installed copy
// moved itself to is deleted through a handle, until it is gone; then the
// folder goes, through a checked hold too, if that leaves it empty. A
// name that does not go in that time is left to the next start of
// Windows; a folder that cannot be held, or leads elsewhere, is left
// alone, since a deletion scheduled by name would follow the same link.
// Its own folder goes as the temporary copy's does.
int clean_up_installed(const char* place)
{
    char path[MAX_PATH], aside[MAX_PATH + 1] = {}, folder[MAX_PATH];
    HANDLE file = JoinPath(path, place, MOVED_TO) ? CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                                OPEN_EXISTING, 0, nullptr)
                                                  : INVALID_HANDLE_VALUE;
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, aside, MAX_PATH, &got, nullptr);
        CloseHandle(file);
    }
    const char* last = LastOf(aside);
    bool gone = false, held = last != nullptr;
    if (held) {
        lstrcpynA(folder, aside, static_cast<int>(last - aside) + 1);
        for (int tries = 0; tries < REMOVAL_TRIES && held && !gone; ++tries) {
            HANDLE hold;
            held = HoldFolder(folder, &hold) == FOLDER_HELD;
            if (held) {
                DeleteChecked(aside);
                gone = !exists(aside);
                CloseHandle(hold);
            }
            if (held && !gone)
                Sleep(1000);
        }
    }
    if (gone) {
        RemoveFolder(folder);
    } else if (held) {
        MoveFileExA(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    const char* const names[] = {"UNINSTAL.EXE", MARK, MOVED_TO};
    remove_when_ended(place, place, "", names, 3);
    return 0;
}

// The installed copy: moves out of the way and starts from a private
// folder, with the token of the mark it leaves there. A person's run goes
// on there alone; an unattended one is waited for.
int from_installation()
{
    char folder[MAX_PATH], setup[MAX_PATH];
    if (!own_folder(folder) || !JoinPath(setup, folder, "SETUP.EXE") || !exists(setup)) {
        message(IDS_NO_SETUP);
        return failed();
    }
    char temporary[MAX_PATH], mark[MAX_PATH], token[TOKEN_DIGITS + 1];
    if (!MakePrivateFolder(FOLDER_PREFIX, temporary)) {
        message(IDS_NO_FOLDER);
        return failed();
    }
    if (!RandomDigits(token, TOKEN_DIGITS) || !JoinPath(mark, temporary, MARK) || !write_file(mark, token)) {
        message(IDS_NOT_WRITTEN);
        remove_copies(temporary);
        return failed();
    }
    for (const char* name : COPIED) {
        char from[MAX_PATH], to[MAX_PATH];
        if (!JoinPath(from, folder, name) || !JoinPath(to, temporary, name) || !copy_file(from, to)) {
            message(IDS_NOT_COPIED, name);
            remove_copies(temporary);
            return failed();
        }
    }
    char copy[MAX_PATH], arguments[PASSED_CHARS + 32];
    JoinPath(copy, temporary, "UNINSTAL.EXE");
    wsprintfA(arguments, "%s%s %s", Passed, TEMPORARY, token);
    HANDLE process = nullptr;
    if (!start(copy, arguments, 0, RunSwitch[0] ? &process : nullptr)) {
        message(IDS_NOT_STARTED);
        remove_copies(temporary);
        return failed();
    }
    if (!process)
        return 0;
    int code = ended(process);
    if (code == COMPLETED)
        remove_installed_when_ended(folder);
    return code;
}

// The temporary copy: runs the copied SETUP.EXE, then has the folder
// removed, this program included, and only while the mark is there.
int from_temporary_folder(const char* folder)
{
    char setup[MAX_PATH];
    if (!JoinPath(setup, folder, "SETUP.EXE"))
        return failed();
    int code = run_setup(setup);
    if (code < 0) {
        message(IDS_SETUP_NOT_STARTED);
        code = failed();
    }
    char guard[64];
    wsprintfA(guard, "if not exist \"%%F%%\\%s\" goto done", MARK);
    remove_when_ended(folder, folder, guard, TEMPORARY_FILES, 4);
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SearchSystemFolderOnly();
    // The tokens are words of ASCII, which the ANSI form holds exactly.
    RunSwitch = UnattendedSwitch(CommandTail(GetCommandLineW()));
    PassedSwitches(CommandTail(GetCommandLineW()), Passed);
    const char* token = token_argument(GetCommandLineA(), TEMPORARY);
    const char* cleanUp = token_argument(GetCommandLineA(), CLEAN_UP);
    char folder[MAX_PATH];
    if (is_temporary_copy(token, folder))
        return from_temporary_folder(folder);
    if (is_temporary_copy(cleanUp, folder))
        return clean_up_installed(folder);
    // A start with a token anywhere but in its marked folder is none the
    // installed copy made: as the installed copy it would only start
    // another copy, and that one another.
    return token || cleanUp ? failed() : from_installation();
}
