// What an unattended run answers where the wizard would ask a person: the
// button a person presses to get on with the run, each decision logged.
// Once a step has failed, every question is answered with the way out, so
// the flow that would return to an earlier dialog leads to the end. An
// answer only chooses: what the button sets going, the wizard does, for a
// person and for the run alike.
#include "driver/driver.h"
#include "record/record.h"

static bool failed()
{
    return State.Failure != 0;
}

// #141: started with switches and nothing to install or remove, which a
// deployment tool must not take for success.
INT_PTR AnswerNoArchive()
{
    LogLine("Decision: nothing to do, no archive was given");
    State.Failure = RUN_BAD_PARAMETER;
    return END_YES;
}

INT_PTR AnswerNewerVersion()
{
    LogLine("Decision: nothing is done, version %d.%d is installed", State.InstallRecord.majorVersion,
            State.InstallRecord.minorVersion);
    State.Failure = RUN_NEWER_VERSION;
    return END_NO;
}

// SETUPINTRO: "Install". After a failure the flow comes back here, where
// a person would try again; "Exit Setup" ends the run instead.
INT_PTR AnswerWelcome()
{
    LogLine(failed() ? "Decision: exit, a step failed" : "Decision: install");
    return failed() ? END_NO : END_YES;
}

// SETUPEXIT and EXITUNINSTALL: only a failure leads here, so "Exit".
INT_PTR AnswerExit()
{
    return END_YES;
}

// UNISTALL: "Remove"; the word UNINSTALL asks for nothing else.
INT_PTR AnswerUninstallWelcome()
{
    return failed() ? END_NO : END_UNINSTALL;
}

INT_PTR AnswerNotFound()
{
    LogLine("Decision: nothing is installed, so nothing is removed");
    return END_YES;
}

// REMOVE: the full removal, the folder named in the log as the dialog
// would have shown it.
INT_PTR AnswerRemove()
{
    LogLine("Decision: remove the copy in %s", State.InstalledFolder);
    return END_YES;
}

// True when /dir names the folder the installed copy is in, in whatever
// case or form the record holds it.
static bool given_folder_is_installed_one()
{
    char installed[PATH_CHARS];
    return NormaliseFolder(State.InstalledFolder, installed) && lstrcmpiA(installed, State.GivenFolder) == 0;
}

// NOTICE1: over the installed copy, in its folder; or, when /dir names
// another folder, the old copy removed first and the new one there.
INT_PTR AnswerOldCopy()
{
    const RecordValues& record = State.InstallRecord;
    if (failed())
        return END_NO;
    if (State.GivenFolder[0] != '\0' && !given_folder_is_installed_one()) {
        LogLine("Decision: version %d.%d in %s is removed first, and the new copy goes to %s", record.majorVersion,
                record.minorVersion, State.InstalledFolder, State.GivenFolder);
        return END_REMOVE_OLD;
    }
    LogLine("Decision: the installation goes over version %d.%d in %s", record.majorVersion, record.minorVersion,
            State.InstalledFolder);
    return END_YES;
}

// INSTALL: the folder as it stands (the flow has put /dir's there); it
// was checked as INSTALL checks what a person types.
INT_PTR AnswerFolder()
{
    if (failed())
        return END_NO;
    LogLine("Decision: install into %s", State.TargetFolder);
    return END_YES;
}

// DIRCREATE: "Create".
INT_PTR AnswerCreateFolder()
{
    LogLine("Decision: create %s", State.TargetFolder);
    return END_YES;
}

// #135: "Create Icons".
INT_PTR AnswerIcons()
{
    LogLine("Decision: create the icons");
    return END_YES;
}

// SUCCESS and RSUCCESS1: the run did what it was for, unless a step after
// its work failed.
INT_PTR AnswerDone()
{
    LogLine(failed() ? "Not completed: a step failed" : "Completed");
    return END_YES;
}
