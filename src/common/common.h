// The ground floor of the setup: what every step uses. The limits, the
// dialog results, the run's modes and results, the one state record, the
// error box, the log, dialog placement, the seven files, and the two
// table-driven dialog procedures that the button dialogs and the work
// notices share. It knows no step of the flow and no room above it.
//
// Results: bool for every yes/no and success; dialogs end with the END_*
// values; the unzip library's int result and an unattended run's exit
// code (RunResult) are codes of their own, and each room above says why
// its work failed in an enum of its own, which only the wizard turns into
// a RunResult.
#ifndef CORVANE_COMMON_H
#define CORVANE_COMMON_H

#include <windows.h>

#include "in_use.h"
#include "path_text.h"

enum { FIELD_CHARS = 256 };  // one command-line field, terminator included

// The version this program installs.
enum { SETUP_MAJOR = 2, SETUP_MINOR = 0 };

// Results with which the dialogs end; the flow branches on them.
enum {
    END_NO = 0,             // Exit, Cancel, Resume, Edit..., Skip, Escape
    END_YES = 1,            // OK, Install, Create, Continue installation
    END_UNINSTALL = 2,      // Uninstall in SETUPINTRO, Remove in UNISTALL
    END_REMOVE_OLD = 1006,  // Remove old copy in NOTICE1
};

// Who answers the questions: a person, or the run itself, with the
// backdrop and the work notices on screen (passive) or no window at all.
enum RunMode { INTERACTIVE, PASSIVE, QUIET };

// How an unattended run ends, as its exit code. Deployment tools read 0
// as success, so no failure is 0.
enum RunResult {
    RUN_COMPLETED = 1,
    RUN_BAD_PARAMETER = 2,    // a switch, the folder, or no archive
    RUN_NEWER_VERSION = 3,    // a newer version is installed
    RUN_ARCHIVE_REFUSED = 4,  // the archive or its code
    RUN_NO_FOLDER = 5,        // the target folder cannot be created
    RUN_DISK_FULL = 6,
    RUN_FILE_IN_USE = 7,      // a file of the installation is held open
    RUN_COPY_FAILED = 8,      // any other reason a file could not be written
    RUN_STOPPED = 9,          // a window the run shows could not be made
    RUN_NO_ICONS = 10,        // installed, but no shell answered and the Start menu group could not be written
};

// What the scan read from the installation record.
struct RecordValues {
    int sharewareEdition;
    int releaseEdition;
    int majorVersion;
    int minorVersion;
};

// The one state record of the process. Every step reads and writes its
// fields; nothing else in the program is mutable and global. It starts all
// zero, and so takes no room in the program's file.
struct SetupState {
    HINSTANCE instance = nullptr;
    HWND backdrop = nullptr;  // owner of every dialog

    char ArchivePath[FIELD_CHARS] = {};  // or the word UNINSTALL
    char DecryptCode[FIELD_CHARS] = {};
    char TargetFolder[PATH_CHARS] = {};
    char InstalledFolder[PATH_CHARS] = {};
    RecordValues InstallRecord = {};

    bool IsInstalled = false;     // the record names an install path
    bool Finished = false;        // the run's work is done: exit code 1
    bool RemoveGroupToo = false;  // the removal is a full uninstall

    RunMode Mode = INTERACTIVE;
    char GivenFolder[PATH_CHARS] = {};  // /dir, normalised; empty without it
    bool NoIcons = false;               // /noicons
    bool WaitGiven = false;             // /wait: WaitSeconds for a file in use, in place of the default
    DWORD WaitSeconds = 0;
    bool CloseApplications = false;     // /closeapplications
    int Failure = 0;                    // the RunResult of a step that failed
    HANDLE Log = nullptr;               // the open log; null when there is none
};

extern SetupState State;

// The application's files, in the order they are extracted.
enum { INSTALL_FILES = 7 };
extern const char* const InstallFileList[INSTALL_FILES];

// A text of the string tables (texts.h): by default in the language
// Windows has chosen for the user's interface, or English where it has
// none of ours; the log's in ENGLISH. An id without a text gives "".
enum : LANGID { ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) };
void LoadText(UINT id, WCHAR* text, int chars, LANGID language = LANG_NEUTRAL);
enum { TEXT_CHARS = 1025 };  // a formatted text: wsprintf writes at most 1024 characters

// Every failure the program reports looks the same: caption "Error", an OK
// button, no icon. Its text is one of the string tables', formatted with
// up to three arguments for its %s: wide texts, or the ids of texts (a
// value below 0x10000), told in the same language. It goes to the log in
// English; when no one is there to press OK, only there, and the run goes
// on as after OK. TellError shows it whenever `shown`.
void ErrorBox(HWND owner, UINT text, const WCHAR* first = nullptr, const WCHAR* second = nullptr,
              const WCHAR* third = nullptr);
void TellError(HWND owner, bool shown, UINT text, const WCHAR* first = nullptr, const WCHAR* second = nullptr);
// The same form with Retry and Cancel, always shown: true for Retry.
bool AskRetry(HWND owner, UINT text, const WCHAR* first, const WCHAR* second = nullptr, const WCHAR* third = nullptr);

// in_use.cpp: tries at one file of the installation that another program
// may hold; after each failed try, Again says whether to try once more.
// A moment's hold is waited out. One that lasts is named in the log with
// the program that holds it, as the Restart Manager tells it; then a
// person is asked, in a box owned by the backdrop, to close it and retry
// or to cancel, while an unattended run waits up to its /wait seconds
// (30 by default) in all, the holders asked to close first with
// /closeapplications, and then gives up.
class FileTries {
public:
    FileTries();
    // After a try at `path` that failed with `error`: true when it is to be
    // tried again, having waited; false when the failure is not the file's
    // being in use, or the run gives up on it.
    bool Again(const char* path, DWORD error);

private:
    Patience patience_;
    bool seen_ = false;  // found in use before
};
// setup_log.cpp: the log, a text file of one line per step with the local
// time, appended to. Without OpenLog, or when the file cannot be opened or
// is refused (a link, a device, a file of another user's), nothing is
// written and the run goes on. A `replaceable` log that is refused is
// replaced by a new file beside it, its name made unforeseeable.
void OpenLog(const WCHAR* path, bool replaceable);
// One line, formatted by wsprintf's rules (at most 1024 characters). Never
// given the decrypt code.
void LogLine(const char* format, ...);
// What the log says of a folder that HoldFolder finds elsewhere, which is
// then left alone; the one argument is the folder.
extern const char LEFT_ALONE[];
// Wide text for a log line: as the code page holds it; else in UTF-8,
// marked " (in UTF-8)", so that a name no one could read back in the code
// page is still told exactly. `buffer` holds LOG_TEXT_CHARS.
enum { LOG_TEXT_CHARS = 1600 };
char* LogText(const WCHAR* text, char* buffer);
// Paints the backdrop at once, before a dialog comes up over it.
void RepaintBackdrop();
void CenterDialog(HWND dialog);

// A dialog of buttons only: which control ends it with which result, and
// what it shows. PageProcedure runs it, the row passed as the dialog's
// creation parameter.
struct ButtonPage {
    struct Ending {
        int control;
        int result;  // an END_* value
    };
    Ending endings[3];  // a control of 0 ends nothing
    int folderText;     // a static text showing InstalledFolder; 0 for none
    int guardedButton;  // enabled only when `allowed` says so; 0 for none
    bool (*allowed)();
};
INT_PTR CALLBACK PageProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What a work notice lets its work do with it while the work runs: show
// the item it is at, and own the error boxes it shows. A quiet run shows no
// notice; its work gets the empty view, which shows nothing.
struct NoticeView {
    HWND dialog = nullptr;
    void ShowItem(const char* text) const;  // in IDC_FILE_TEXT, painted at once
};

// A notice without buttons that does one piece of work while it is up,
// started by a message of its own once the notice is on screen, and that
// stays up at least its minimum time however quick the work. The work
// returns the dialog's result. NoticeProcedure runs it, the row passed as
// the dialog's creation parameter.
struct WorkNotice {
    INT_PTR (*work)(const NoticeView& view);
    bool showsTarget;          // TargetFolder in IDC_FOLDER_TEXT
    DWORD minimumMilliseconds;
};
INT_PTR CALLBACK NoticeProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
