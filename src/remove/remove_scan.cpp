// REMOVESCAN: takes the installed copy off the machine while its notice is
// shown. The program's files go together or not at all: a file another
// program holds is waited for, as the run waits for a file in use, and a
// removal that gives up on one removes nothing. After that nothing is
// asked and nothing is reported; whatever cannot be removed stays, and
// the removal goes on.

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

static bool missing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Read-only or in use past a moment, the file stays, and false tells so;
// a missing one is no failure.
static bool delete_file(const char* path)
{
    Patience moment(MOMENT_MS);
    while (!DeleteFileA(path)) {
        DWORD error = GetLastError();
        if (missing(error))
            return true;
        if (!moment.Again(path, error)) {
            LogLine("Not deleted: %s (error %lu)", path, error);
            return false;
        }
    }
    LogLine("Deleted %s", path);
    return true;
}

// The program's files that go together: the seven but UNINSTAL.EXE, which
// may be the program that started this removal and waits for it (it goes
// itself once it has ended), and the help viewer's index files.
enum { SET_FILES = INSTALL_FILES - 1 + 2 };
struct RemovedSet {
    char paths[SET_FILES][PATH_CHARS];
    HANDLE files[SET_FILES];
    int count;
};

// Marks a file to go, through a handle kept open, or takes the mark back.
static bool mark(HANDLE file, bool go)
{
    FILE_DISPOSITION_INFO disposition = {go};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Opens the file and marks it to go when the handle is closed: 0, or the
// system's error, the file left as it was. A missing file is no error.
static DWORD mark_to_go(const char* path, HANDLE* file)
{
    *file = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (*file == INVALID_HANDLE_VALUE)
        return missing(GetLastError()) ? 0 : GetLastError();
    if (mark(*file, true))
        return 0;
    // Denied for a running program: closed first, so that only others'
    // hold shows when it is looked at.
    DWORD error = GetLastError();
    CloseHandle(*file);
    *file = INVALID_HANDLE_VALUE;
    return error;
}

// The marks taken back, nothing deleted.
static void keep_all(RemovedSet& set, int marked)
{
    for (int i = 0; i < marked; ++i)
        if (set.files[i] != INVALID_HANDLE_VALUE) {
            mark(set.files[i], false);
            CloseHandle(set.files[i]);
        }
}

// Marks every file of the set to go, so that they go together once their
// handles are closed. One that another program holds is waited for, with
// no file marked meanwhile, and the marking begins again; one that cannot
// be deleted otherwise (read-only, say) stays, and false tells so. When
// the run gives up on a file in use, nothing is marked and `inUse` says so.
static bool mark_set(RemovedSet& set, bool* inUse)
{
    FileTries tries;
    *inUse = false;
    for (;;) {
        bool all = true;
        int i = 0;
        for (; i < set.count; ++i) {
            DWORD error = mark_to_go(set.paths[i], &set.files[i]);
            if (error == 0)
                continue;
            if (InUseError(set.paths[i], error))
                break;
            LogLine("Not deleted: %s (error %lu)", set.paths[i], error);
            all = false;
        }
        if (i == set.count)
            return all;
        keep_all(set, i);
        if (!tries.Again(set.paths[i], ERROR_SHARING_VIOLATION)) {
            *inUse = true;
            return false;
        }
    }
}

// The set goes: each marked file when its handle is closed.
static void delete_set(RemovedSet& set)
{
    for (int i = 0; i < set.count; ++i)
        if (set.files[i] != INVALID_HANDLE_VALUE) {
            CloseHandle(set.files[i]);
            LogLine("Deleted %s", set.paths[i]);
        }
}

// The set's paths in the installation folder. A path that would not fit
// its buffer is skipped, never cut into another path.
static void set_of(RemovedSet& set)
{
    set.count = 0;
    for (const char* name : InstallFileList)
        if (lstrcmpiA(name, "UNINSTAL.EXE") != 0 && JoinPath(set.paths[set.count], State.InstalledFolder, name))
            ++set.count;
    for (const char* name : HelpIndexFileList)
        if (JoinPath(set.paths[set.count], State.InstalledFolder, name))
            ++set.count;
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
        RemovedSet set;
        bool inUse;
        set_of(set);
        all = mark_set(set, &inUse);
        if (inUse) {
            LogLine("The removal stops: nothing was removed");
            CloseHandle(held);
            return REMOVAL_STOPPED_IN_USE;
        }
        delete_set(set);
        char uninstaller[PATH_CHARS];
        if (!JoinPath(uninstaller, State.InstalledFolder, "UNINSTAL.EXE") || DeleteFileA(uninstaller))
            LogLine("Deleted %s", uninstaller);
        else if (!missing(GetLastError()))
            LogLine("Not deleted: %s (error %lu); it goes itself once it has ended", uninstaller, GetLastError());
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
