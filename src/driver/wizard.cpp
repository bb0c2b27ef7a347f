// The wizard: one modal dialog after another over the backdrop, branching
// on each dialog's result, until a terminal dialog or a confirmed exit.
#include "driver/driver.h"
#include "install/install.h"
#include "progman/progman.h"
#include "record/record.h"
#include "remove/remove.h"
#include "resource.h"

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

// Only a copy of this very version may be removed from the welcome dialog.
static bool UninstallAllowed()
{
    return State.IsInstalled && SameVersionInstalled();
}

// The button dialogs, by what their buttons end them with.
// SetupExit: the notices, the exit confirmations and the closing dialogs.
static const ButtonPage SetupExit = {
    {{IDOK, END_YES}, {IDCANCEL, END_NO}, {IDC_REMOVE_OLD, END_REMOVE_OLD}}, 0, 0, nullptr};
static const ButtonPage SetupIntro = {
    {{IDOK, END_YES}, {IDCANCEL, END_NO}, {IDC_UNINSTALL, END_UNINSTALL}}, 0, IDC_UNINSTALL, UninstallAllowed};
static const ButtonPage Uninstaller = {{{IDOK, END_UNINSTALL}, {IDCANCEL, END_NO}, {0, 0}}, 0, 0, nullptr};
static const ButtonPage SetupRemove = {{{IDOK, END_YES}, {IDCANCEL, END_NO}, {0, 0}}, IDC_FOLDER_TEXT, 0, nullptr};
// The only way on is out: it has no OK button.
static const ButtonPage NewerVersionWarning = {{{IDCANCEL, END_NO}, {0, 0}, {0, 0}}, 0, 0, nullptr};

// Every dialog of the flow: its template, what runs it, and what an
// unattended run answers in its place. The work notices have no answer:
// their work is done, shown in a passive run and without a window in a
// quiet one.
struct Step {
    LPCSTR name;
    DLGPROC procedure;
    const void* row;  // the table-driven procedures' row
    INT_PTR (*answer)();
};
static const Step NO_ARCHIVE = {MAKEINTRESOURCEA(IDD_NO_ARCHIVE), PageProcedure, &SetupExit, AnswerNoArchive};
static const Step SCAN = {"SetupScan", NoticeProcedure, &SetupScan, nullptr};
static const Step NEWER_VERSION = {"NEWERVERSION", PageProcedure, &NewerVersionWarning, AnswerNewerVersion};
static const Step WELCOME = {"SETUPINTRO", PageProcedure, &SetupIntro, AnswerWelcome};
static const Step EXIT_SETUP = {"SETUPEXIT", PageProcedure, &SetupExit, AnswerExit};
static const Step UNINSTALL_WELCOME = {"UNISTALL", PageProcedure, &Uninstaller, AnswerUninstallWelcome};
static const Step EXIT_UNINSTALL = {"EXITUNINSTALL", PageProcedure, &SetupExit, AnswerExit};
static const Step NOT_FOUND = {"WIZARDNOTFND", PageProcedure, &SetupExit, AnswerNotFound};
static const Step CONFIRM_REMOVAL = {"REMOVE", PageProcedure, &SetupRemove, AnswerRemove};
static const Step SWEEP = {"REMOVESCAN", NoticeProcedure, &RemoveScan, nullptr};
static const Step REMOVED = {"RSUCCESS1", PageProcedure, &SetupExit, AnswerDone};
static const Step OLD_COPY = {"NOTICE1", PageProcedure, &SetupExit, AnswerOldCopy};
static const Step FOLDER = {"INSTALL", SetupInstall, nullptr, AnswerFolder};
static const Step CREATE_FOLDER = {"DIRCREATE", SUCreateDirectory, nullptr, AnswerCreateFolder};
static const Step COPY = {"COPYFILES", NoticeProcedure, &CopyFiles, nullptr};
static const Step ICONS = {MAKEINTRESOURCEA(IDD_ICONS), MakeDefaultGroup, nullptr, AnswerIcons};
static const Step INSTALLED = {"SUCCESS", PageProcedure, &SetupExit, AnswerDone};

// How a pass through install or uninstall mode ends.
enum Outcome {
    CHECK,   // back to the top unless a terminal dialog was shown
    QUIT,    // the user confirmed the exit
    BROKEN,  // a dialog could not be created: the flow ends, exit code 0
};

// Shows one dialog modally over the backdrop, or takes the unattended
// run's answer in its place. False when the dialog cannot be created at
// all; the flow then ends rather than loop on without showing anything.
static bool Show(const Step& step, INT_PTR* result)
{
    if (State.Mode != INTERACTIVE && step.answer) {
        *result = step.answer();
        return true;
    }
    if (State.Mode == QUIET) {
        *result = static_cast<const WorkNotice*>(step.row)->work(nullptr);
        return true;
    }
    *result = DialogBoxParamA(State.instance, step.name, State.backdrop, step.procedure,
                              reinterpret_cast<LPARAM>(step.row));
    return *result != -1;
}

// SETUPEXIT or EXITUNINSTALL: "Exit" quits, "Resume" goes back.
static Outcome ConfirmExit(const Step& confirmation)
{
    INT_PTR exit;
    if (!Show(confirmation, &exit))
        return BROKEN;
    return exit != END_NO ? QUIT : CHECK;
}

// The closing notice of a road whose work is done: the run has done what
// it was for, whether or not the notice can be shown.
static Outcome Finish(const Step& notice)
{
    State.Finished = true;
    INT_PTR ignored;
    return Show(notice, &ignored) ? CHECK : BROKEN;
}

// REMOVESCAN. A file that stayed is no reason to stop, but an
// unattended run says so in its exit code.
static bool Sweep()
{
    INT_PTR swept;
    if (!Show(SWEEP, &swept))
        return false;
    if (swept != END_YES)
        State.Failure = static_cast<int>(swept);
    return true;
}

// REMOVESCAN and then RSUCCESS1, once the user has confirmed REMOVE.
static Outcome FullRemoval()
{
    return Sweep() ? Finish(REMOVED) : BROKEN;
}

// INSTALL, the first time with the folder /dir gave in place of the one
// the scan found; after that with the one last typed.
static bool AskFolder(INT_PTR* choice)
{
    if (State.GivenFolder[0] != '\0')
        lstrcpynA(State.TargetFolder, State.GivenFolder, PATH_CHARS);
    State.GivenFolder[0] = '\0';
    return Show(FOLDER, choice);
}

static Outcome UninstallMode()
{
    INT_PTR result;
    if (!State.IsInstalled) {
        if (!Show(NOT_FOUND, &result))
            return BROKEN;
        State.Finished = true;
        return CHECK;
    }

    if (!Show(UNINSTALL_WELCOME, &result))
        return BROKEN;
    if (result == END_NO)
        return ConfirmExit(EXIT_UNINSTALL);
    if (result != END_UNINSTALL)
        return CHECK;

    State.RemoveGroupToo = true;
    if (!Show(CONFIRM_REMOVAL, &result))
        return BROKEN;
    return result == END_NO ? CHECK : FullRemoval();
}

// The folder loop, the copying, the icon offer and the closing notice.
static Outcome Install()
{
    State.RemoveGroupToo = false;
    INT_PTR choice;
    do {
        if (State.IsInstalled) {
            if (!Show(OLD_COPY, &choice))
                return BROKEN;
            if (choice == END_REMOVE_OLD) {
                // The sweep clears IsInstalled, so a repeat of this loop
                // asks for the folder instead of offering the old copy.
                if (!Sweep() || !AskFolder(&choice))
                    return BROKEN;
            } else if (choice != END_NO && !IsFullPath(State.TargetFolder)) {
                // "Continue installation" goes to the folder the scan
                // found, where the record names it in full. Any other
                // path would be resolved against wherever this process
                // is, so the folder is asked for, the default offered.
                lstrcpynA(State.TargetFolder, DEFAULT_FOLDER, PATH_CHARS);
                if (!AskFolder(&choice))
                    return BROKEN;
            }
        } else if (!AskFolder(&choice)) {
            return BROKEN;
        }
        if (choice == END_NO)
            return CHECK;  // back to the welcome dialog

        if (FolderExists(State.TargetFolder)) {
            State.FolderReady = true;
        } else {
            INT_PTR created;
            if (!Show(CREATE_FOLDER, &created))
                return BROKEN;
            if (created != END_NO)
                State.FolderReady = true;
        }
    } while (!State.FolderReady);

    INT_PTR stopped;
    if (!Show(COPY, &stopped))
        return BROKEN;
    if (stopped) {
        // A file is missing and no record was written: offering icons and
        // reporting success would be false. Start over at the welcome
        // dialog, with the folder to be confirmed again.
        State.Failure = static_cast<int>(stopped);
        State.FolderReady = false;
        return CHECK;
    }
    // The files and the record are in place: the run has done what it was
    // for, whatever becomes of the dialogs after it.
    State.Finished = true;

    INT_PTR ignored;
    if (State.NoIcons)
        LogLine("No icons: /noicons");
    else if (!Show(ICONS, &ignored))
        return BROKEN;
    return Finish(INSTALLED);
}

static Outcome InstallMode()
{
    INT_PTR choice;
    if (!Show(WELCOME, &choice))
        return BROKEN;
    switch (choice) {
    case END_NO:
        return ConfirmExit(EXIT_SETUP);
    case END_UNINSTALL: {
        State.RemoveGroupToo = true;
        INT_PTR confirmed;
        if (!Show(CONFIRM_REMOVAL, &confirmed))
            return BROKEN;
        return confirmed != END_NO ? FullRemoval() : CHECK;
    }
    case END_YES:
        return Install();
    }
    return CHECK;
}

// An unattended installation needs an archive it can read before it
// decides anything: no one is there to see that an old copy was removed
// for a new one that cannot be had. A missing file's attributes,
// INVALID_FILE_ATTRIBUTES, have every bit set, so it is no file either.
static bool ArchiveUsable()
{
    if (GetFileAttributesA(State.ArchivePath) & FILE_ATTRIBUTE_DIRECTORY) {
        LogLine("The archive %s cannot be found", State.ArchivePath);
        State.Failure = RUN_BAD_PARAMETER;
        return false;
    }
    State.Failure = TryArchive();
    return !State.Failure;
}

static Outcome Run()
{
    INT_PTR ignored;
    if (State.ArchivePath[0] == '\0')
        return Show(NO_ARCHIVE, &ignored) ? QUIT : BROKEN;

    if (State.Mode != INTERACTIVE && !IsUninstallWord(State.ArchivePath) && !ArchiveUsable())
        return QUIT;

    if (!Show(SCAN, &ignored))
        return BROKEN;
    // Before the mode is decided, so a newer copy is safe from removal too.
    if (NewerVersionInstalled())
        return Show(NEWER_VERSION, &ignored) ? QUIT : BROKEN;

    for (;;) {
        Outcome outcome = IsUninstallWord(State.ArchivePath) ? UninstallMode() : InstallMode();
        if (outcome != CHECK)
            return outcome;
        if (State.Finished)
            return QUIT;
    }
}

// Runs the whole wizard and returns the exit code: 1 after a completed
// installation or removal, also when a dialog after its work cannot be
// made (or after the not-found notice of uninstall mode).
// Otherwise 0 when a person ran it; an unattended run never ends with 0,
// which deployment tools read as success, but with what stopped it.
int RunWizard()
{
    Outcome outcome = Run();

    PostMessageA(State.backdrop, WM_QUIT, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (State.Mode == INTERACTIVE)
        return State.Finished ? 1 : 0;
    if (State.Finished && !State.Failure)
        return RUN_COMPLETED;
    return (outcome != BROKEN || State.Finished) && State.Failure ? State.Failure : RUN_STOPPED;
}
