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

const char* EachLevel(const char* folder, char* level, const char* (*visit)(const char* level, bool last))
{
    const char* end = folder + 3;  // past "C:\\"
    while (*end != '\0') {
        end = LevelEnd(end);
        lstrcpynA(level, folder, static_cast<int>(end - folder) + 1);
        if (const char* stop = visit(level, *end == '\0'))
            return stop;
        if (*end != '\0')
            end = NextChar(end);  // past the backslash
    }
    return nullptr;
}

// A level that someone who is no administrator could rename away, and
// make again with programs of their own in it, would have SYSTEM run them
// for everyone: the installation's removal, its shortcuts. Only levels
// that are there are asked about; the root counts through the level below
// it, and what Setup makes is safe.
bool FolderIsSafe(const char* folder)
{
    char level[PATH_CHARS];
    const char* why = EachLevel(folder, level, [](const char* level, bool last) {
        return FolderExists(level) ? OthersMayChangeFolder(level, last) : nullptr;
    });
    if (!why)
        return true;
    static const char FORMAT[] = "Setup cannot install into %s:  users who are not administrators %s\n\n%s"
                                 "\n\nPlease choose a folder under Program Files.";
    char text[sizeof FORMAT + 3 * PATH_CHARS];
    wsprintfA(text, FORMAT, folder, why, level);
    ErrorBox(State.backdrop, text);
    return false;
}

// Every caller passes a full path, so nothing here depends on the
// process's current drive or folder.
bool FolderExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const char* path, bool level)
{
    // The levels made are the installation's own, under a drive's root or
    // a folder that may let every user in: each gets rights like Program
    // Files', as FolderIsSafe asks of them in every later run.
    if (!(level ? CreateFolderWithRights(path, LIKE_PROGRAM_FILES) : CreateDirectoryA(path, nullptr))) {
        LogLine("Folder not created: %s (error %lu)", path, GetLastError());
        return false;
    }
    LogLine("Folder created: %s", path);
    return true;
}
