// The setup driver: process-wide state, start-up, the wizard flow, the
// backdrop window and what every dialog shares.
#ifndef CORVANE_DRIVER_H
#define CORVANE_DRIVER_H

#include <windows.h>

enum {
    FIELD_CHARS = 256,  // one command-line field, terminator included
    PATH_CHARS = 260,   // one path, terminator included
};

// The version this program installs.
enum { SETUP_MAJOR = 2, SETUP_MINOR = 0 };

// Results with which the dialogs end; the flow branches on them.
enum {
    END_NO = 0,            // Exit, Cancel, Resume, Edit..., Skip, Escape
    END_YES = 1,           // OK, Install, Create, Continue installation
    END_UNINSTALL = 2,     // Uninstall in SETUPINTRO, Remove in UNISTALL
    END_REMOVE_OLD = 1006, // Remove old copy in NOTICE1
};

// What the scan read from the installation record.
struct RecordValues {
    int sharewareEdition;
    int releaseEdition;
    int majorVersion;
    int minorVersion;
};

// The one state record of the process. Every step reads and writes its
// fields directly; nothing else in the program is mutable and global.
struct SetupState {
    HINSTANCE instance = nullptr;
    HWND backdrop = nullptr;        // owner of every dialog

    char ArchivePath[FIELD_CHARS] = {};   // or the word UNINSTALL
    char DecryptCode[FIELD_CHARS] = {};
    char TargetFolder[PATH_CHARS] = {};
    char InstalledFolder[PATH_CHARS] = {};
    char ScratchPath[PATH_CHARS] = {};    // shared work buffer; never kept
                                          // across a call into another step
    char CommandText[PATH_CHARS] = {};    // Program Manager commands; used
                                          // only by src/progman
    RecordValues InstallRecord = {};
    char GroupName[PATH_CHARS] = "Corvane";
    char ItemCaption[PATH_CHARS] = "Corvane Pro32";

    int IsInstalled = 0;     // the record names an install path
    int FolderReady = 0;     // the target folder exists or was created
    int Finished = 0;        // a terminal dialog was shown; the exit code
    int RemoveGroupToo = 0;  // the sweep is a full uninstall
};

extern SetupState State;

// command_line.cpp
const char* CommandTail(const char* commandLine);
void SplitCommandLine(const char* tail);
bool IsUninstallWord(const char* field);

// backdrop.cpp
BOOL RegisterBackdropClass(HINSTANCE instance);
BOOL CreateBackdrop(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackdrop(HWND window);
void DrawLogo(HDC dc, int x1, int y1, int x2, int y2);
void RepaintBackdrop();

// center_dialog.cpp
void CenterDialog(HWND dialog);

// common.cpp
void ErrorBox(HWND owner, const char* text);
void HoldAtLeast(DWORD start, DWORD milliseconds);

// wizard.cpp
bool NewerVersionInstalled();
bool SameVersionInstalled();
int RunWizard();

// The small dialog procedures of the flow, one file each.
INT_PTR CALLBACK SetupExit(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SetupIntro(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Uninstaller(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SetupRemove(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK NewerVersionWarning(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
