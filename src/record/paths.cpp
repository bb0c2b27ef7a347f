#include <string.h>

#include "driver/driver.h"
#include "record/record.h"

// destination = folder + '\' (unless folder already ends in one) + name.
// A result that would not fit a path buffer is not cut into another path:
// destination is left empty and the result is false.
bool JoinPath(char* destination, const char* folder, const char* name)
{
    size_t folderLength = strlen(folder);
    bool separator = folderLength == 0 || folder[folderLength - 1] != '\\';
    size_t nameLength = strlen(name);
    if (folderLength + separator + nameLength >= PATH_CHARS) {
        destination[0] = '\0';
        return false;
    }
    memmove(destination, folder, folderLength);
    if (separator)
        destination[folderLength++] = '\\';
    memmove(destination + folderLength, name, nameLength + 1);
    return true;
}

// ScratchPath = the Windows directory joined with name.
bool WindowsPath(const char* name)
{
    char windows[PATH_CHARS];
    UINT length = GetWindowsDirectoryA(windows, PATH_CHARS);
    if (length == 0 || length >= PATH_CHARS) {
        State.ScratchPath[0] = '\0';
        return false;
    }
    return JoinPath(State.ScratchPath, windows, name);
}

// Cuts the last component off a path, in place. A backslash after the
// drive ("C:\") stays, so a drive root keeps its backslash; a path without
// any backslash becomes empty.
void StripFileName(char* path)
{
    int i = static_cast<int>(strlen(path));
    while (path[i] != '\\') {
        path[i] = '\0';
        if (i == 0) {
            i = -1;
            break;
        }
        --i;
    }
    if (i > 2)
        path[i] = '\0';
}
