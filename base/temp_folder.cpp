#include <windows.h>

#include "rights.h"
#include "system_dlls.h"
#include "temp_folder.h"

TempFolderName ChooseTempFolder(const WCHAR* temp, const WCHAR* windows, char* path, ShortNameLookup lookup)
{
    if (ToCodePage(temp, path, PATH_CHARS))
        return TEMP_AS_GIVEN;
    if (AnsiPath(temp, path, lookup))
        return TEMP_SHORT_NAME;
    char folder[PATH_CHARS];
    if (AnsiPath(windows, folder, lookup) && JoinPath(path, folder, "Temp\\"))
        return TEMP_OF_WINDOWS;
    path[0] = '\0';
    return NO_TEMP_FOLDER;
}

TempFolderName TempFolder(char* path)
{
    typedef DWORD(WINAPI * TempPathFunction)(DWORD chars, LPWSTR path);
    auto tempPath2 = reinterpret_cast<TempPathFunction>(SystemFunction("KERNEL32.DLL", "GetTempPath2W"));
    WCHAR temp[PATH_CHARS], windows[PATH_CHARS];
    DWORD length = tempPath2 ? tempPath2(PATH_CHARS, temp) : GetTempPathW(PATH_CHARS, temp);
    UINT windowsLength = GetWindowsDirectoryW(windows, PATH_CHARS);
    if (length == 0 || length >= PATH_CHARS || windowsLength == 0 || windowsLength >= PATH_CHARS) {
        path[0] = '\0';
        return NO_TEMP_FOLDER;
    }
    return ChooseTempFolder(temp, windows, path);
}

// RtlGenRandom is ADVAPI32's SystemFunction036, which forwards to
// CRYPTBASE.DLL, no KnownDLL: imported, it would be searched for beside
// the program as it starts.
typedef BOOLEAN(WINAPI* RandomFunction)(PVOID buffer, ULONG length);

bool RandomDigits(char* text, int digits)
{
    static const char HEX[] = "0123456789abcdef";
    unsigned char bytes[32];
    auto generate = reinterpret_cast<RandomFunction>(SystemFunction("ADVAPI32.DLL", "SystemFunction036"));
    if (digits > 2 * static_cast<int>(sizeof bytes) || !generate || !generate(bytes, (digits + 1) / 2))
        return false;
    for (int i = 0; i < digits; ++i)
        text[i] = HEX[(bytes[i / 2] >> (i % 2 * 4)) & 15];
    text[digits] = '\0';
    return true;
}

bool MakePrivateFolder(const char* prefix, char* folder)
{
    char temp[PATH_CHARS], name[PATH_CHARS];
    if (TempFolder(temp) == NO_TEMP_FOLDER || lstrlenA(prefix) + NAME_DIGITS >= PATH_CHARS)
        return false;
    // A name already there was not foreseen but met by chance: another.
    for (int tries = 0; tries < 3; ++tries) {
        lstrcpyA(name, prefix);
        if (!RandomDigits(name + lstrlenA(prefix), NAME_DIGITS) || !JoinPath(folder, temp, name))
            return false;
        if (CreateFolderWithRights(folder, ADMINISTRATORS_ONLY))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}
