// CorvaneSetup.exe: the release in one file, to download and double-click.
// It carries SETUP.EXE, DUNZIP32.DLL and the distribution CORVANE.ZIP as
// resources, with the SHA-256 of each and the distribution's code, which
// the build put beside them.
//
// Started, it unpacks the three into a private folder of the temporary
// folder (made new, under a random name, for SYSTEM and Administrators
// only), each file made new there, and checks each against its digest
// before anything runs. Then it runs the SETUP.EXE there, by its full
// path and with that folder as its current folder, so that the
// DUNZIP32.DLL it loads is the one beside it, never one a web page left
// in the downloads folder this program was started from. SETUP.EXE gets
// the switches this program was given, then "ARCHIVE*CODE": started with
// nothing, the wizard opens. The code is never shown; SETUP.EXE's log
// masks it.
//
// Its exit code is SETUP.EXE's, unchanged; before it ends, the private
// folder goes, whatever SETUP.EXE's end. What cannot be deleted is left
// to the next start of Windows. Where it cannot get as far as running
// SETUP.EXE, it ends with the code SETUP.EXE gives the same trouble: 4
// for a damaged carried file, 6 for a full disk, 8 for another file that
// could not be written, 9 when SETUP.EXE could not be started.
#include <windows.h>

#include "ansi_text.h"
#include "command_words.h"
#include "held_folder.h"
#include "path_text.h"
#include "sha256.h"
#include "system_dlls.h"
#include "temp_folder.h"

namespace {

const char TITLE[] = "Corvane Pro32 Setup";
const char FOLDER_PREFIX[] = "CorvaneSetup-";  // and NAME_DIGITS hex digits
// The carried files, each a resource of type RCDATA named as the file.
const char* const CARRIED[] = {"SETUP.EXE", "DUNZIP32.DLL", "CORVANE.ZIP"};
enum { CARRIED_FILES = 3, DIGEST_DIGITS = 64 };
// Resources of the build's: the carried files' digests, in that order,
// as hexadecimal text; and the distribution's code in the code page,
// each byte as two hexadecimal digits, so that no text tool finds it.
const char DIGESTS[] = "DIGESTS";
const char CODE[] = "CODE";
enum { ARCHIVE_REFUSED = 4, DISK_FULL = 6, COPY_FAILED = 8, STOPPED = 9 };
enum { REMOVAL_TRIES = 20 };  // a quarter of a second apart

// "/quiet", "/passive" or "" for a run a person watches.
const char* RunSwitch = "";

// Told to the person, if there is one; an unattended run has its exit code.
DWORD stop(DWORD code, const char* text, const char* name = "")
{
    if (RunSwitch[0] == '\0') {
        char message[512];
        wsprintfA(message, text, name);
        MessageBoxA(nullptr, message, TITLE, MB_OK | MB_ICONSTOP);
    }
    return code;
}

// A resource of this program: its bytes and size, or null.
const BYTE* resource(const char* name, DWORD* size)
{
    HRSRC found = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    *size = found ? SizeofResource(nullptr, found) : 0;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

int digit_value(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// The distribution's code, from its digits.
bool carried_code(char* code, int size)
{
    DWORD digits = 0;
    const BYTE* text = resource(CODE, &digits);
    if (!text || digits % 2 != 0 || static_cast<int>(digits / 2) >= size)
        return false;
    for (DWORD i = 0; i < digits / 2; ++i)
        code[i] = static_cast<char>(digit_value(text[2 * i]) << 4 | digit_value(text[2 * i + 1]));
    code[digits / 2] = '\0';
    return true;
}

// Writes a carried file into the folder, as a file made new, and opens it
// again for reading only, sharing nothing but reading: from then on, until
// the handle goes, nobody can change, replace or delete it. Its bytes are
// checked through that handle. A Win32 error code, or 0 with the file
// held in `held`, or ERROR_INVALID_DATA when the file is not what the
// build carried.
DWORD unpack(const char* folder, int index, const char* digests, HANDLE* held)
{
    char path[PATH_CHARS];
    DWORD size = 0, done = 0;
    const BYTE* bytes = resource(CARRIED[index], &size);
    if (!bytes || !digests)
        return ERROR_INVALID_DATA;
    if (!JoinPath(path, folder, CARRIED[index]))
        return ERROR_FILENAME_EXCED_RANGE;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    bool written = WriteFile(file, bytes, size, &done, nullptr) && done == size;
    DWORD error = written ? 0 : GetLastError();
    CloseHandle(file);
    if (!written)
        return error ? error : ERROR_WRITE_FAULT;

    *held = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (*held == INVALID_HANDLE_VALUE)
        return GetLastError();
    static BYTE chunk[64 * 1024];
    Sha256 digest;
    DWORD read = 0;
    while (ReadFile(*held, chunk, sizeof chunk, &read, nullptr) && read > 0)
        digest.add(chunk, read);
    char hex[DIGEST_DIGITS + 1];
    digest.finish(hex);
    return CompareStringA(LOCALE_INVARIANT, 0, hex, DIGEST_DIGITS, digests + index * DIGEST_DIGITS, DIGEST_DIGITS) ==
                   CSTR_EQUAL
               ? 0
               : ERROR_INVALID_DATA;
}

// Appends `length` characters of text (all, for -1) to the line, within
// its `chars`; false when they do not fit.
bool append(WCHAR* line, int chars, const WCHAR* text, int length = -1)
{
    int used = lstrlenW(line);
    if (length < 0)
        length = lstrlenW(text);
    if (used + length >= chars)
        return false;
    memmove(line + used, text, length * sizeof *text);
    line[used + length] = L'\0';
    return true;
}

// The words given to this program, each as it came but a /log= file, which
// goes by its full path: SETUP.EXE runs in the private folder, where a log
// named relative to it would be made, and removed with the folder, rather
// than where the one who started this program looks for it. A value that
// is not well formed passes as it came, for SETUP.EXE to refuse.
bool append_words(WCHAR* line, int chars, const WCHAR* tail)
{
    const int LOG = 5;  // "/log="
    for (const WCHAR* p = tail; *p != L'\0';) {
        const WCHAR* word = p;
        bool quoted = false;
        for (; *p != L'\0' && (quoted || (*p != L' ' && *p != L'\t')); ++p)
            quoted ^= *p == L'"';
        int length = static_cast<int>(p - word);
        const WCHAR* value = word + LOG;
        int valueLength = length - LOG;
        if (valueLength > 2 && value[0] == L'"' && value[valueLength - 1] == L'"') {
            ++value;
            valueLength -= 2;
        }
        WCHAR given[PATH_CHARS], full[PATH_CHARS];
        DWORD fullLength = 0;
        if (valueLength > 0 && valueLength < PATH_CHARS &&
            CompareStringOrdinal(word, LOG, L"/log=", LOG, TRUE) == CSTR_EQUAL) {
            lstrcpynW(given, value, valueLength + 1);
            if (!wcschr(given, L'"'))
                fullLength = GetFullPathNameW(given, PATH_CHARS, full, nullptr);
        }
        bool fits = fullLength > 0 && fullLength < PATH_CHARS
                        ? append(line, chars, L"/log=\"") && append(line, chars, full) && append(line, chars, L"\"")
                        : append(line, chars, word, length);
        if (!fits || !append(line, chars, L" "))
            return false;
        while (*p == L' ' || *p == L'\t')
            ++p;
    }
    return true;
}

// The command line for SETUP.EXE: its path, the words this program was
// given, and "ARCHIVE*CODE". False when it would be too long to start.
bool setup_line(const WCHAR* setup, const WCHAR* tail, const WCHAR* archive, const char* code, WCHAR* line, int chars)
{
    WCHAR wideCode[PATH_CHARS];
    line[0] = L'\0';
    bool made = ToWide(code, wideCode, PATH_CHARS) && append(line, chars, L"\"") && append(line, chars, setup) &&
                append(line, chars, L"\" ") && append_words(line, chars, tail) && append(line, chars, archive) &&
                append(line, chars, L"*") && append(line, chars, wideCode);
    SecureZeroMemory(wideCode, sizeof wideCode);
    return made;
}

// Runs SETUP.EXE from the folder and waits for it; false when it cannot be
// started. Its exit code may be any 32 bits, one of a process killed
// (0xC000013A, say) too.
bool run_setup(const char* folder, const char* code, DWORD* exitCode)
{
    char setup[PATH_CHARS], archive[PATH_CHARS];
    WCHAR wideFolder[PATH_CHARS], wideSetup[PATH_CHARS], wideArchive[PATH_CHARS];
    static WCHAR line[32768];  // the longest command line the system takes
    if (!JoinPath(setup, folder, CARRIED[0]) || !JoinPath(archive, folder, CARRIED[2]) ||
        !ToWide(folder, wideFolder, PATH_CHARS) || !ToWide(setup, wideSetup, PATH_CHARS) ||
        !ToWide(archive, wideArchive, PATH_CHARS) ||
        !setup_line(wideSetup, CommandTail(GetCommandLineW()), wideArchive, code, line, ARRAYSIZE(line)))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    bool started = CreateProcessW(wideSetup, line, nullptr, nullptr, FALSE, 0, nullptr, wideFolder, &startup, &process);
    SecureZeroMemory(line, sizeof line);
    if (!started)
        return false;
    CloseHandle(process.hThread);
    *exitCode = STOPPED;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hProcess);
    return true;
}

// Deletes the private folder and the files unpacked there, each through a
// handle on what was checked to be there; for a few seconds, while a
// process that SETUP.EXE left, or a scanner, still holds one. What will
// not go is left to the next start of Windows.
void remove_private_folder(const char* folder)
{
    char path[PATH_CHARS];
    for (int tries = 0; tries < REMOVAL_TRIES; ++tries) {
        for (const char* name : CARRIED)
            if (JoinPath(path, folder, name))
                DeleteChecked(path);
        if (RemoveFolder(folder))
            return;
        Sleep(250);
    }
    for (const char* name : CARRIED)
        if (JoinPath(path, folder, name) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

DWORD run()
{
    SearchSystemFolderOnly();
    RunSwitch = UnattendedSwitch(CommandTail(GetCommandLineW()));

    char folder[PATH_CHARS];
    if (!MakePrivateFolder(FOLDER_PREFIX, folder))
        return stop(COPY_FAILED, "Setup could not make a folder in the temporary folder.");

    DWORD size = 0;
    const BYTE* digests = resource(DIGESTS, &size);
    if (size != CARRIED_FILES * DIGEST_DIGITS)
        digests = nullptr;
    HANDLE held[CARRIED_FILES];
    int unpacked = 0;
    DWORD code = 0;  // the exit code; 0 while nothing has ended the run
    for (; unpacked < CARRIED_FILES && code == 0; ++unpacked) {
        held[unpacked] = INVALID_HANDLE_VALUE;
        DWORD error = unpack(folder, unpacked, reinterpret_cast<const char*>(digests), &held[unpacked]);
        const char* name = CARRIED[unpacked];
        if (error == ERROR_INVALID_DATA)
            code = stop(ARCHIVE_REFUSED,
                        "This copy of CorvaneSetup.exe is damaged: its %s is not the one it was built with.\n\n"
                        "Please download it again.",
                        name);
        else if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
            code = stop(DISK_FULL, "The disk is full: Setup could not unpack %s.", name);
        else if (error != 0)
            code = stop(COPY_FAILED, "Setup could not unpack %s to the temporary folder.", name);
    }

    char secret[PATH_CHARS];
    if (code == 0 && !carried_code(secret, PATH_CHARS))
        code = stop(ARCHIVE_REFUSED, "This copy of CorvaneSetup.exe is damaged.\n\nPlease download it again.");
    if (code == 0 && !run_setup(folder, secret, &code))
        code = stop(STOPPED, "%s could not be started.", CARRIED[0]);
    SecureZeroMemory(secret, sizeof secret);

    for (int i = 0; i < unpacked; ++i)
        if (held[i] != INVALID_HANDLE_VALUE)
            CloseHandle(held[i]);
    remove_private_folder(folder);
    return code;
}

}  // namespace

// The entry, without the C runtime's start-up, which prepares what this
// program does not use.
extern "C" void Start()
{
    ExitProcess(run());
}
