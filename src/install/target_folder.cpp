// The target folder: what is accepted as one, whether it is there, and the
// making of one level of it.
#include "install/install.h"
#include "record/record.h"
#include "rights.h"

FolderRefusal AcceptTargetFolder(const char* typed, char* folder)
{
    if (!NormaliseFolder(typed, folder))
        return FOLDER_NOT_FULL_PATH;
    return FolderTakesTheFiles(folder) ? FOLDER_ACCEPTED : FOLDER_TOO_LONG;
}

// Every caller passes a full path, so nothing here depends on the
// process's current drive or folder.
bool FolderExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const char* path, bool first)
{
    // The first level made is the installation's own, under a drive's
    // root or a folder that may let every user in: it gets rights like
    // Program Files', and the levels below it take them.
    if (!(first ? CreateFolderWithRights(path, LIKE_PROGRAM_FILES) : CreateDirectoryA(path, nullptr))) {
        LogLine("Folder not created: %s (error %lu)", path, GetLastError());
        return false;
    }
    LogLine("Folder created: %s", path);
    return true;
}
