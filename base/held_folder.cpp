#include "ansi_text.h"
#include "held_folder.h"
#include "path_text.h"
#include "resolved_path.h"
#include "system_dlls.h"

bool IsWhereNamed(HANDLE handle, const WCHAR* path)
{
    auto lookup = reinterpret_cast<resolved::Lookup>(SystemFunction("KERNEL32.DLL", "GetFinalPathNameByHandleW"));
    if (!lookup)
        return true;
    // The final path has long names; so must the named one. Its root is
    // its volume's: "C:\", "\\server\share\", or a folder a volume is
    // mounted on.
    WCHAR named[PATH_CHARS], root[PATH_CHARS];
    DWORD length = GetLongPathNameW(path, named, PATH_CHARS);
    if (length == 0 || length >= PATH_CHARS)
        lstrcpynW(named, path, PATH_CHARS);
    if (!GetVolumePathNameW(named, root, PATH_CHARS))
        return false;
    HANDLE drive = CreateFileW(root, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (drive == INVALID_HANDLE_VALUE)
        return false;
    bool same = resolved::leads_where_named(lookup, drive, handle, named + lstrlenW(root) - 1);
    CloseHandle(drive);
    return same;
}

FolderHold HoldFolder(const char* path, HANDLE* held, bool removable)
{
    // Listing it makes the sharing count; deleting is not shared.
    *held = CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | (removable ? DELETE : 0),
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (*held == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FOLDER_MISSING : FOLDER_ELSEWHERE;
    }
    const DWORD KIND = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    BY_HANDLE_FILE_INFORMATION info;
    WCHAR named[PATH_CHARS];
    if (GetFileInformationByHandle(*held, &info) && (info.dwFileAttributes & KIND) == FILE_ATTRIBUTE_DIRECTORY &&
        ToWide(path, named, PATH_CHARS) && IsWhereNamed(*held, named))
        return FOLDER_HELD;
    CloseHandle(*held);
    *held = INVALID_HANDLE_VALUE;
    return FOLDER_ELSEWHERE;
}

bool DeleteHeld(HANDLE held)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    bool marked = SetFileInformationByHandle(held, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(held);
    return marked;
}

bool DeleteChecked(const char* path)
{
    HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1 &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return DeleteHeld(file);
    CloseHandle(file);
    return false;
}

bool RemoveFolder(const char* path)
{
    HANDLE held;
    return HoldFolder(path, &held, true) == FOLDER_HELD && DeleteHeld(held);
}
