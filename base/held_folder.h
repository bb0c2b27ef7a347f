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
// place, nor rename a folder above it, so that a path through it leads
// into it. Held only when it is no link or other reparse point and, where
// the system can tell, its final path is the named one. The handle may
// read the folder's owner and access list too. A `removable`
// hold may delete the folder too (DeleteHeld); another process that holds
// it without sharing that (one whose current folder it is) makes it
// FOLDER_ELSEWHERE. While a removable hold lasts, the folder cannot be
// held again, nor searched under Wine.
FolderHold HoldFolder(const char* path, HANDLE* held, bool removable = false);

// Deletes the folder of a full path, when it is empty, through a hold
// made for that and checked as above: never by its name alone, which
// someone could have made lead elsewhere the moment an earlier hold was
// let go. True when it is marked to go (see DeleteHeld).
bool RemoveFolder(const char* path);

// Deletes what a handle holds, a folder only when it is empty, through
// the handle, and lets go of it: never by its name, which someone could
// have made lead elsewhere the moment a hold was let go. The handle must
// have been opened with DELETE. True when it is marked to go: it goes
// once no other process holds it open either.
bool DeleteHeld(HANDLE held);

// The file a full path names, when it is a plain one with one name (no
// folder, link or other reparse point, no second name), deleted through
// the handle it was checked by: once no process runs it, and none holds
// it without sharing deletion. True when it is marked to go.
bool DeleteChecked(const char* path);
// True unless the system tells that the final path of an open file or
// folder is not the full path named: a link on the way led elsewhere.
// What it cannot tell, from a system that has the lookup, is refused.
bool IsWhereNamed(HANDLE handle, const WCHAR* path);

#endif
