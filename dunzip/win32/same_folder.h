// Whether an open file lies in a folder, both as the system resolves
// them: the library's guard against a name that led elsewhere. Apart from
// the library so that the decision can be tried against any answers the
// system might give.
#ifndef CORVANE_SAME_FOLDER_H
#define CORVANE_SAME_FOLDER_H

#include <windows.h>

namespace resolved {

// Room for a path as the system resolves it, "\\?\" and all; a longer one
// cannot be told.
const DWORD PATH_CHARS = 1024;

typedef DWORD(WINAPI* Lookup)(HANDLE file, LPSTR path, DWORD chars, DWORD flags);

// The path the system resolves an open file or folder to in one form,
// without a separator at its end; false when it cannot tell.
inline bool path_of(Lookup lookup, HANDLE handle, DWORD form, char* path)
{
    DWORD length = lookup(handle, path, PATH_CHARS, FILE_NAME_NORMALIZED | form);
    if (length == 0 || length >= PATH_CHARS)
        return false;
    if (path[length - 1] == '\\')
        path[length - 1] = '\0';
    return true;
}

// False only when the system names both and the file's folder is another.
// The drive-letter form is compared where both have one; a drive without
// a DOS name (a RAM disk, a disk image, a letter made with
// DefineDosDevice) has only the device form, compared then. What cannot
// be told is taken as it is on a system without the lookup.
inline bool same_folder(Lookup lookup, HANDLE folder, HANDLE file)
{
    static const DWORD FORMS[] = {VOLUME_NAME_DOS, VOLUME_NAME_NT};
    for (DWORD form : FORMS) {
        char folderPath[PATH_CHARS], filePath[PATH_CHARS];
        if (!path_of(lookup, folder, form, folderPath) || !path_of(lookup, file, form, filePath))
            continue;
        char* separator = filePath + lstrlenA(filePath);
        while (separator > filePath && *separator != '\\')
            --separator;
        *separator = '\0';
        return lstrcmpiA(filePath, folderPath) == 0;
    }
    return true;
}

}  // namespace resolved

#endif
