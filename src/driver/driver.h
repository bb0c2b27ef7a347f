// The top floor: start-up, the command line, the backdrop and the wizard
// flow that sequences every dialog. Only here is the run's mode read to
// choose between a dialog and an answer, and only here do the rooms'
// reasons for failing become exit codes. Nothing below knows this floor.
#ifndef CORVANE_DRIVER_H
#define CORVANE_DRIVER_H

#include "command_words.h"
#include "common/common.h"

// command_line.cpp
// The switches before the command tail, as they were given.
struct Switches {
    RunMode mode = INTERACTIVE;
    char folder[PATH_CHARS] = {};         // /dir, normalised
    WCHAR unheldFolder[PATH_CHARS] = {};  // /dir as given, where the code page cannot hold it
    WCHAR log[PATH_CHARS] = {};           // /log, as given
    bool noIcons = false;
    bool waitGiven = false;  // /wait=SECONDS
    DWORD waitSeconds = 0;
    bool closeApplications = false;
};
// A refused switch: the text that says why (texts.h), and the switch as
// given, its argument.
struct Refusal {
    UINT text;  // 0 when every switch is sound
    WCHAR word[PATH_CHARS];
};
// Reads the switches at the start of the tail and returns the rest. All
// of them are read; the first that is unknown or has a bad value is
// described in `refusal`.
const WCHAR* ReadSwitches(const WCHAR* tail, Switches& switches, Refusal& refusal);
void LogCommandLine(const WCHAR* commandLine, const WCHAR* tail);
// What of the tail could not be taken into the code page, and is logged.
enum TailTaken { TAIL_TAKEN, ARCHIVE_NOT_HELD, CODE_NOT_HELD };
TailTaken SplitCommandLine(const WCHAR* tail);
bool IsUninstallWord(const char* field);

// backdrop.cpp
bool RegisterBackdropClass(HINSTANCE instance);
bool CreateBackdrop(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackdrop(HWND window);
void DrawLogo(HDC dc, int x1, int y1, int x2, int y2);
RECT LogoPlace(int dpi);  // where the logo goes at that many dots per inch

// wizard.cpp
bool NewerVersionInstalled();
bool SameVersionInstalled();
// Runs the whole wizard and returns the exit code: 1 after a completed
// installation or removal; else 0 when a person ran it, or, unattended,
// the RunResult of what stopped it.
int RunWizard();

// answers.cpp: what an unattended run answers where the wizard asks a
// person, each logged. Once a step has failed, the answer is the way out.
INT_PTR AnswerNoArchive();
INT_PTR AnswerNewerVersion();
INT_PTR AnswerWelcome();
INT_PTR AnswerExit();
INT_PTR AnswerUninstallWelcome();
INT_PTR AnswerNotFound();
INT_PTR AnswerRemove();
INT_PTR AnswerOldCopy();
INT_PTR AnswerFolder();
INT_PTR AnswerCreateFolder();
INT_PTR AnswerIcons();
INT_PTR AnswerDone();

#endif
