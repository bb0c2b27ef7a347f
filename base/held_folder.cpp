#include "ansi_text.h"
#include "held_folder.h"
#include "path_text.h"
#include "resolved_path.h"

// True unless the system tells that the folder's final path is not the
// named one; a system without the lookup (before Vista) cannot tell.
static bool is_where_named(HANDLE folder, const char* path)
{
    auto lookup = reinterpret_cast<resolved::Lookup>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "GetFinalPathNameByHandleW")));
    if (!lookup)
        return true;
    // The final path has long names; so must the named one.
    WCHAR given[PATH_CHARS], named[PATH_CHARS], root[4];
    if (!ToWide(path, given, PATH_CHARS))
        return false;
    DWORD length = GetLongPathNameW(given, named, PATH_CHARS);
    if (length == 0 || length >= PATH_CHARS)
        lstrcpynW(named, given, PATH_CHARS);
    lstrcpynW(root, named, 4);
    HANDLE drive = CreateFileW(root, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (drive == INVALID_HANDLE_VALUE)
        return false;
    bool same = resolved::leads_where_named(lookup, drive, folder, named + 2);
    CloseHandle(drive);
    return same;
}

FolderHold HoldFolder(const char* path, HANDLE* held)
{
    // Listing it makes the sharing count; deleting is not shared.
    *held = CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (*held == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FOLDER_MISSING : FOLDER_ELSEWHERE;
    }
    const DWORD KIND = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(*held, &info) && (info.dwFileAttributes & KIND) == FILE_ATTRIBUTE_DIRECTORY &&
        is_where_named(*held, path))
        return FOLDER_HELD;
    CloseHandle(*held);
    *held = INVALID_HANDLE_VALUE;
    return FOLDER_ELSEWHERE;
}
