// Who may write what an elevated or SYSTEM run makes, and what it finds.
// Such a run trusts nothing that a user who is not an administrator can
// write: what it makes gets rights of its own, and what it opens of
// another's is checked.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_RIGHTS_H
#define CORVANE_RIGHTS_H

#include <windows.h>

// True when the process has the Administrators group's rights: elevated,
// or SYSTEM.
bool RunsElevated();

enum FolderRights {
    ADMINISTRATORS_ONLY,  // SYSTEM and Administrators: the private folders
    LIKE_PROGRAM_FILES,   // the same, and Users may read and run
};
// Creates a folder. In an elevated run it gets these rights, protected
// from what its parent hands down, and hands them down itself; a run that
// is not elevated could not use such a folder, so it takes the parent's.
bool CreateFolderWithRights(const char* path, FolderRights rights);

// True when Users, Authenticated Users or Everyone may add, delete or
// replace what is in the folder, or change its rights.
bool UsersCanWrite(const char* path);
// The same, told from the folder's access list (null: none at all).
bool LetsUsersWrite(const ACL* dacl);

// True when a file opened with READ_CONTROL is owned by SYSTEM, by
// Administrators (what an elevated process makes) or by the account this
// process runs as.
bool OwnerIsTrusted(HANDLE file);

#endif
