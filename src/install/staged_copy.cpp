// The copying made whole: whatever stops it, a kill or a power cut
// included, the target folder ends up with the whole set of files that was
// there before or the whole new one.
//
// The members are extracted into a staging folder inside the target
// folder. Only when all of them are there does the commit begin: each file
// in place is moved aside into a backup folder and the new one moved in,
// renames on one volume. A journal in the Windows folder names the target
// folder and the phase. At every start the setup looks for it: a commit
// that had begun is finished (the whole new set was staged before it
// began), a staging that had not is undone.
//
// Order on the disk. The journal is written through and flushed before
// the staging folder is made. The library flushes each member and renames
// it into the staging folder written through, before it returns. Only
// then is the phase byte, in the journal's first sector, written through
// and flushed; one sector is written whole or not at all. Each move of the
// commit is written through. The record and the entry are flushed before
// the backup and staging folders go, and the journal goes last: the file
// system's own log keeps its changes to the folders in that order.
#include "install/install.h"
#include "record/record.h"
#include "unzip_request.h"

static const char JOURNAL_FILE[] = "QVN32.JNL";  // beside the record
static const char STAGING[] = "~SETUP.NEW";
static const char BACKUP[] = "~SETUP.OLD";
static_assert(sizeof STAGING == sizeof BACKUP, "the folders' paths are checked as one");

// The journal: the phase, a line end, the target folder and a line end.
enum Phase : char { STAGING_PHASE = 'S', COMMIT_PHASE = 'C' };
enum { JOURNAL_CHARS = 1 + 2 + PATH_CHARS + 2 };

// Where one file of the set is: in place, staged, and kept aside.
struct Places {
    char target[PATH_CHARS], staged[PATH_CHARS], kept[PATH_CHARS];
};

// Each path fits: FolderTakesTheFiles checked the longest of them.
static void places_of(const Copying& copying, const char* name, Places* places)
{
    JoinPath(places->target, copying.folder, name);
    JoinPath(places->staged, copying.staging, name);
    JoinPath(places->kept, copying.backup, name);
}

static bool is_file(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool move(const char* from, const char* to)
{
    if (MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH))
        return true;
    LogLine("Not moved: %s to %s (error %lu)", from, to, GetLastError());
    return false;
}

// Deletes the set's files and the library's temporary ones from a folder
// of the copying's own, then the folder. Nothing else is in it; if
// something is, it stays, and so does the folder.
static void remove_folder(const char* folder)
{
    char path[PATH_CHARS];
    for (const char* name : InstallFileList)
        if (JoinPath(path, folder, name))
            DeleteFileA(path);
    WIN32_FIND_DATAA entry;
    HANDLE search = JoinPath(path, folder, UNZIP_TEMPORARY_PATTERN) ? FindFirstFileA(path, &entry)
                                                                    : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (JoinPath(path, folder, entry.cFileName))
                DeleteFileA(path);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    if (RemoveDirectoryA(folder))
        LogLine("Folder removed: %s", folder);
}

static bool journal_path(char* path)
{
    return WindowsPath(JOURNAL_FILE, path);
}

bool StagingPaths(const char* folder, Copying* copying)
{
    lstrcpynA(copying->folder, folder, PATH_CHARS);
    return JoinPath(copying->staging, folder, STAGING) && JoinPath(copying->backup, folder, BACKUP);
}

// True when every path the library makes in the folder's staging folder
// fits a path buffer: the files' and that of its temporary file, the
// longest name. The library builds them itself, so a folder too long for
// them is refused before anything is extracted.
bool FolderTakesTheFiles(const char* folder)
{
    Copying copying;
    char path[PATH_CHARS], temporary[UNZIP_TEMPORARY_NAME_CHARS + 1];
    wsprintfA(temporary, UNZIP_TEMPORARY_NAME, 0ul);
    if (!StagingPaths(folder, &copying) || !JoinPath(path, copying.staging, temporary))
        return false;
    for (const char* name : InstallFileList)
        if (!JoinPath(path, copying.staging, name))
            return false;
    return true;
}

static bool set_phase(const Copying& copying, Phase phase)
{
    DWORD written;
    return SetFilePointer(copying.journal, 0, nullptr, FILE_BEGIN) == 0 &&
           WriteFile(copying.journal, &phase, 1, &written, nullptr) && written == 1 &&
           FlushFileBuffers(copying.journal);
}

bool BeginCopying(Copying& copying)
{
    char path[PATH_CHARS], text[JOURNAL_CHARS];
    if (!journal_path(path))
        return false;
    // Held open, and shared for reading only, until the copying ends: a
    // second setup started meanwhile leaves it alone.
    copying.journal = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (copying.journal == INVALID_HANDLE_VALUE) {
        LogLine("Journal not made: %s (error %lu)", path, GetLastError());
        return false;
    }
    DWORD length = static_cast<DWORD>(wsprintfA(text, "%c\r\n%s\r\n", STAGING_PHASE, copying.folder)), written;
    if (!WriteFile(copying.journal, text, length, &written, nullptr) || written != length ||
        !FlushFileBuffers(copying.journal)) {
        AbandonCopying(copying);
        return false;
    }
    // What a copying stopped before its journal could leave.
    remove_folder(copying.staging);
    remove_folder(copying.backup);
    if (!CreateDirectoryA(copying.staging, nullptr)) {
        LogLine("Folder not created: %s (error %lu)", copying.staging, GetLastError());
        AbandonCopying(copying);
        return false;
    }
    LogLine("Staging in %s", copying.staging);
    return true;
}

void AbandonCopying(Copying& copying)
{
    remove_folder(copying.staging);
    CloseHandle(copying.journal);
    copying.journal = INVALID_HANDLE_VALUE;
    char path[PATH_CHARS];
    if (journal_path(path) && DeleteFileA(path))
        LogLine("Journal removed: nothing of the copying was committed");
}

// Moves the staged files in, each file in place aside first. A file that
// is staged no more was moved in already; one that is kept aside already
// was moved aside. So it can go on from wherever it stopped. The bits of
// `movedIn` and `movedAside` tell, by the file's place in the list, what
// this pass did.
static bool move_in(const Copying& copying, unsigned* movedIn, unsigned* movedAside)
{
    for (int i = 0; i < INSTALL_FILES; ++i) {
        Places places;
        places_of(copying, InstallFileList[i], &places);
        if (!is_file(places.staged))
            continue;
        if (is_file(places.target)) {
            if (!CreateDirectoryA(copying.backup, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
            if (!move(places.target, places.kept))
                return false;
            *movedAside |= 1u << i;
        }
        if (!move(places.staged, places.target))
            return false;
        *movedIn |= 1u << i;
    }
    return true;
}

// Puts back what move_in did, last first.
static bool move_back(const Copying& copying, unsigned movedIn, unsigned movedAside)
{
    bool whole = true;
    for (int i = INSTALL_FILES - 1; i >= 0; --i) {
        Places places;
        places_of(copying, InstallFileList[i], &places);
        if (movedIn & (1u << i))
            whole = move(places.target, places.staged) && whole;
        if (movedAside & (1u << i))
            whole = move(places.kept, places.target) && whole;
    }
    return whole;
}

bool CommitCopying(Copying& copying)
{
    if (!set_phase(copying, COMMIT_PHASE)) {
        LogLine("Journal not written: error %lu", GetLastError());
        AbandonCopying(copying);
        return false;
    }
    unsigned movedIn = 0, movedAside = 0;
    if (move_in(copying, &movedIn, &movedAside)) {
        LogLine("Committed in %s", copying.folder);
        return true;
    }
    if (move_back(copying, movedIn, movedAside) && set_phase(copying, STAGING_PHASE)) {
        LogLine("The commit was undone: the files in %s are as they were", copying.folder);
        AbandonCopying(copying);
    } else {
        // Left to the next start, which finishes the commit.
        LogLine("The commit could not be undone; the next start of Setup finishes it");
        CloseHandle(copying.journal);
        copying.journal = INVALID_HANDLE_VALUE;
    }
    return false;
}

// The files are in place: the record and the entry, then the folders of
// the copying and the journal go.
void FinishCopying(Copying& copying)
{
    char executable[PATH_CHARS];
    JoinPath(executable, copying.folder, "QVN32.EXE");
    WriteInstallRecord(executable);
    WriteUninstallEntry(copying.folder);
    remove_folder(copying.backup);
    remove_folder(copying.staging);
    CloseHandle(copying.journal);
    copying.journal = INVALID_HANDLE_VALUE;
    char path[PATH_CHARS];
    if (journal_path(path))
        DeleteFileA(path);
}

// The journal's folder when it is one this setup could have written;
// false for anything else.
static bool read_journal(HANDLE journal, Copying* copying, Phase* phase)
{
    char text[JOURNAL_CHARS + 1];
    DWORD length;
    if (!ReadFile(journal, text, JOURNAL_CHARS, &length, nullptr) || length < 6 || text[1] != '\r' ||
        text[2] != '\n' || text[length - 2] != '\r' || text[length - 1] != '\n')
        return false;
    text[length - 2] = '\0';
    *phase = static_cast<Phase>(text[0]);
    const char* folder = text + 3;
    return (*phase == STAGING_PHASE || *phase == COMMIT_PHASE) && IsFullPath(folder) && FolderTakesTheFiles(folder) &&
           StagingPaths(folder, copying);
}

static HANDLE open_journal(char* path)
{
    if (!journal_path(path))
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
}

void RecoverCopying()
{
    char path[PATH_CHARS];
    Copying copying;
    copying.journal = open_journal(path);
    if (copying.journal == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            LogLine("Journal %s: another Setup is copying; left to it", path);
        return;
    }
    Phase phase;
    if (!read_journal(copying.journal, &copying, &phase)) {
        LogLine("Journal %s: not one of this Setup's; removed", path);
        CloseHandle(copying.journal);
        DeleteFileA(path);
        return;
    }
    // A drive that is not there now (a removable one) keeps its copying
    // for a start that can reach it.
    char root[4];
    lstrcpynA(root, copying.folder, sizeof root);
    if (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) {
        LogLine("Recovery: %s cannot be reached; the next start of Setup tries again", copying.folder);
        CloseHandle(copying.journal);
        return;
    }
    if (phase == STAGING_PHASE) {
        LogLine("Recovery: the copying into %s stopped before its commit, and is undone", copying.folder);
        AbandonCopying(copying);
        // A folder that a first installation made goes too; one that
        // holds anything stays.
        if (RemoveDirectoryA(copying.folder))
            LogLine("Folder removed: %s", copying.folder);
        return;
    }
    LogLine("Recovery: the copying into %s stopped in its commit, and is finished", copying.folder);
    unsigned movedIn = 0, movedAside = 0;
    char executable[PATH_CHARS];
    JoinPath(executable, copying.folder, "QVN32.EXE");
    bool moved = move_in(copying, &movedIn, &movedAside);
    if (moved && is_file(executable)) {
        FinishCopying(copying);
    } else if (moved) {
        // Nothing of it was there to move (the folder was deleted since):
        // no record may name it.
        LogLine("Recovery: %s holds no copy; nothing is recorded", copying.folder);
        AbandonCopying(copying);
    } else {
        LogLine("Recovery: the commit could not be finished; the next start of Setup tries again");
        CloseHandle(copying.journal);
    }
}

void ForgetCopying(const char* folder)
{
    Copying copying;
    if (!StagingPaths(folder, &copying))
        return;
    remove_folder(copying.staging);
    remove_folder(copying.backup);
    // A journal naming this folder would bring the removed files' record back.
    char path[PATH_CHARS];
    Copying named;
    Phase phase;
    HANDLE journal = open_journal(path);
    if (journal == INVALID_HANDLE_VALUE)
        return;
    bool ours = read_journal(journal, &named, &phase) && lstrcmpiA(named.folder, folder) == 0;
    CloseHandle(journal);
    if (ours && DeleteFileA(path))
        LogLine("Journal removed: %s", path);
}
