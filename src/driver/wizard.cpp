// The wizard: one modal dialog after another over the backdrop, branching
// on each dialog's result, until a terminal dialog or a confirmed exit.
// Here alone the run's mode decides between a dialog and its unattended
// answer, and a room's reason for failing becomes an exit code.
#include "ansi_text.h"
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

// The button dialogs, by what their buttons end them with. A dialog
// without a Cancel button still gets it from Escape.
static const ButtonPage ClosingPage = {{{IDOK, END_YES}, {IDCANCEL, END_NO}, {0, 0}}, 0, 0, nullptr};
static const ButtonPage ExitConfirmation = {{{IDOK, END_YES}, {IDCANCEL, END_NO}, {0, 0}}, 0, 0, nullptr};
static const ButtonPage SetupIntro = {
    {{IDOK, END_YES}, {IDCANCEL, END_NO}, {IDC_UNINSTALL, END_UNINSTALL}}, 0, IDC_UNINSTALL, UninstallAllowed};
static const ButtonPage Uninstaller = {{{IDOK, END_UNINSTALL}, {IDCANCEL, END_NO}, {0, 0}}, 0, 0, nullptr};
static const ButtonPage SetupRemove = {{{IDOK, END_YES}, {IDCANCEL, END_NO}, {0, 0}}, IDC_FOLDER_TEXT, 0, nullptr};
static const ButtonPage OldCopyChoice = {
    {{IDOK, END_YES}, {IDCANCEL, END_NO}, {IDC_REMOVE_OLD, END_REMOVE_OLD}}, 0, 0, nullptr};
static const ButtonPage IconOffer = {{{IDOK, END_YES}, {IDCANCEL, END_NO}, {0, 0}}, 0, 0, nullptr};
// The only way on is out: it has no OK button.
static const ButtonPage NewerVersionWarning = {{{IDCANCEL, END_NO}, {0, 0}, {0, 0}}, 0, 0, nullptr};

// Every dialog of the flow, by its template's name, and what it is: a
// button dialog run from its row, a work notice run from its row, or a
// dialog with a procedure of its own. The pages and the dialogs have what
// an unattended run answers in their place; a notice has no answer: its
// work is done, shown in a passive run and without a window in a quiet one.
struct Step {
    LPCSTR name;
    const ButtonPage* page;
    const WorkNotice* notice;
    DLGPROC procedure;
    INT_PTR (*answer)();
};
static const Step NO_ARCHIVE = {MAKEINTRESOURCEA(IDD_NO_ARCHIVE), &ClosingPage, nullptr, nullptr, AnswerNoArchive};
static const Step SETUPSCAN = {"SETUPSCAN", nullptr, &SetupScanNotice, nullptr, nullptr};
static const Step NEWERVERSION = {"NEWERVERSION", &NewerVersionWarning, nullptr, nullptr, AnswerNewerVersion};
static const Step SETUPINTRO = {"SETUPINTRO", &SetupIntro, nullptr, nullptr, AnswerWelcome};
static const Step SETUPEXIT = {"SETUPEXIT", &ExitConfirmation, nullptr, nullptr, AnswerExit};
static const Step UNISTALL = {"UNISTALL", &Uninstaller, nullptr, nullptr, AnswerUninstallWelcome};
static const Step EXITUNINSTALL = {"EXITUNINSTALL", &ExitConfirmation, nullptr, nullptr, AnswerExit};
static const Step WIZARDNOTFND = {"WIZARDNOTFND", &ClosingPage, nullptr, nullptr, AnswerNotFound};
static const Step REMOVE = {"REMOVE", &SetupRemove, nullptr, nullptr, AnswerRemove};
static const Step REMOVESCAN = {"REMOVESCAN", nullptr, &RemoveScanNotice, nullptr, nullptr};
static const Step RSUCCESS1 = {"RSUCCESS1", &ClosingPage, nullptr, nullptr, AnswerDone};
static const Step NOTICE1 = {"NOTICE1", &OldCopyChoice, nullptr, nullptr, AnswerOldCopy};
static const Step INSTALL = {"INSTALL", nullptr, nullptr, SetupInstall, AnswerFolder};
static const Step DIRCREATE = {"DIRCREATE", nullptr, nullptr, SUCreateDirectory, AnswerCreateFolder};
static const Step COPYFILES = {"COPYFILES", nullptr, &CopyFilesNotice, nullptr, nullptr};
static const Step ICON_OFFER = {MAKEINTRESOURCEA(IDD_ICONS), &IconOffer, nullptr, nullptr, AnswerIcons};
static const Step SUCCESS = {"SUCCESS", &ClosingPage, nullptr, nullptr, AnswerDone};

// What an unattended run's exit code says of each reason a room gives, by
// the reason (the first, nothing failed, is never looked up).
static const RunResult CopyFailureResults[] = {RUN_COMPLETED,  RUN_BAD_PARAMETER, RUN_ARCHIVE_REFUSED, RUN_NO_FOLDER,
                                               RUN_DISK_FULL, RUN_FILE_IN_USE,   RUN_COPY_FAILED};
static const RunResult RemovalFailureResults[] = {RUN_COMPLETED, RUN_FILE_IN_USE, RUN_COPY_FAILED, RUN_FILE_IN_USE};
static_assert(sizeof CopyFailureResults / sizeof *CopyFailureResults == COPY_FAILED + 1, "one per CopyFailure");
static_assert(sizeof RemovalFailureResults / sizeof *RemovalFailureResults == REMOVAL_STOPPED_IN_USE + 1,
              "one per RemovalFailure");

// How a pass through the install or uninstall road ends.
enum Outcome {
    CHECK,   // back to the top unless a terminal dialog was shown
    QUIT,    // the user confirmed the exit
    BROKEN,  // a dialog could not be created: the flow ends, exit code 0
};

// Shows one dialog modally over the backdrop, or, unattended, takes the
// answer in its place; a quiet run does a notice's work without a window.
// False when the dialog cannot be created at all; the flow then ends
// rather than loop on without showing anything.
static bool Show(const Step& step, INT_PTR* result)
{
    if (step.notice && State.Mode == QUIET) {
        *result = step.notice->work(NoticeView{});
        return true;
    }
    if (!step.notice && State.Mode != INTERACTIVE) {
        *result = step.answer();
        return true;
    }
    DLGPROC procedure = step.page ? PageProcedure : step.notice ? NoticeProcedure : step.procedure;
    LPARAM row = step.page ? reinterpret_cast<LPARAM>(step.page) : reinterpret_cast<LPARAM>(step.notice);
    // A dialog of the wide kind: what is typed into it reaches it whole,
    // whatever the code page can hold.
    WCHAR name[16];
    LPCWSTR templateName = reinterpret_cast<LPCWSTR>(step.name);  // a number stays one
    if (!IS_INTRESOURCE(step.name) && ToWide(step.name, name, 16))
        templateName = name;
    *result = DialogBoxParamW(State.instance, templateName, State.backdrop, procedure, row);
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

// The closing page of a road whose work is done: the run has done what
// it was for, whether or not the page can be shown.
static Outcome Finish(const Step& closing)
{
    State.Finished = true;
    INT_PTR ignored;
    return Show(closing, &ignored) ? CHECK : BROKEN;
}

// REMOVESCAN, false when it cannot be shown. The copy is no longer
// installed, whatever stayed of it; a file that stayed is no reason to
// stop, but an unattended run says so in its exit code. A removal stopped
// by a file in use removed nothing: the copy is still installed, and
// `removed` says so.
static bool RunRemoveScan(bool* removed)
{
    INT_PTR failure;
    if (!Show(REMOVESCAN, &failure))
        return false;
    *removed = failure != REMOVAL_STOPPED_IN_USE;
    State.IsInstalled = !*removed;
    if (failure != REMOVED_ALL)
        State.Failure = RemovalFailureResults[failure];
    return true;
}

// REMOVE, and on "Remove" REMOVESCAN and then RSUCCESS1; back to the top
// when the removal stopped.
static Outcome ConfirmRemoval()
{
    State.RemoveGroupToo = true;
    INT_PTR confirmed;
    bool removed;
    if (!Show(REMOVE, &confirmed))
        return BROKEN;
    if (confirmed == END_NO)
        return CHECK;
    if (!RunRemoveScan(&removed))
        return BROKEN;
    return removed ? Finish(RSUCCESS1) : CHECK;
}

// INSTALL, the first time with the folder /dir gave in place of the one
// the scan found; after that with the one last typed.
static bool AskFolder(INT_PTR* choice)
{
    if (State.GivenFolder[0] != '\0')
        lstrcpynA(State.TargetFolder, State.GivenFolder, PATH_CHARS);
    State.GivenFolder[0] = '\0';
    return Show(INSTALL, choice);
}

// DIRCREATE, for a folder that is not there. "Create" makes it level by
// level; a failure is told, and leads on as "Edit..." does.
static bool OfferToCreate(bool* created)
{
    INT_PTR choice;
    if (!Show(DIRCREATE, &choice))
        return false;
    bool create = choice != END_NO;
    *created = create && MakeTargetFolder(State.backdrop);
    if (create && !*created)
        State.Failure = RUN_NO_FOLDER;
    return true;
}

// #135. "Create Icons" makes the group over DDE. Unattended where no shell
// answers, as for a deployment that runs as SYSTEM with no desktop, the
// group is written to the all-users Start menu as a shell would have made
// it, and the run completes only when it was. A shell that answers and
// then says no is only logged: files written behind it would make a
// second group.
static bool OfferIcons()
{
    INT_PTR choice;
    if (!Show(ICON_OFFER, &choice))
        return false;
    if (choice == END_NO)
        return true;
    if (State.Mode == INTERACTIVE || ProgmanAnswers())
        CreateIcons(State.backdrop);
    else if (!WriteStartMenuGroup())
        State.Failure = RUN_NO_ICONS;
    return true;
}

static Outcome UninstallRoad()
{
    INT_PTR result;
    if (!State.IsInstalled) {
        if (!Show(WIZARDNOTFND, &result))
            return BROKEN;
        State.Finished = true;
        return CHECK;
    }

    if (!Show(UNISTALL, &result))
        return BROKEN;
    if (result == END_NO)
        return ConfirmExit(EXITUNINSTALL);
    return result == END_UNINSTALL ? ConfirmRemoval() : CHECK;
}

// The folder loop, the copying, the icon offer and the closing page.
static Outcome Install()
{
    State.RemoveGroupToo = false;
    bool folderReady = false;
    INT_PTR choice;
    do {
        if (State.IsInstalled) {
            if (!Show(NOTICE1, &choice))
                return BROKEN;
            if (choice == END_REMOVE_OLD) {
                // "Remove old copy": the copy goes first; with it gone, a
                // repeat of this loop asks for the folder, as for a first
                // installation.
                bool removed;
                if (!RunRemoveScan(&removed))
                    return BROKEN;
                if (!removed)
                    return CHECK;
                if (!AskFolder(&choice))
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
        // A folder that others could change is refused in every run, the
        // one of the copy installed included: a person chooses another.
        while (choice != END_NO && !FolderIsSafe(State.TargetFolder)) {
            if (State.Mode != INTERACTIVE) {
                State.Failure = RUN_NO_FOLDER;
                return CHECK;
            }
            if (!AskFolder(&choice))
                return BROKEN;
        }
        if (choice == END_NO)
            return CHECK;  // back to the welcome dialog

        folderReady = FolderExists(State.TargetFolder);
        if (!folderReady && !OfferToCreate(&folderReady))
            return BROKEN;
    } while (!folderReady);

    INT_PTR failure;
    if (!Show(COPYFILES, &failure))
        return BROKEN;
    if (failure != COPY_DONE) {
        // A file is missing and no record was written: offering icons and
        // reporting success would be false. Start over at the welcome
        // dialog, with the folder to be confirmed again.
        State.Failure = CopyFailureResults[failure];
        return CHECK;
    }
    // The files and the record are in place: the run has done what it was
    // for, whatever becomes of the dialogs after it.
    State.Finished = true;

    if (State.NoIcons)
        LogLine("No icons: /noicons");
    else if (!OfferIcons())
        return BROKEN;
    return Finish(SUCCESS);
}

static Outcome InstallRoad()
{
    INT_PTR choice;
    if (!Show(SETUPINTRO, &choice))
        return BROKEN;
    switch (choice) {
    case END_NO:
        return ConfirmExit(SETUPEXIT);
    case END_UNINSTALL:
        return ConfirmRemoval();
    case END_YES:
        return Install();
    }
    return CHECK;
}

// An unattended installation needs an archive it can read, and a /dir
// folder it may use, before it decides anything: no one is there to see
// that an old copy was removed for a new one that cannot be had. A missing file's attributes,
// INVALID_FILE_ATTRIBUTES, have every bit set, so it is no file either.
static bool ArchiveUsable()
{
    if (GetFileAttributesA(State.ArchivePath) & FILE_ATTRIBUTE_DIRECTORY) {
        LogLine("The archive %s cannot be found", State.ArchivePath);
        State.Failure = RUN_BAD_PARAMETER;
    } else if (ArchiveRefused()) {
        State.Failure = RUN_ARCHIVE_REFUSED;
    } else if (State.GivenFolder[0] != '\0' && !FolderIsSafe(State.GivenFolder)) {
        State.Failure = RUN_NO_FOLDER;  // before an old copy is removed for it
    }
    return !State.Failure;
}

static Outcome Run()
{
    INT_PTR ignored;
    if (State.ArchivePath[0] == '\0')
        return Show(NO_ARCHIVE, &ignored) ? QUIT : BROKEN;

    if (State.Mode != INTERACTIVE && !IsUninstallWord(State.ArchivePath) && !ArchiveUsable())
        return QUIT;

    if (!Show(SETUPSCAN, &ignored))
        return BROKEN;
    // Before the road is chosen, so a newer copy is safe from removal too.
    if (NewerVersionInstalled())
        return Show(NEWERVERSION, &ignored) ? QUIT : BROKEN;

    for (;;) {
        Outcome outcome = IsUninstallWord(State.ArchivePath) ? UninstallRoad() : InstallRoad();
        if (outcome != CHECK)
            return outcome;
        if (State.Finished)
            return QUIT;
    }
}

int RunWizard()
{
    Outcome outcome = Run();

    PostMessageA(State.backdrop, WM_QUIT, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // A person saw how it ended: 1 after a completed installation or
    // removal (or the not-found page of the uninstall road), also when a
    // dialog after its work could not be made; else 0.
    if (State.Mode == INTERACTIVE)
        return State.Finished ? 1 : 0;
    // Unattended, never 0, which deployment tools read as success.
    if (outcome == BROKEN && !State.Finished)
        return RUN_STOPPED;  // a window the run needed could not be made
    if (State.Failure)
        return State.Failure;  // what stopped the run, or failed after its work
    return State.Finished ? RUN_COMPLETED : RUN_STOPPED;
}
