// COPYFILES: extracts the application files into the target folder, one
// call of the unzip library each, commits them whole and records the
// installation.
#include "install/install.h"
#include "record/record.h"
#include "unzip_request.h"
#include "temp_folder.h"
#include "texts.h"

enum { LAST_MESSAGE = 50 };
// The library's failures, by the index of their text, that tell a
// deployment tool different things.
enum {
    UNEXPECTED_END = 2, BAD_STRUCTURE = 3, MEMBER_NOT_FOUND = 9, CANNOT_CREATE = 28, CANNOT_OPEN = 29,
    NO_TARGET_FOLDER = 32, BAD_CRC = 39, ENCRYPTED = 41, UNKNOWN_METHOD = 42, BAD_CODE = 44, DISK_FULL = 50,
};

// The text for a library result: the string tables hold the library's
// texts by result, 0 to 50, and a result without one has none. A failure
// (negative) is told by the text at its magnitude when there is one, so
// the user learns why the copying stopped; anything else by its number.
UINT UnzipMessage(int result, WCHAR* number)
{
    WCHAR text[2];
    number[0] = L'\0';
    if (result >= 0 && result <= LAST_MESSAGE)
        return result;
    if (result < 0 && result >= -LAST_MESSAGE && (LoadText(-result, text, 2, ENGLISH), text[0] != L'\0'))
        return -result;
    wsprintfW(number, L"%d", result);
    return IDS_UNZIP_ERROR;
}

// The size of a file, for the log; -1 when it cannot be had. Files of
// 2 GiB and more are not what the setup installs.
static long size_of(const char* folder, const char* name)
{
    char path[PATH_CHARS];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!JoinPath(path, folder, name) || !GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return static_cast<long>(data.nFileSizeLow);
}

// Extracts one member into folder. A nonzero result is shown in a box of
// its own, without an owner, and returned unchanged.
int ExtractFile(const char* folder, const char* member)
{
    UnzipRequest request = MakeUnzipRequest(State.ArchivePath, member, folder, State.DecryptCode);

    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    int result = dunzip(&request);
    SetCursor(previous);

    LogLine("Extracted %s: result %d, %ld bytes", member, result, result == 0 ? size_of(folder, member) : 0L);
    if (result != 0) {
        WCHAR number[UNZIP_NUMBER_CHARS];
        ErrorBox(nullptr, UnzipMessage(result, number), number);
    }
    return result;
}

// Waits for each file of the set in the folder that another program
// holds open, as the run waits for a file in use (FileTries): a file held
// could not be moved aside, and the copying is not begun until none is.
// False when the run gives up on one.
static bool all_free(const char* folder)
{
    for (const char* name : InstallFileList) {
        char path[PATH_CHARS];
        FileTries tries;
        while (JoinPath(path, folder, name) && HeldOpen(path))
            if (!tries.Again(path, ERROR_SHARING_VIOLATION))
                return false;
    }
    return true;
}

// Why a failed extraction stopped the copying.
static CopyFailure failure_of(int result, const char* folder, const char* name)
{
    switch (-result) {
    case UNEXPECTED_END: case BAD_STRUCTURE: case MEMBER_NOT_FOUND: case CANNOT_OPEN: case BAD_CRC: case ENCRYPTED:
    case UNKNOWN_METHOD: case BAD_CODE:
        return COPY_ARCHIVE_REFUSED;
    case NO_TARGET_FOLDER:
        return COPY_NO_FOLDER;
    case DISK_FULL:
        return COPY_DISK_FULL;
    case CANNOT_CREATE: {
        char path[PATH_CHARS];
        return JoinPath(path, folder, name) && HeldOpen(path) ? COPY_FILE_IN_USE : COPY_FAILED;
    }
    }
    return COPY_FAILED;
}

// Tries the archive and its code on the first member, extracted into a
// private folder of the temporary folder and removed again. A trial that
// cannot be made, or fails for a reason of its own folder's, refuses
// nothing.
bool ArchiveRefused()
{
    char folder[PATH_CHARS];
    if (!MakePrivateFolder("CorvaneTrial-", folder))
        return false;
    if (!FolderTakesTheFiles(folder)) {
        RemoveDirectoryA(folder);
        return false;
    }
    LogLine("The archive and its code are tried in %s", folder);
    const char* member = InstallFileList[0];
    int result = ExtractFile(folder, member);
    char file[PATH_CHARS];
    if (JoinPath(file, folder, member))
        DeleteFileA(file);
    RemoveDirectoryA(folder);
    return result < 0 && failure_of(result, folder, member) == COPY_ARCHIVE_REFUSED;
}

// The copying, staged and committed whole, then recorded.
CopyFailure CopyAllFiles(const NoticeView& notice)
{
    Copying copying;
    if (!FolderTakesTheFiles(State.TargetFolder) || !StagingPaths(State.TargetFolder, &copying)) {
        ErrorBox(notice.dialog, IDS_COPY_FAILED);
        return COPY_FOLDER_REFUSED;
    }
    // A file of the set that another program holds open (the application
    // running, say) could not be moved aside: the copying waits for it,
    // and stops before it begins when the run gives up.
    if (!all_free(State.TargetFolder)) {
        ErrorBox(notice.dialog, IDS_COPY_FAILED);
        return COPY_FILE_IN_USE;
    }
    if (!BeginCopying(copying)) {
        ErrorBox(notice.dialog, IDS_COPY_FAILED);
        return COPY_FAILED;
    }
    for (const char* name : InstallFileList) {
        notice.ShowItem(name);
        int result = ExtractFile(copying.staging, name);
        if (result < 0) {
            AbandonCopying(copying);
            ErrorBox(notice.dialog, IDS_COPY_FAILED);
            return failure_of(result, copying.staging, name);
        }
    }
    CommitEnd commit = CommitCopying(copying);
    if (commit != COMMITTED) {
        ErrorBox(notice.dialog, IDS_COPY_FAILED);
        return commit == NOT_COMMITTED_IN_USE ? COPY_FILE_IN_USE : COPY_FAILED;
    }
    // The application's program was just moved in, so the record is
    // written; whether the system let it be, the log says.
    RecordInstallation(copying.folder);
    FinishCopying(copying);
    return COPY_DONE;
}

static INT_PTR copy(const NoticeView& notice)
{
    return CopyAllFiles(notice);
}

enum { COPY_MILLISECONDS = 0 };  // the copying takes what it takes
const WorkNotice CopyFilesNotice = {copy, true, COPY_MILLISECONDS};
