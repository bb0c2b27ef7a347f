// The folder test, built on the process's current drive and folder.
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include "install/install.h"
#include "rights.h"

enum { LAST_DRIVE = 31 };

static char drive_letter(int drive)
{
    return static_cast<char>(drive + 64);
}

// 1 for A: ... 26 for Z:, 0 when the current folder has no drive letter
// (a network path) or cannot be read.
static int current_drive()
{
    char folder[PATH_CHARS];
    DWORD length = GetCurrentDirectoryA(PATH_CHARS, folder);
    if (length == 0 || length >= PATH_CHARS || folder[1] != ':')
        return 0;
    return toupper(static_cast<unsigned char>(folder[0])) - 64;
}

// The current folder of a drive (0: the current drive), in a newly
// allocated buffer that the caller frees; null when the drive is not
// present or the folder does not fit a path buffer.
static char* current_folder_of(int drive)
{
    char folder[PATH_CHARS];
    DWORD length;
    if (drive == 0) {
        length = GetCurrentDirectoryA(PATH_CHARS, folder);
    } else {
        char root[] = { drive_letter(drive), ':', '\\', '\0' };
        UINT type = GetDriveTypeA(root);
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
            return nullptr;
        char here[] = { drive_letter(drive), ':', '.', '\0' };
        length = GetFullPathNameA(here, PATH_CHARS, folder, nullptr);
    }
    if (length == 0 || length >= PATH_CHARS)
        return nullptr;

    char* saved = static_cast<char*>(malloc(PATH_CHARS));
    if (saved)
        memcpy(saved, folder, length + 1);
    return saved;
}

// Makes a drive current; the platform takes the drive's remembered folder.
static bool make_drive_current(int drive)
{
    if (drive < 1 || drive > LAST_DRIVE)
        return false;
    char name[] = { drive_letter(drive), ':', '\0' };
    return SetCurrentDirectoryA(name);
}

// Enters a folder and records it as its drive's remembered folder (the
// "=X:" environment variable), so that making the drive current later
// comes back here. A network folder has no drive to remember it by.
static bool enter_folder(const char* path)
{
    if (!SetCurrentDirectoryA(path))
        return false;
    char folder[PATH_CHARS + 1];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return false;
    if ((folder[0] == '\\' || folder[0] == '/') && folder[1] == folder[0])
        return true;
    char name[] = { '=', static_cast<char>(toupper(static_cast<unsigned char>(folder[0]))), ':', '\0' };
    return SetEnvironmentVariableA(name, folder);
}

bool CreateFolder(const char* path, bool first)
{
    // The first level made is the installation's own, under a drive's
    // root or a folder that may let every user in: it gets rights like
    // Program Files', and the levels below it take them.
    if (!(first ? CreateFolderWithRights(path, LIKE_PROGRAM_FILES) : CreateDirectoryA(path, nullptr))) {
        LogLine("Folder not created: %s (error %lu)", path, GetLastError());
        return false;
    }
    LogLine("Folder created: %s", path);
    return true;
}

// True when the folder can be made the current folder: it is present, it
// is a folder and the process may enter it. The drive is taken from the
// first character alone, so a relative path is entered relative to that
// drive's remembered folder. The current drive and its folder are the
// same afterwards.
bool FolderExists(const char* path)
{
    int drive = current_drive();
    char* saved = current_folder_of(drive);
    if (!saved)
        return false;

    unsigned char first = static_cast<unsigned char>(path[0]);
    int target = (first >= 'A' && first <= 'Z' ? first + ('a' - 'A') : first) - 96;
    bool exists = make_drive_current(target) && enter_folder(path);

    // For drive 0 the first step fails; entering the saved folder alone
    // restores it.
    make_drive_current(drive);
    enter_folder(saved);
    free(saved);
    return exists;
}
