// Installation: the target folder and the extraction of the application
// files into it.
#ifndef CORVANE_INSTALL_H
#define CORVANE_INSTALL_H

#include <windows.h>

enum { INSTALL_FILES = 7 };

// The application's files, in the order they are extracted.
extern const char* const InstallFileList[INSTALL_FILES];

// folder_exists.cpp
int FolderExists(const char* path);
int CreateFolder(const char* path);

// dir_create.cpp: the level-by-level creation behind "Create".
bool CreateTargetFolder();

// copy_files.cpp
enum { UNZIP_TEXT_CHARS = 48 };  // room for a text made for an unknown result
const char* UnzipMessageText(int result, char* buffer);
int ExtractFile(const char* folder, const char* member);
int CopyAllFiles(HWND dialog);

// The dialog procedures: INSTALL, DIRCREATE, COPYFILES.
INT_PTR CALLBACK SetupInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SUCreateDirectory(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CopyFiles(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
