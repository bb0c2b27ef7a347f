// The target folder: what is accepted as one, whether it is there, and the
// making of one level of it.
#include "ansi_text.h"
#include "install/install.h"
#include "record/record.h"
#include "rights.h"
#include "texts.h"

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
        ErrorBox(owner, IDS_FOLDER_NOT_FULL);
        break;
    case FOLDER_TOO_LONG:
        ErrorBox(owner, IDS_FOLDER_TOO_LONG);
        break;
    case FOLDER_NOT_IN_CODE_PAGE: {
        // The name is cut where a path ends, so that the text fits its box.
        WCHAR characters[64];
        CharactersNotHeld(typed, characters, 64);
        ErrorBox(owner, IDS_FOLDER_NOT_HELD, typed, characters);
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
    UINT words = IDS_OTHERS_MAY;
    while (words < IDS_OTHERS_MAY + OTHERS_MAY_WORDS - 1 && OthersMayWords[words - IDS_OTHERS_MAY] != why)
        ++words;
    WCHAR wideFolder[PATH_CHARS], wideLevel[PATH_CHARS];
    ToWide(folder, wideFolder, PATH_CHARS);
    ToWide(level, wideLevel, PATH_CHARS);
    ErrorBox(State.backdrop, IDS_FOLDER_UNSAFE, wideFolder, MAKEINTRESOURCEW(words), wideLevel);
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
