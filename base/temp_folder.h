// The one way to the temporary folder, and to private folders in it, for
// every program of the setup. An elevated or SYSTEM run trusts nothing in
// the temporary folder that it did not make there itself: what it makes
// goes into a folder made new, under a name nobody can foresee, that only
// SYSTEM and Administrators can write.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_TEMP_FOLDER_H
#define CORVANE_TEMP_FOLDER_H

#include "ansi_text.h"
#include "path_text.h"

// How the temporary folder was named in the code page.
enum TempFolderName {
    TEMP_AS_GIVEN,     // as the system gives it
    TEMP_SHORT_NAME,   // by its short name: the code page cannot hold its own
    TEMP_OF_WINDOWS,   // the Windows folder's Temp: the code page holds no name of the user's
    NO_TEMP_FOLDER,
};

// The temporary folder with its closing backslash, in a buffer of
// PATH_CHARS, and how it was named. Where the system has GetTempPath2W,
// SYSTEM gets a folder of its own from it, not the one every user may
// write. A user's folder the code page cannot name (a Polish user name on
// an English system, say) is taken by its short name, else the Windows
// folder's: both programs run elevated, and only ever make private
// folders there.
TempFolderName TempFolder(char* path);
// The choice itself, from the two folders as the system gives them.
TempFolderName ChooseTempFolder(const WCHAR* temp, const WCHAR* windows, char* path,
                                ShortNameLookup lookup = GetShortPathNameW);

// `digits` hexadecimal digits (lower case) from the system's random
// generator, and a terminator.
bool RandomDigits(char* text, int digits);
enum { NAME_DIGITS = 16 };  // the random part of a private folder's name

// A new folder in the temporary folder, named `prefix` and NAME_DIGITS
// random digits, never one that was there before; in an elevated or
// SYSTEM run, for SYSTEM and Administrators only.
bool MakePrivateFolder(const char* prefix, char* folder);

#endif
