// The log: what an unattended run did, step by step, for whoever deployed
// it to read afterwards. Each line starts with the local time; each run
// appends, starting with a header line.
//
// An elevated or SYSTEM run writes it, often in a temporary folder that
// every user may write: someone could have put a link there under its
// name, to a file of the system's that the run would then append to, or a
// file of their own, to read the log. So it is only ever written to a
// plain file on a disk, with one name, never through a link, and in such
// a run one whose owner it trusts.
#include <stdarg.h>

#include "ansi_text.h"
#include "common/common.h"
#include "held_folder.h"
#include "rights.h"
#include "temp_folder.h"

enum { LINE_CHARS = 1024 };  // wsprintf writes at most this many

const char LEFT_ALONE[] = "Left alone: %s is a link, or is reached through one, or is no folder";

// Why an open file is not to be written to, or null when it may be.
static const char* refusal(HANDLE file, const WCHAR* path)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return "not a file on a disk";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "a link";
    if (!IsWhereNamed(file, path))
        return "reached through a link";
    if (info.nNumberOfLinks != 1)
        return "a file with more than one name";
    if (RunsElevated() && !OwnerIsTrusted(file))
        return "a file of another user's";
    return nullptr;
}

// Shared for reading, writing and deleting: someone may read the log
// while the run goes on, or a second run append to it. The reparse flag
// opens a link itself, not what it leads to; one in a folder above is
// found by the final path. By its wide name: the log's name is for the
// system alone, and may hold what the code page cannot. A file made here
// and refused is deleted through its handle: nothing is left where a link
// led.
static HANDLE open_log_file(const WCHAR* path, DWORD disposition, const char** refused)
{
    *refused = "a device";  // "\\.\": reached through the device space, not a disk's files
    if (path[0] == L'\\' && path[1] == L'\\' && (path[2] == L'.' || path[2] == L'?') && path[3] == L'\\')
        return INVALID_HANDLE_VALUE;
    // A pipe's server that is reached anyway may only identify this
    // process, never act as it.
    HANDLE log = CreateFileW(path, FILE_APPEND_DATA | READ_CONTROL | DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | SECURITY_SQOS_PRESENT |
                                 SECURITY_IDENTIFICATION,
                             nullptr);
    bool made = disposition == CREATE_NEW || GetLastError() != ERROR_ALREADY_EXISTS;
    *refused = log == INVALID_HANDLE_VALUE ? "it cannot be opened" : refusal(log, path);
    if (*refused && log != INVALID_HANDLE_VALUE) {
        if (made)
            DeleteHeld(log);
        else
            CloseHandle(log);
        log = INVALID_HANDLE_VALUE;
    }
    return log;
}

// The log's name with random digits before its extension: a file beside
// it that nobody can have made first.
static HANDLE open_fresh_file(const WCHAR* path, WCHAR* fresh)
{
    int length = lstrlenW(path), dot = length;
    while (dot > 0 && path[dot] != L'.' && path[dot - 1] != L'\\')
        --dot;
    if (path[dot] != L'.')
        dot = length;
    char digits[NAME_DIGITS + 1];
    if (length + 1 + NAME_DIGITS >= PATH_CHARS || !RandomDigits(digits, NAME_DIGITS))
        return INVALID_HANDLE_VALUE;
    lstrcpynW(fresh, path, dot + 1);
    wsprintfW(fresh + dot, L"-%S%s", digits, path + dot);
    const char* refused;
    return open_log_file(fresh, CREATE_NEW, &refused);
}

void OpenLog(const WCHAR* path, bool replaceable)
{
    const char* refused;
    HANDLE log = open_log_file(path, OPEN_ALWAYS, &refused);
    WCHAR fresh[PATH_CHARS] = {};
    if (log == INVALID_HANDLE_VALUE && replaceable)
        log = open_fresh_file(path, fresh);
    State.Log = log == INVALID_HANDLE_VALUE ? nullptr : log;
    LogLine("==== Corvane Pro32 %d.%d setup ====", SETUP_MAJOR, SETUP_MINOR);
    if (refused) {
        char named[LOG_TEXT_CHARS], freshNamed[LOG_TEXT_CHARS];
        LogLine("The log %s is refused (%s); this run logs in %s", LogText(path, named), refused,
                LogText(fresh, freshNamed));
    }
}

char* LogText(const WCHAR* text, char* buffer)
{
    static const char MARK[] = " (in UTF-8)";
    if (ToCodePage(text, buffer, LOG_TEXT_CHARS))
        return buffer;
    // A text too long for the log is told by its mark alone.
    ToCodePage(text, buffer, LOG_TEXT_CHARS - sizeof MARK, CP_UTF8);
    lstrcatA(buffer, MARK);
    return buffer;
}

void LogLine(const char* format, ...)
{
    if (!State.Log)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[32 + LINE_CHARS + 3];
    int length = wsprintfA(line, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay, now.wHour,
                           now.wMinute, now.wSecond, now.wMilliseconds);
    va_list arguments;
    va_start(arguments, format);
    length += wvsprintfA(line + length, format, arguments);
    va_end(arguments);
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(State.Log, line, static_cast<DWORD>(length), &written, nullptr);  // a lost line stops nothing
}
