// The target folder: what is accepted as one, whether it is there, and the
// making of one level of it.
#include "ansi_text.h"
#include "install/install.h"
#include "record/record.h"
#include "rights.h"

FolderRefusal AcceptTargetFolder(const WCHAR* typed, char* folder)
{
    char text[PATH_CHARS];
    if (!ToCodePage(typed, text, PATH_CHARS))
        return FOLDER_NOT_IN_CODE_PAGE;
    if (!NormaliseFolder(text, folder))
        return FOLDER_NOT_FULL_PATH;
    return FolderTakesTheFiles(folder) ? FOLDER_ACCEPTED : FOLDER_TOO_LONG;
}

void RefuseFolder(HWND owner, FolderRefusal refusal, const WCHAR* typed)
{
    switch (refusal) {
    case FOLDER_ACCEPTED:
        break;
    case FOLDER_NOT_FULL_PATH:
        ErrorBox(owner, "Please type the folder as a full path that begins with a drive letter, for example\n\n"
                        "C:\\Program files\\Corvane Pro");
        break;
    case FOLDER_TOO_LONG:
        ErrorBox(owner, "The folder name is too long for the files that go into it.  Please type a shorter one.");
        break;
    case FOLDER_NOT_IN_CODE_PAGE: {
        // The name is cut where a path ends, so that the text fits its box.
        static const char FORMAT[] = "Setup cannot use the folder\n\n%.260s\n\nsince this system cannot hold these "
                                     "characters in a folder name:  %s\n\nPlease type another folder.";
        WCHAR format[sizeof FORMAT], characters[64], text[LOG_TEXT_CHARS / 3];
        ToWide(FORMAT, format, sizeof FORMAT);
        CharactersNotHeld(typed, characters, 64);
        wsprintfW(text, format, typed, characters);
        ErrorBox(owner, text);
        break;
    }
    }
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
