// The one way to the temporary folder, and to private folders in it, for
// every program of the setup. An elevated or SYSTEM run trusts nothing in
// the temporary folder that it did not make there itself: what it makes
// goes into a folder made new, under a name nobody can foresee, that only
// SYSTEM and Administrators can write.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_TEMP_FOLDER_H
#define CORVANE_TEMP_FOLDER_H

#include "join_path.h"

// The temporary folder with its closing backslash, in a buffer of
// PATH_CHARS. Where the system has GetTempPath2A, SYSTEM gets a folder of
// its own from it, not the one every user may write.
bool TempFolder(char* path);

// `digits` hexadecimal digits (lower case) from the system's random
// generator, and a terminator.
bool RandomDigits(char* text, int digits);
enum { NAME_DIGITS = 16 };  // the random part of a private folder's name

// A new folder in the temporary folder, named `prefix` and NAME_DIGITS
// random digits, never one that was there before; in an elevated or
// SYSTEM run, for SYSTEM and Administrators only.
bool MakePrivateFolder(const char* prefix, char* folder);

#endif
