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
// Those rights as the security descriptor's text (SDDL) the folder is
// made with: its access list, which names no owner.
const char* FolderRightsText(FolderRights rights);

// What users who are not administrators may do to a folder that an
// installation goes into or lies under, told from its owner, its access
// list and its parent's: null when nothing, else the words that follow
// "users who are not administrators". Any account but SYSTEM,
// Administrators, TrustedInstaller and the one this process runs as
// counts as such a user; no access list at all lets everyone in. The
// `target` folder itself must also take no files from them.
// The words, one of these; the last for a folder that cannot be read, or
// leads elsewhere.
enum { OTHERS_MAY_WORDS = 5 };
extern const char* const OthersMayWords[OTHERS_MAY_WORDS];
const char* OthersMayChange(PSID owner, const ACL* dacl, const ACL* parentDacl, bool target);
// The same, read from the folder at a full path and the one above it. A
// drive's root counts only through what it lets others delete in it.
const char* OthersMayChangeFolder(const char* path, bool target);

// True when a file opened with READ_CONTROL is owned by SYSTEM, by
// Administrators (what an elevated process makes) or by the account this
// process runs as.
bool OwnerIsTrusted(HANDLE file);

#endif
