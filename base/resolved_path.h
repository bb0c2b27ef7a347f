// Paths as the system resolves them, every link on the way followed: the
// guards against a name that leads elsewhere. The library's: whether an
// open file lies in a folder. The setup's: whether an open folder is the
// one its path names. Apart from their callers so that the decisions can
// be tried against any answers the system might give.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_RESOLVED_PATH_H
#define CORVANE_RESOLVED_PATH_H

#include <windows.h>

namespace resolved {

// Room for any path as the system resolves it, "\\?\" and all: the
// longest it has. No path is cut, nor taken for what cannot be told.
const DWORD PATH_CHARS = 32768;

// GetFinalPathNameByHandleW: wide, so that any name is told exactly.
typedef DWORD(WINAPI* Lookup)(HANDLE file, LPWSTR path, DWORD chars, DWORD flags);

// The path the system resolves an open file or folder to in one form,
// without a separator at its end.
struct FinalPath {
    WCHAR* text = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, PATH_CHARS * sizeof(WCHAR)));

    FinalPath() = default;
    FinalPath(const FinalPath&) = delete;
    FinalPath& operator=(const FinalPath&) = delete;
    ~FinalPath() { LocalFree(text); }

    // False when the system cannot tell.
    bool read(Lookup lookup, HANDLE handle, DWORD form)
    {
        DWORD length = text ? lookup(handle, text, PATH_CHARS, FILE_NAME_NORMALIZED | form) : 0;
        if (length == 0 || length >= PATH_CHARS)
            return false;
        if (text[length - 1] == L'\\')
            text[length - 1] = L'\0';
        return true;
    }
};

// Paths are compared as the file system compares names: character by
// character, without regard to case, and no two spellings taken for one.
inline bool same_path(const WCHAR* path, const WCHAR* other)
{
    return CompareStringOrdinal(path, -1, other, -1, TRUE) == CSTR_EQUAL;
}

// The forms a path is compared in: the drive-letter form where both have
// one, else the device form.
static const DWORD PATH_FORMS[] = {VOLUME_NAME_DOS, VOLUME_NAME_NT};

// False only when the system names both and the file's folder is another.
// The drive-letter form is compared where both have one; a drive without
// a DOS name (a RAM disk, a disk image, a letter made with
// DefineDosDevice) has only the device form, compared then. What cannot
// be told is taken as it is on a system without the lookup.
inline bool same_folder(Lookup lookup, HANDLE folder, HANDLE file)
{
    for (DWORD form : PATH_FORMS) {
        FinalPath folderPath, filePath;
        if (!folderPath.read(lookup, folder, form) || !filePath.read(lookup, file, form))
            continue;
        WCHAR* separator = filePath.text + lstrlenW(filePath.text);
        while (separator > filePath.text && *separator != L'\\')
            --separator;
        *separator = L'\0';
        return same_path(filePath.text, folderPath.text);
    }
    return true;
}

// True only when the system names both and the folder is the drive root's
// `rest` ("\Program files\Corvane Pro"): a link or a mounted folder on
// the way would lead elsewhere. The root is resolved too, so that a drive
// that stands for another (a network drive, a substituted one) is no
// mismatch. What cannot be told is refused: this guards what an elevated
// run deletes.
inline bool leads_where_named(Lookup lookup, HANDLE root, HANDLE folder, const WCHAR* rest)
{
    int length = lstrlenW(rest);
    while (length > 0 && rest[length - 1] == L'\\')
        --length;
    for (DWORD form : PATH_FORMS) {
        FinalPath rootPath, folderPath;
        if (!rootPath.read(lookup, root, form) || !folderPath.read(lookup, folder, form))
            continue;
        WCHAR* end = rootPath.text + lstrlenW(rootPath.text);
        if (end - rootPath.text + length >= static_cast<int>(PATH_CHARS))
            return false;
        lstrcpynW(end, rest, length + 1);
        return same_path(rootPath.text, folderPath.text);
    }
    return false;
}

}  // namespace resolved

#endif
