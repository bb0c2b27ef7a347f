// Installation: the target folder, what is accepted as one, its test and
// its creation, and the copying of the application files into it, made
// whole. It owns the staging and backup folders and the copying's journal.
// It knows the state record, the log and the record room; it knows nothing
// of the flow, of the run's mode or of exit codes: its work says why it
// failed, and the wizard decides what that means.
#ifndef CORVANE_INSTALL_H
#define CORVANE_INSTALL_H

#include "common/common.h"

// target_folder.cpp
// Why a folder is refused as the target; FOLDER_ACCEPTED when it is not.
enum FolderRefusal { FOLDER_ACCEPTED, FOLDER_NOT_FULL_PATH, FOLDER_TOO_LONG, FOLDER_NOT_IN_CODE_PAGE };
// folder = the typed text as the one full path every step uses, when it is
// one the copying can take: a full path with a folder name, short enough
// for every path the files take in it, and held exactly by the code page,
// in which the record and Program Manager take it. A short name would not
// do: the record must hold the name the user chose.
FolderRefusal AcceptTargetFolder(const WCHAR* typed, char* folder);
// Tells why `typed` is refused, in a box owned by `owner`.
void RefuseFolder(HWND owner, FolderRefusal refusal, const WCHAR* typed);
// Calls `visit` with each level of a full path in turn, in `level`, below
// its drive's root ("C:\Apps", then "C:\Apps\Corvane"), and whether it is
// the last: only the backslash separates levels, and the path is walked by
// character. The first call that returns text (why the walk stops) ends it
// there, and gives its text; null when none does.
const char* EachLevel(const char* folder, char* level, const char* (*visit)(const char* level, bool last));
// True when the folder and every level above it that is there already
// are safe from users who are not administrators; else tells which level
// is not, and why, in a box owned by the backdrop, and false.
bool FolderIsSafe(const char* folder);
// True when a full path names a folder that is there.
bool FolderExists(const char* path);
// `level`: a level of the target folder, not one of the copying's.
bool CreateFolder(const char* path, bool level);

// dir_create.cpp: DIRCREATE, which asks; and the level-by-level creation
// behind its "Create".
bool CreateTargetFolder();
// The creation, its failure told in a box owned by `owner`.
bool MakeTargetFolder(HWND owner);
INT_PTR CALLBACK SUCreateDirectory(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// copy_files.cpp: COPYFILES, the notice shown while the files are
// extracted. It ends with COPY_DONE when they are all in place and
// recorded, else with why the copying stopped, the files in place as they
// were.
enum CopyFailure {
    COPY_DONE = 0,
    COPY_FOLDER_REFUSED,   // no target folder the copying can take
    COPY_ARCHIVE_REFUSED,  // the archive or its code
    COPY_NO_FOLDER,        // the library finds no target folder
    COPY_DISK_FULL,
    COPY_FILE_IN_USE,      // a file of the set is held open
    COPY_FAILED,           // any other reason a file could not be written
};
// The text (texts.h) that tells a library result, and its argument, the
// number, for a result without a text of its own.
enum { UNZIP_NUMBER_CHARS = 12 };
UINT UnzipMessage(int result, WCHAR* number);
int ExtractFile(const char* folder, const char* member);
CopyFailure CopyAllFiles(const NoticeView& notice);
// True when a trial extraction of the first member refuses the archive or
// its code; false also when the trial cannot be made.
bool ArchiveRefused();
extern const WorkNotice CopyFilesNotice;

// staged_copy.cpp: the copying made whole. The members go to a staging
// folder inside the target folder; the commit moves the files in place
// aside and the new ones in; a journal lets the next start finish or undo
// a copying that was stopped.
struct Copying {
    char folder[PATH_CHARS];   // the target folder
    char staging[PATH_CHARS];  // where the members are extracted
    char backup[PATH_CHARS];   // where the files in place are moved aside
    HANDLE journal;            // held open while the copying runs
    // The target and staging folders, held while the members are
    // extracted into them, so that neither can be replaced meanwhile.
    HANDLE heldFolder, heldStaging;
};
// The folders' paths, nothing held, the journal not touched; false when
// they do not fit.
bool StagingPaths(const char* folder, Copying* copying);
// True when every path the files take in the folder, staged, fits a path
// buffer.
bool FolderTakesTheFiles(const char* folder);
// The journal written and an empty staging folder made; false, and
// nothing left, when that cannot be done.
bool BeginCopying(Copying& copying);
// What became of a commit. One that is not made is undone, its folders
// gone; or, where even that fails, left to the next start to finish.
enum CommitEnd {
    COMMITTED,
    NOT_COMMITTED_IN_USE,  // a file in place is held open and could not be moved aside
    NOT_COMMITTED,
};
CommitEnd CommitCopying(Copying& copying);
// After the commit and the record: the copying's folders and its journal
// removed.
void FinishCopying(Copying& copying);
// Before the commit: the staging and backup folders and the journal
// removed.
void AbandonCopying(Copying& copying);
// At every start: a copying that was stopped is finished or undone.
void RecoverCopying();
// For the removal: the copying's folders in `folder`, and a journal that
// names it, removed.
void ForgetCopying(const char* folder);

// setup_install.cpp: INSTALL, where the user confirms or edits the folder.
INT_PTR CALLBACK SetupInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
