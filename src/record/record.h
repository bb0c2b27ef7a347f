// The record of an installation: "QVN32.INI" in the Windows directory, the
// scan that reads it, the entry in the system's list of programs, and the
// path operations every step builds paths with. It knows the state record
// and the log; it knows nothing of the flow, of the run's mode or of the
// copying, and of the screen only SETUPSCAN's notice row.
#ifndef CORVANE_RECORD_H
#define CORVANE_RECORD_H

#include "common/common.h"

extern const char RECORD_FILE[];       // "QVN32.INI"
extern const char APPLICATION_FILE[];  // "QVN32.EXE", the program the record names
extern const char DEFAULT_FOLDER[];    // offered when nothing is installed

// paths.cpp
bool WindowsPath(const char* name, char* path);
void StripFileName(char* path);
bool IsFullPath(const char* path);
bool IsFile(const char* path);  // there, and no folder
bool NormaliseFolder(const char* typed, char* folder);

// install_record.cpp
void ScanInstallation();
// The record and the entry of the copy in `folder`, once its files are in
// place; false, and nothing written, when the folder does not hold the
// application.
bool RecordInstallation(const char* folder);

// uninstall_entry.cpp: the entry in the system's list of installed programs.
void WriteUninstallEntry(const char* folder);
void DeleteUninstallEntry();

// setup_scan.cpp: SETUPSCAN, the notice shown while the record is read.
extern const WorkNotice SetupScanNotice;

#endif
