// The copying made whole: whatever stops it, a kill or a power cut
// included, the target folder ends up with the whole set of files that was
// there before or the whole new one.
//
// The members are extracted into a staging folder inside the target
// folder. Only when all of them are there does the commit begin: each file
// in place is moved aside into a backup folder and the new one moved in,
// renames on one volume. A journal in the Windows folder names the target
// folder, its volume and the phase. At every start the setup looks for it:
// a commit that had begun is finished (the whole new set was staged before
// it began), a staging that had not is undone.
//
// Order on the disk. The journal is written through and flushed before
// the staging folder is made. The library flushes each member and renames
// it into the staging folder written through, before it returns. Only
// then is the phase byte, in the journal's first sector, written through
// and flushed; one sector is written whole or not at all. Each move of the
// commit is written through. The record and the entry are flushed before
// the backup and staging folders go, and the journal goes last: the file
// system's own log keeps its changes to the folders in that order.
//
// The run may be SYSTEM's, in a folder that others can write. So the
// staging and backup folders are always made new, a leftover of that name
// going only when it is a plain folder holding nothing but what a copying
// leaves; and every folder the copying moves or deletes files in is held
// and checked to be where its path says, not reached through a link.
#include "held_folder.h"
#include "install/install.h"
#include "record/record.h"
#include "unzip_request.h"

static const char JOURNAL_FILE[] = "QVN32.JNL";  // beside the record
static const char STAGING[] = "~SETUP.NEW";
static const char BACKUP[] = "~SETUP.OLD";
static_assert(sizeof STAGING == sizeof BACKUP, "the folders' paths are checked as one");

// The journal: the phase, the target folder's volume (its serial number
// in eight hexadecimal digits) and the target folder, each with a line
// end.
enum Phase : char { STAGING_PHASE = 'S', COMMIT_PHASE = 'C' };
enum { SERIAL_DIGITS = 8, FOLDER_AT = 1 + 2 + SERIAL_DIGITS + 2, JOURNAL_CHARS = FOLDER_AT + PATH_CHARS + 2 };

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

// How a move or delete waits for a file another program holds: as the
// run waits for a file in use, asking a person; or only for a moment,
// where no one can be asked (at the start, or undoing a commit).
enum Waiting { FOR_A_MOMENT, AS_THE_RUN_WAITS };

// 0 when the file moved, else the system's error code.
static DWORD move(const char* from, const char* to, Waiting waiting)
{
    FileTries tries;
    Patience moment(MOMENT_MS);
    while (!MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        if (waiting == AS_THE_RUN_WAITS ? tries.Again(from, error) : moment.Again(from, error))
            continue;
        LogLine("Not moved: %s to %s (error %lu)", from, to, error);
        return error;
    }
    return 0;
}

// Holds a folder the copying works in, and logs it when it leads
// elsewhere.
static FolderHold hold(const char* folder, HANDLE* held)
{
    FolderHold found = HoldFolder(folder, held);
    if (found == FOLDER_ELSEWHERE)
        LogLine(LEFT_ALONE, folder);
    return found;
}

static bool same_name(const char* name, const char* other, int length)
{
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, length, other, length) == CSTR_EQUAL;
}

// What a copying leaves in its folders: files of the set, and the
// library's temporary ones ("~dz" and eight digits ".tmp"). Plain files
// only: no folder, no link.
static bool left_by_copying(const WIN32_FIND_DATAA& entry)
{
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    const char* name = entry.cFileName;
    for (const char* file : InstallFileList)
        if (lstrcmpiA(name, file) == 0)
            return true;
    int length = lstrlenA(name);
    return length == UNZIP_TEMPORARY_NAME_CHARS && same_name(name, UNZIP_TEMPORARY_PATTERN, 3) &&
           same_name(name + length - 4, UNZIP_TEMPORARY_PATTERN + 4, 4);
}

// Goes through a folder's entries, "." and ".." left out: with `remove`,
// deleting each; else true when every one is left by a copying.
static bool each_left_by_copying(const char* folder, bool remove)
{
    char path[PATH_CHARS];
    WIN32_FIND_DATAA entry;
    HANDLE search = JoinPath(path, folder, "*") ? FindFirstFileA(path, &entry) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool ours = true;
    do {
        if (lstrcmpA(entry.cFileName, ".") == 0 || lstrcmpA(entry.cFileName, "..") == 0)
            continue;
        Patience moment(MOMENT_MS);
        if (remove && JoinPath(path, folder, entry.cFileName))
            while (!DeleteFileA(path) && moment.Again(path, GetLastError()))
                ;  // a scan of the file, waited out
        ours = ours && left_by_copying(entry);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return ours;
}

// Removes a folder of the copying's own, with what a copying leaves in it.
// True when it is gone. One that leads elsewhere, or holds anything else,
// is left whole.
static bool remove_folder(const char* folder)
{
    HANDLE held;
    FolderHold found = hold(folder, &held);
    if (found != FOLDER_HELD)
        return found == FOLDER_MISSING;
    bool ours = each_left_by_copying(folder, false);
    if (ours)
        each_left_by_copying(folder, true);
    else
        LogLine("Left alone: %s holds what Setup did not put there", folder);
    CloseHandle(held);
    if (!ours || !RemoveFolder(folder))
        return false;
    LogLine("Folder removed: %s", folder);
    return true;
}

// The serial number of the volume a folder's drive holds now; false when
// the drive cannot be reached.
static bool volume_of(const char* folder, DWORD* serial)
{
    char root[4];
    lstrcpynA(root, folder, sizeof root);
    return GetVolumeInformationA(root, nullptr, 0, serial, nullptr, nullptr, nullptr, 0);
}

static bool journal_path(char* path)
{
    return WindowsPath(JOURNAL_FILE, path);
}

bool StagingPaths(const char* folder, Copying* copying)
{
    copying->heldFolder = copying->heldStaging = INVALID_HANDLE_VALUE;
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

// A name of the copying's folders already there, from a copying stopped
// before its journal or put there by someone, goes only when it is a
// plain folder of what a copying leaves; then the folder is made new.
static bool make_new(const char* folder)
{
    return remove_folder(folder) && CreateFolder(folder, false);
}

static void close_held(HANDLE* held)
{
    if (*held != INVALID_HANDLE_VALUE)
        CloseHandle(*held);
    *held = INVALID_HANDLE_VALUE;
}

// Lets go of the folders held while the members were extracted.
static void let_go(Copying& copying)
{
    close_held(&copying.heldFolder);
    close_held(&copying.heldStaging);
}

bool BeginCopying(Copying& copying)
{
    char path[PATH_CHARS], text[JOURNAL_CHARS];
    DWORD serial;
    if (!journal_path(path) || hold(copying.folder, &copying.heldFolder) != FOLDER_HELD)
        return false;
    if (!volume_of(copying.folder, &serial)) {
        let_go(copying);
        return false;
    }
    // Held open, and shared for reading only, until the copying ends: a
    // second setup started meanwhile leaves it alone.
    copying.journal = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (copying.journal == INVALID_HANDLE_VALUE) {
        LogLine("Journal not made: %s (error %lu)", path, GetLastError());
        let_go(copying);
        return false;
    }
    DWORD length = static_cast<DWORD>(wsprintfA(text, "%c\r\n%08lx\r\n%s\r\n", STAGING_PHASE,
                                                static_cast<unsigned long>(serial), copying.folder)),
          written;
    if (!WriteFile(copying.journal, text, length, &written, nullptr) || written != length ||
        !FlushFileBuffers(copying.journal) || !make_new(copying.staging) || !make_new(copying.backup) ||
        hold(copying.staging, &copying.heldStaging) != FOLDER_HELD) {
        AbandonCopying(copying);
        return false;
    }
    LogLine("Staging in %s", copying.staging);
    return true;
}

void AbandonCopying(Copying& copying)
{
    let_go(copying);
    remove_folder(copying.staging);
    remove_folder(copying.backup);
    CloseHandle(copying.journal);
    copying.journal = INVALID_HANDLE_VALUE;
    char path[PATH_CHARS];
    if (journal_path(path) && DeleteFileA(path))
        LogLine("Journal removed: nothing of the copying was committed");
}

// The folders the commit moves files between, held while it does so, each
// where its path says. A staging folder gone has nothing left to move in;
// a backup folder gone (a start stopped while removing the folders) is made
// again. False, and nothing held, when one cannot be held.
enum { TARGET, STAGED, KEPT, PLACES };
static void release(HANDLE held[PLACES])
{
    for (int i = 0; i < PLACES; ++i)
        close_held(&held[i]);
}

static bool hold_places(const Copying& copying, HANDLE held[PLACES])
{
    const char* const folders[PLACES] = {copying.folder, copying.staging, copying.backup};
    for (int i = 0; i < PLACES; ++i)
        held[i] = INVALID_HANDLE_VALUE;
    for (int i = 0; i < PLACES; ++i) {
        FolderHold found = hold(folders[i], &held[i]);
        if (found == FOLDER_MISSING && i == KEPT && CreateDirectoryA(folders[i], nullptr))
            found = hold(folders[i], &held[i]);
        if (found != FOLDER_HELD && !(found == FOLDER_MISSING && i == STAGED)) {
            release(held);
            return false;
        }
    }
    return true;
}

// Moves the staged files in, each file in place aside first. A file that
// is staged no more was moved in already; one that is kept aside already
// was moved aside. So it can go on from wherever it stopped. The bits of
// `movedIn` and `movedAside` tell, by the file's place in the list, what
// this pass did.
enum MoveEnd { MOVED_IN, HELD_IN_PLACE, NOT_MOVED };
static MoveEnd move_in(const Copying& copying, unsigned* movedIn, unsigned* movedAside, Waiting waiting)
{
    for (int i = 0; i < INSTALL_FILES; ++i) {
        Places places;
        places_of(copying, InstallFileList[i], &places);
        if (!IsFile(places.staged))
            continue;
        if (IsFile(places.target)) {
            if (DWORD error = move(places.target, places.kept, waiting))
                return InUseError(places.target, error) ? HELD_IN_PLACE : NOT_MOVED;
            *movedAside |= 1u << i;
        }
        if (DWORD error = move(places.staged, places.target, waiting))
            return InUseError(places.staged, error) ? HELD_IN_PLACE : NOT_MOVED;
        *movedIn |= 1u << i;
    }
    return MOVED_IN;
}

// Puts back what move_in did, last first.
static bool move_back(const Copying& copying, unsigned movedIn, unsigned movedAside)
{
    bool whole = true;
    for (int i = INSTALL_FILES - 1; i >= 0; --i) {
        Places places;
        places_of(copying, InstallFileList[i], &places);
        if (movedIn & (1u << i))
            whole = !move(places.target, places.staged, FOR_A_MOMENT) && whole;
        if (movedAside & (1u << i))
            whole = !move(places.kept, places.target, FOR_A_MOMENT) && whole;
    }
    return whole;
}

CommitEnd CommitCopying(Copying& copying)
{
    HANDLE held[PLACES];
    if (!hold_places(copying, held)) {
        AbandonCopying(copying);
        return NOT_COMMITTED;
    }
    let_go(copying);  // held again, with the backup folder
    if (!set_phase(copying, COMMIT_PHASE)) {
        LogLine("Journal not written: error %lu", GetLastError());
        release(held);
        AbandonCopying(copying);
        return NOT_COMMITTED;
    }
    unsigned movedIn = 0, movedAside = 0;
    MoveEnd moved = move_in(copying, &movedIn, &movedAside, AS_THE_RUN_WAITS);
    bool undone = moved != MOVED_IN && move_back(copying, movedIn, movedAside) && set_phase(copying, STAGING_PHASE);
    release(held);
    if (moved == MOVED_IN) {
        LogLine("Committed in %s", copying.folder);
        return COMMITTED;
    }
    if (undone) {
        LogLine("The commit was undone: the files in %s are as they were", copying.folder);
        AbandonCopying(copying);
    } else {
        // Left to the next start, which finishes the commit.
        LogLine("The commit could not be undone; the next start of Setup finishes it");
        CloseHandle(copying.journal);
        copying.journal = INVALID_HANDLE_VALUE;
    }
    return moved == HELD_IN_PLACE ? NOT_COMMITTED_IN_USE : NOT_COMMITTED;
}

// The files are in place and recorded: the folders of the copying and the
// journal go.
void FinishCopying(Copying& copying)
{
    let_go(copying);
    remove_folder(copying.backup);
    remove_folder(copying.staging);
    CloseHandle(copying.journal);
    copying.journal = INVALID_HANDLE_VALUE;
    char path[PATH_CHARS];
    if (journal_path(path))
        DeleteFileA(path);
}

static bool is_hex(const char* text, int digits)
{
    for (int i = 0; i < digits; ++i)
        if (!((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'a' && text[i] <= 'f')))
            return false;
    return true;
}

// The journal's folder and volume when it is one this setup could have
// written; false for anything else.
static bool read_journal(HANDLE journal, Copying* copying, Phase* phase, DWORD* serial)
{
    char text[JOURNAL_CHARS + 1];
    DWORD length;
    if (!ReadFile(journal, text, JOURNAL_CHARS, &length, nullptr) || length < FOLDER_AT + 5 ||
        text[length - 2] != '\r' || text[length - 1] != '\n')
        return false;
    text[length - 2] = '\0';
    *phase = static_cast<Phase>(text[0]);
    *serial = 0;
    for (int i = 3; i < 3 + SERIAL_DIGITS; ++i)
        *serial = *serial << 4 | static_cast<DWORD>(text[i] <= '9' ? text[i] - '0' : text[i] - 'a' + 10);
    const char* folder = text + FOLDER_AT;
    return (*phase == STAGING_PHASE || *phase == COMMIT_PHASE) && text[1] == '\r' && text[2] == '\n' &&
           is_hex(text + 3, SERIAL_DIGITS) && text[FOLDER_AT - 2] == '\r' && text[FOLDER_AT - 1] == '\n' &&
           IsFullPath(folder) && FolderTakesTheFiles(folder) && StagingPaths(folder, copying);
}

static HANDLE open_journal(char* path)
{
    if (!journal_path(path))
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
}

// Why a journal is kept for a later start, or null when this one can act
// on it: its drive is not there now (a removable one), holds another
// volume than the copying's, or its folder leads elsewhere.
static const char* kept_for_later(const Copying& copying, DWORD journalSerial)
{
    DWORD serial;
    HANDLE held;
    if (!volume_of(copying.folder, &serial))
        return "cannot be reached";
    if (serial != journalSerial)
        return "is on another volume than the copying's";
    if (hold(copying.folder, &held) == FOLDER_ELSEWHERE)
        return "leads elsewhere";
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    return nullptr;
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
    DWORD serial;
    if (!read_journal(copying.journal, &copying, &phase, &serial)) {
        LogLine("Journal %s: not one of this Setup's; removed", path);
        CloseHandle(copying.journal);
        DeleteFileA(path);
        return;
    }
    if (const char* why = kept_for_later(copying, serial)) {
        LogLine("Recovery: %s %s; the next start of Setup tries again", copying.folder, why);
        CloseHandle(copying.journal);
        return;
    }
    if (phase == STAGING_PHASE) {
        LogLine("Recovery: the copying into %s stopped before its commit, and is undone", copying.folder);
        AbandonCopying(copying);
        // A folder that a first installation made goes too; one that
        // holds anything stays.
        if (RemoveFolder(copying.folder))
            LogLine("Folder removed: %s", copying.folder);
        return;
    }
    LogLine("Recovery: the copying into %s stopped in its commit, and is finished", copying.folder);
    unsigned movedIn = 0, movedAside = 0;
    HANDLE held[PLACES];
    bool gone = GetFileAttributesA(copying.folder) == INVALID_FILE_ATTRIBUTES;
    bool moved = !gone && hold_places(copying, held);
    if (moved) {
        moved = move_in(copying, &movedIn, &movedAside, FOR_A_MOMENT) == MOVED_IN;
        release(held);
    }
    if (moved && RecordInstallation(copying.folder)) {
        FinishCopying(copying);
    } else if (moved || gone) {
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
    DWORD serial;
    HANDLE journal = open_journal(path);
    if (journal == INVALID_HANDLE_VALUE)
        return;
    bool ours = read_journal(journal, &named, &phase, &serial) && lstrcmpiA(named.folder, folder) == 0;
    CloseHandle(journal);
    if (ours && DeleteFileA(path))
        LogLine("Journal removed: %s", path);
}
