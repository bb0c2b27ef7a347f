// The installation record "QVN32.INI" in the Windows directory, the scan
// that reads it, and the path operations every step builds paths with.
#ifndef CORVANE_RECORD_H
#define CORVANE_RECORD_H

#include "common/common.h"

extern const char RECORD_FILE[];     // "QVN32.INI"
extern const char DEFAULT_FOLDER[];  // offered when nothing is installed

// paths.cpp
bool WindowsPath(const char* name, char* path);
void StripFileName(char* path);
bool IsFullPath(const char* path);
bool NormaliseFolder(const char* typed, char* folder);

// install_record.cpp
void ScanInstallation();
void WriteInstallRecord(const char* executablePath);

// uninstall_entry.cpp: the entry in the system's list of installed programs.
void WriteUninstallEntry(const char* folder);
void DeleteUninstallEntry();

// setup_scan.cpp: SETUPSCAN, the notice shown while the record is read.
extern const WorkNotice SetupScan;

#endif
