// The installation record "QVN32.INI" in the Windows directory, the scan
// that reads it, and the path operations every step builds paths with.
#ifndef CORVANE_RECORD_H
#define CORVANE_RECORD_H

#include <windows.h>

extern const char RECORD_FILE[];     // "QVN32.INI"
extern const char DEFAULT_FOLDER[];  // offered when nothing is installed

// paths.cpp
bool WindowsPath(const char* name);
bool JoinPath(char* destination, const char* folder, const char* name);
void StripFileName(char* path);
bool IsFullPath(const char* path);
bool NormaliseFolder(const char* typed, char* folder);

// install_record.cpp
void ScanInstallation();
void WriteInstallRecord(const char* executablePath);

// setup_scan.cpp
INT_PTR CALLBACK SetupScan(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
