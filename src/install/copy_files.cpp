// COPYFILES: extracts the application files into the target folder, one
// call of the unzip library each, then writes the installation record.
#include "install/install.h"
#include "unzip_request.h"
#include "record/record.h"
#include "resource.h"

enum { LAST_MESSAGE = 50 };

// The library's texts by result; the empty ones have none.
static const char* const UnzipMessages[LAST_MESSAGE + 1] = {
    "", "", "Unexpected end of zip file", "Zip file structure invalid", "Out of memory", "Out of memory",
    "", "", "", "File not found", "", "All files are up to date.",
    "The same disk volume can not be used as both the source and destination",
    "", "", "", "", "", "", "", "", "", "", "", "",
    "Index out of bounds", "", "", "Error creating output file", "Error opening archive", "", "",
    "Error could not create target folder", "", "", "", "", "", "", "Bad CRC",
    "Application cancelled operation", "File skipped, encrypted", "File skipped, unknown compression method",
    "", "Bad or missing decrypt code", "Busy, can't enter now", "Can't extract a Volume ID item",
    "Command syntax error", "Operation cancelled", "Operation skipped", "Disk full",
};
static_assert(sizeof UnzipMessages / sizeof UnzipMessages[0] == 51, "one text per result 0 to 50");

static const char COPY_FAILED[] = "\t\tError copying file !\t\t";

// The text for a library result. The table has results 0 to 50; a failure
// (negative) is told by the text at its magnitude when there is one, so
// the user learns why the copying stopped; anything else by its number.
const char* UnzipMessageText(int result, char* buffer)
{
    if (result >= 0 && result <= LAST_MESSAGE)
        return UnzipMessages[result];
    if (result < 0 && result >= -LAST_MESSAGE && UnzipMessages[-result][0] != '\0')
        return UnzipMessages[-result];
    wsprintfA(buffer, "Unzip library error %d", result);
    return buffer;
}

// Extracts one member into folder. A nonzero result is shown in a box of
// its own, without an owner, and returned unchanged.
int ExtractFile(const char* folder, const char* member)
{
    UnzipRequest request = MakeUnzipRequest(State.ArchivePath, member, folder, State.DecryptCode);

    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    int result = dunzip(&request);
    SetCursor(previous);

    if (result != 0) {
        char buffer[UNZIP_TEXT_CHARS];
        ErrorBox(nullptr, UnzipMessageText(result, buffer));
    }
    return result;
}

// True when every path the library makes in the target folder fits a
// path buffer: the files' and that of its temporary file, the longest
// name. The library builds them itself, so a folder too long for them is
// refused before anything is extracted.
static bool paths_fit()
{
    char path[PATH_CHARS], temporary[UNZIP_TEMPORARY_NAME_CHARS + 1];
    wsprintfA(temporary, UNZIP_TEMPORARY_NAME, 0ul);
    if (!JoinPath(path, State.TargetFolder, temporary))
        return false;
    for (const char* name : InstallFileList)
        if (!JoinPath(path, State.TargetFolder, name))
            return false;
    return true;
}

// The copying: true when every file was processed and the record
// written, false when it stopped. Files extracted before a failure stay.
bool CopyAllFiles(HWND notice)
{
    if (!paths_fit()) {
        ErrorBox(notice, COPY_FAILED);
        return false;
    }
    HWND fileText = GetDlgItem(notice, IDC_FILE_TEXT);
    for (const char* name : InstallFileList) {
        SetWindowTextA(fileText, name);
        UpdateWindow(fileText);
        if (ExtractFile(State.TargetFolder, name) < 0) {
            ErrorBox(notice, COPY_FAILED);
            return false;
        }
    }

    char executable[PATH_CHARS];
    JoinPath(executable, State.TargetFolder, "QVN32.EXE");
    WriteInstallRecord(executable);
    WriteUninstallEntry(State.TargetFolder);
    return true;
}

static INT_PTR copy(HWND notice)
{
    return CopyAllFiles(notice) ? 0 : 1;
}

const WorkNotice CopyFiles = {copy, true};
