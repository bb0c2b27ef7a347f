// A folder that a run works in, deleting or moving files there, must be
// the one its path names: an elevated run that followed a link someone
// planted would delete or move where that someone chose.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_HELD_FOLDER_H
#define CORVANE_HELD_FOLDER_H

#include <windows.h>

enum FolderHold {
    FOLDER_HELD,      // the folder itself, held
    FOLDER_MISSING,   // nothing of that name
    FOLDER_ELSEWHERE, // a link, a file, a folder reached through a link, or one that cannot be held
};

// Opens the folder of a full path ("C:\Apps") and holds it: while the
// handle is open, nobody can rename or delete it or put another in its
// place. Held only when it is no link or other reparse point and, where
// the system can tell, its final path is the named one.
FolderHold HoldFolder(const char* path, HANDLE* held);

#endif
