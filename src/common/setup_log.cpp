// The log: what an unattended run did, step by step, for whoever deployed
// it to read afterwards. Each line starts with the local time; each run
// appends, starting with a header line.
#include <stdarg.h>

#include "common/common.h"

enum { LINE_CHARS = 1024 };  // wsprintf writes at most this many

// Shared for reading and writing: someone may read the log while the run
// goes on, or a second run append to it.
void OpenLog(const char* path)
{
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    State.Log = log == INVALID_HANDLE_VALUE ? nullptr : log;
    LogLine("==== Corvane Pro32 %d.%d setup ====", SETUP_MAJOR, SETUP_MINOR);
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
