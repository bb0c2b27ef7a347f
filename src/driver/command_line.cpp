// The command line: "ARCHIVE*CODE" to install, "UNINSTALL" to remove.
#include <string.h>

#include "driver/driver.h"

enum { SPLIT_LIMIT = 255 };  // positions of the tail that are looked at

// The command line without the program name and the blanks and control
// characters after it. Computed here rather than taken from the C
// runtime's start-up code, whose rule for quotes is its own.
const char* CommandTail(const char* commandLine)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p > ' ')
            ++p;
    }
    while (*p != '\0' && *p <= ' ')
        ++p;
    return reinterpret_cast<const char*>(p);
}

// Splits the tail at its first '*' into ArchivePath and DecryptCode.
// Later stars are dropped, and the limit counts positions in the whole
// tail, so the second field ends where the tail reaches position 255.
void SplitCommandLine(const char* tail)
{
    memset(State.ArchivePath, 0, sizeof State.ArchivePath);
    memset(State.DecryptCode, 0, sizeof State.DecryptCode);

    int i = 0;
    for (;;) {
        char c = tail[i];
        if (c != '*')
            State.ArchivePath[i] = c;
        if (c == '\0' || c == '*')
            break;
        if (++i == SPLIT_LIMIT)
            break;
    }

    int j = 0;
    for (; i < SPLIT_LIMIT; ++i) {
        char c = tail[i];
        if (c != '*')
            State.DecryptCode[j++] = c;
        if (c == '\0')
            break;
    }
}

// The first ten bytes must be the word and its terminator, so the match
// is exact: "UNINSTALL " and "uninstall" are archive paths.
bool IsUninstallWord(const char* field)
{
    return strcmp(field, "UNINSTALL") == 0;
}
