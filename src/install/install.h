// Installation: the target folder and the extraction of the application
// files into it.
#ifndef CORVANE_INSTALL_H
#define CORVANE_INSTALL_H

#include "common/common.h"

// folder_exists.cpp
bool FolderExists(const char* path);
// `first`: the first level of the target folder that is made.
bool CreateFolder(const char* path, bool first);

// dir_create.cpp: DIRCREATE, and the level-by-level creation behind "Create".
bool CreateTargetFolder();
// "Create": the creation, its failure told in a box owned by `owner`.
bool MakeTargetFolder(HWND owner);
INT_PTR CALLBACK SUCreateDirectory(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// copy_files.cpp: COPYFILES, the notice shown while the files are
// extracted; it ends with 0 when they are all in place, else with the
// RunResult of what stopped the copying.
enum { UNZIP_TEXT_CHARS = 48 };  // room for a text made for an unknown result
const char* UnzipMessageText(int result, char* buffer);
int ExtractFile(const char* folder, const char* member);
int CopyAllFiles(HWND notice);
int TryArchive();
extern const WorkNotice CopyFiles;

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
// The staged files moved in. False when the commit failed: it is undone,
// or, where even that fails, left to the next start to finish.
bool CommitCopying(Copying& copying);
// After the commit: the record and the entry written, the copying's
// folders and its journal removed.
void FinishCopying(Copying& copying);
// Before the commit: the staging folder and the journal removed.
void AbandonCopying(Copying& copying);
// At every start: a copying that was stopped is finished or undone.
void RecoverCopying();
// For the removal: the copying's folders in `folder`, and a journal that
// names it, removed.
void ForgetCopying(const char* folder);

// setup_install.cpp: INSTALL, where the user confirms or edits the folder.
INT_PTR CALLBACK SetupInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
