// Installation: the target folder and the extraction of the application
// files into it.
#ifndef CORVANE_INSTALL_H
#define CORVANE_INSTALL_H

#include "common/common.h"

// folder_exists.cpp
bool FolderExists(const char* path);
bool CreateFolder(const char* path);

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
// True when every path the files take in the folder fits a path buffer.
bool FolderTakesTheFiles(const char* folder);
int CopyAllFiles(HWND notice);
int TryArchive();
extern const WorkNotice CopyFiles;

// setup_install.cpp: INSTALL, where the user confirms or edits the folder.
INT_PTR CALLBACK SetupInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
