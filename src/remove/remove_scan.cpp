// REMOVESCAN: takes the installed copy off the machine while its notice is
// shown. Nothing is asked and nothing is reported; whatever cannot be
// removed stays, and the removal goes on.
#include <string.h>

#include "held_folder.h"
#include "install/install.h"
#include "progman/progman.h"
#include "record/record.h"
#include "remove/remove.h"

enum { REMOVE_SCAN_MILLISECONDS = 2000, KEY_NAME_CHARS = 256 };

// The index files the help viewer makes beside the help files.
static const char* const HelpIndexFileList[] = {"QVNTUTOR.GID", "QVNHELP.GID"};

// The application's settings files, found by pattern and kept only when
// their names end in the suffix (stored in lower case).
struct UserFilePattern {
    const char* pattern;
    const char* suffix;
};
static const UserFilePattern UserFilePatterns[] = {{"*.env", "_qvn.env"}, {"*.lst", "_qvn.lst"}};

static const char CLASS_KEY[] = "Corvane.Pro32";

// Read-only or in use, the file stays, and false tells so; a missing one
// is no failure.
static bool delete_file(const char* path)
{
    if (DeleteFileA(path)) {
        LogLine("Deleted %s", path);
        return true;
    }
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return true;
    LogLine("Not deleted: %s (error %lu)", path, error);
    return false;
}

// Deletes one file of the installation folder. A path that would not fit
// its buffer is skipped, never cut into another path.
static bool delete_installed(const char* name)
{
    char DeletePath[PATH_CHARS];
    return !JoinPath(DeletePath, State.InstalledFolder, name) || delete_file(DeletePath);
}

// The user's settings files in the installation folder, on a full
// uninstall only. The search's first entry counts like every other.
static bool delete_user_files()
{
    bool all = true;
    for (const UserFilePattern& user : UserFilePatterns) {
        char pattern[PATH_CHARS];
        if (!JoinPath(pattern, State.InstalledFolder, user.pattern))
            continue;
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA(pattern, &entry);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            // A folder of that name cannot be deleted as a file and stays.
            char path[PATH_CHARS];
            if (NameEndsWith(entry.cFileName, user.suffix) && JoinPath(path, State.InstalledFolder, entry.cFileName))
                all = delete_file(path) && all;
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return all;
}

// Deletes a key with everything under it. A key that has subkeys cannot be
// deleted on the NT family, and the class would silently stay; so the
// subkeys go first, deepest first. False when the key is still there.
static bool delete_key_tree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ENUMERATE_SUB_KEYS, &key) == ERROR_SUCCESS) {
        char child[KEY_NAME_CHARS];
        DWORD length = sizeof child;
        // Always the first: each one found is gone before the next look.
        while (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               delete_key_tree(key, child))
            length = sizeof child;
        RegCloseKey(key);
    }
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

RemovalFailure RemoveScan()
{
    bool all = true;

    // Only a full path names one place (a drive's root included): any
    // other would be resolved against wherever this process happens to
    // be, and the names looked for there. The folder is held while its
    // files go, so that nothing else can be put in its place, and nothing
    // is deleted in one that cannot be: a folder missing now may be made
    // again, as a link, the moment after. One that is a link, or is reached
    // through one, leads where someone else chose. This process's current
    // folder is left first, so that the folder can be removed.
    bool fullPath = IsFullPath(State.InstalledFolder);
    HANDLE held = INVALID_HANDLE_VALUE;
    FolderHold found = FOLDER_MISSING;
    if (fullPath) {
        char root[PATH_CHARS];
        lstrcpynA(root, State.InstalledFolder, 4);  // "C:\" of any folder on C:
        SetCurrentDirectoryA(root);
        found = HoldFolder(State.InstalledFolder, &held);
    }
    bool elsewhere = found == FOLDER_ELSEWHERE, hasFolder = found == FOLDER_HELD;
    if (elsewhere)
        LogLine(LEFT_ALONE, State.InstalledFolder);  // and nothing in it is deleted
    const RecordValues& record = State.InstallRecord;
    // The shareware edition installs the same seven files as the release one.
    if ((record.sharewareEdition || record.releaseEdition) && hasFolder) {
        // UNINSTAL.EXE may be the program that started this removal and
        // waits for it; it goes itself once it has ended.
        for (const char* name : InstallFileList)
            if (!delete_installed(name) && strcmp(name, "UNINSTAL.EXE") != 0)
                all = false;
        for (const char* name : HelpIndexFileList)
            all = delete_installed(name) && all;
    }

    if (State.RemoveGroupToo) {
        if (hasFolder)
            all = delete_user_files() && all;
        char recordFile[PATH_CHARS];
        if (WindowsPath(RECORD_FILE, recordFile))
            all = delete_file(recordFile) && all;
        DeleteUninstallEntry();
    }

    ProgmanRemoveItems(State.RemoveGroupToo);
    RemoveStartMenuGroup(State.RemoveGroupToo);

    // Only an empty folder goes. A copying stopped there leaves nothing
    // behind either; a journal naming a folder that is gone records
    // nothing when the next start finds it.
    if (hasFolder) {
        ForgetCopying(State.InstalledFolder);
        CloseHandle(held);
        if (RemoveFolder(State.InstalledFolder))
            LogLine("Folder removed: %s", State.InstalledFolder);
    }

    if (delete_key_tree(HKEY_CLASSES_ROOT, CLASS_KEY))  // a missing key is fine
        LogLine("Class key removed: HKEY_CLASSES_ROOT\\%s", CLASS_KEY);

    return elsewhere ? REMOVAL_FOLDER_ELSEWHERE : all ? REMOVED_ALL : REMOVAL_FILE_STAYED;
}

static INT_PTR remove_scan(const NoticeView&)
{
    return RemoveScan();
}

const WorkNotice RemoveScanNotice = {remove_scan, false, REMOVE_SCAN_MILLISECONDS};
