// The wizard: one modal dialog after another over the backdrop, branching
// on each dialog's result, until a terminal dialog or a confirmed exit.
#include "driver/driver.h"
#include "install/install.h"
#include "progman/progman.h"
#include "record/record.h"
#include "remove/remove.h"
#include "resource.h"

// How a pass through install or uninstall mode ends.
enum Outcome {
    CHECK,   // back to the top unless a terminal dialog was shown
    QUIT,    // the user confirmed the exit
    BROKEN,  // a dialog could not be created: the flow ends, exit code 0
};

// Shows one dialog modally over the backdrop. False when the dialog
// cannot be created at all; the flow then ends rather than loop on
// without showing anything.
static bool Show(LPCSTR name, DLGPROC procedure, INT_PTR* result)
{
    *result = DialogBoxParamA(State.instance, name, State.backdrop, procedure, 0);
    return *result != -1;
}

bool NewerVersionInstalled()
{
    const RecordValues& record = State.InstallRecord;
    return record.majorVersion > SETUP_MAJOR ||
           (record.majorVersion == SETUP_MAJOR && record.minorVersion > SETUP_MINOR);
}

bool SameVersionInstalled()
{
    const RecordValues& record = State.InstallRecord;
    return record.majorVersion == SETUP_MAJOR && record.minorVersion == SETUP_MINOR;
}

// SETUPEXIT or EXITUNINSTALL: "Exit" quits, "Resume" goes back.
static Outcome ConfirmExit(LPCSTR name)
{
    INT_PTR exit;
    if (!Show(name, SetupExit, &exit))
        return BROKEN;
    return exit != END_NO ? QUIT : CHECK;
}

// REMOVESCAN and then RSUCCESS1, once the user has confirmed REMOVE.
static Outcome FullRemoval()
{
    INT_PTR ignored;
    if (!Show("REMOVESCAN", RemoveScan, &ignored) || !Show("RSUCCESS1", SetupExit, &ignored))
        return BROKEN;
    State.Finished = 1;
    return CHECK;
}

static Outcome UninstallMode()
{
    INT_PTR result;
    if (!State.IsInstalled) {
        if (!Show("WIZARDNOTFND", SetupExit, &result))
            return BROKEN;
        State.Finished = 1;
        return CHECK;
    }

    if (!Show("UNISTALL", Uninstaller, &result))
        return BROKEN;
    if (result == END_NO)
        return ConfirmExit("EXITUNINSTALL");
    if (result != END_UNINSTALL)
        return CHECK;

    State.RemoveGroupToo = 1;
    if (!Show("REMOVE", SetupRemove, &result))
        return BROKEN;
    return result == END_NO ? CHECK : FullRemoval();
}

// The folder loop, the copying, the icon offer and the closing notice.
static Outcome Install()
{
    State.RemoveGroupToo = 0;
    INT_PTR choice;
    do {
        if (State.IsInstalled) {
            if (!Show("NOTICE1", SetupExit, &choice))
                return BROKEN;
            if (choice == END_REMOVE_OLD) {
                // The sweep clears IsInstalled, so a repeat of this loop
                // asks for the folder instead of offering the old copy.
                INT_PTR ignored;
                if (!Show("REMOVESCAN", RemoveScan, &ignored) || !Show("INSTALL", SetupInstall, &choice))
                    return BROKEN;
            }
            // "Continue installation" goes to the folder the scan found.
        } else if (!Show("INSTALL", SetupInstall, &choice)) {
            return BROKEN;
        }
        if (choice == END_NO)
            return CHECK;  // back to the welcome dialog

        if (FolderExists(State.TargetFolder)) {
            State.FolderReady = 1;
        } else {
            INT_PTR created;
            if (!Show("DIRCREATE", SUCreateDirectory, &created))
                return BROKEN;
            if (created != END_NO)
                State.FolderReady = 1;
        }
    } while (!State.FolderReady);

    INT_PTR stopped;
    if (!Show("COPYFILES", CopyFiles, &stopped))
        return BROKEN;
    if (stopped) {
        // A file is missing and no record was written: offering icons and
        // reporting success would be false. Start over at the welcome
        // dialog, with the folder to be confirmed again.
        State.FolderReady = 0;
        return CHECK;
    }

    INT_PTR ignored;
    if (!Show(MAKEINTRESOURCEA(IDD_ICONS), MakeDefaultGroup, &ignored) || !Show("SUCCESS", SetupExit, &ignored))
        return BROKEN;
    State.Finished = 1;
    return CHECK;
}

static Outcome InstallMode()
{
    INT_PTR choice;
    if (!Show("SETUPINTRO", SetupIntro, &choice))
        return BROKEN;
    switch (choice) {
    case END_NO:
        return ConfirmExit("SETUPEXIT");
    case END_UNINSTALL: {
        State.RemoveGroupToo = 1;
        INT_PTR confirmed;
        if (!Show("REMOVE", SetupRemove, &confirmed))
            return BROKEN;
        return confirmed != END_NO ? FullRemoval() : CHECK;
    }
    case END_YES:
        return Install();
    }
    return CHECK;
}

static Outcome Run()
{
    INT_PTR ignored;
    if (State.ArchivePath[0] == '\0')
        return Show(MAKEINTRESOURCEA(IDD_NO_ARCHIVE), SetupExit, &ignored) ? QUIT : BROKEN;

    if (!Show("SetupScan", SetupScan, &ignored))
        return BROKEN;
    // Before the mode is decided, so a newer copy is safe from removal too.
    if (NewerVersionInstalled())
        return Show("NEWERVERSION", NewerVersionWarning, &ignored) ? QUIT : BROKEN;

    for (;;) {
        Outcome outcome = IsUninstallWord(State.ArchivePath) ? UninstallMode() : InstallMode();
        if (outcome != CHECK)
            return outcome;
        if (State.Finished)
            return QUIT;
    }
}

// Runs the whole wizard and returns the exit code: 1 after a completed
// installation or removal (or the not-found notice of uninstall mode),
// else 0.
int RunWizard()
{
    Outcome outcome = Run();

    PostMessageA(State.backdrop, WM_QUIT, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return outcome == BROKEN ? 0 : State.Finished;
}
