// SETUP.EXE: "ARCHIVE*CODE" installs, "UNINSTALL" removes, and switches
// before them make the run unattended. The exit code is 1 when an
// installation or removal was completed.
#include "ansi_text.h"
#include "driver/driver.h"
#include "install/install.h"
#include "system_dlls.h"
#include "temp_folder.h"
#include "texts.h"

static const char DEFAULT_LOG[] = "CorvaneSetup.log";  // in the temporary folder

// The log named by /log, by its wide name; else, unattended, the default
// one, which a file beside it replaces where it is refused.
static void open_log(const Switches& switches, const char* temp)
{
    WCHAR path[PATH_CHARS];
    char log[PATH_CHARS];
    if (switches.log[0] != L'\0') {
        // In full, so that a device is told however it was typed ("//./").
        DWORD length = GetFullPathNameW(switches.log, PATH_CHARS, path, nullptr);
        if (length != 0 && length < PATH_CHARS)
            OpenLog(path, false);
    } else if (switches.mode != INTERACTIVE && temp[0] != '\0' && JoinPath(log, temp, DEFAULT_LOG) &&
             ToWide(log, path, PATH_CHARS))
        OpenLog(path, true);
}

static int ended(int code)
{
    LogLine("Exit code %d", code);
    return code;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    SearchSystemFolderOnly();
    const WCHAR* commandLine = GetCommandLineW();
    Switches switches;
    Refusal refusal;
    const WCHAR* tail = CommandTail(commandLine);
    const WCHAR* rest = ReadSwitches(tail, switches, refusal);
    char temp[PATH_CHARS];
    TempFolderName tempName = TempFolder(temp);
    open_log(switches, temp);
    LogCommandLine(commandLine, tail);
    // The folder named tells which was taken: by a short name, or the
    // Windows folder's (none at all: an empty name).
    if (tempName != TEMP_AS_GIVEN)
        LogLine("Temporary folder: %s, since the code page cannot hold the user's", temp);
    State.Mode = switches.mode;
    // Whatever this run is for, a copying that an earlier one could not
    // end is ended first.
    RecoverCopying();
    if (refusal.text) {
        // Nothing is done. Whoever can read a box is shown why: a passive
        // run, which answers every other box itself, shows this one.
        TellError(nullptr, State.Mode != QUIET, refusal.text, refusal.word);
        return ended(RUN_BAD_PARAMETER);
    }
    // An archive or code that cannot be handed to the library as it is
    // given: the log says which.
    if (SplitCommandLine(rest) != TAIL_TAKEN) {
        ErrorBox(nullptr, IDS_ARCHIVE_NOT_HELD);
        return ended(State.Mode == INTERACTIVE ? 0 : RUN_ARCHIVE_REFUSED);
    }
    State.NoIcons = switches.noIcons;
    State.WaitGiven = switches.waitGiven;
    State.WaitSeconds = switches.waitSeconds;
    State.CloseApplications = switches.closeApplications;
    lstrcpynA(State.GivenFolder, switches.folder, PATH_CHARS);

    // The show command is ignored: the backdrop is always maximised. A
    // quiet run has no window at all.
    if (State.Mode != QUIET) {
        int failed = State.Mode == INTERACTIVE ? 0 : RUN_STOPPED;
        if (!previous && !RegisterBackdropClass(instance))
            return ended(failed);
        if (!CreateBackdrop(instance))
            return ended(failed);
    }
    State.instance = instance;
    // A folder the code page cannot hold is told as INSTALL tells it; a
    // person then chooses another there.
    if (switches.unheldFolder[0] != L'\0') {
        RefuseFolder(State.backdrop, FOLDER_NOT_IN_CODE_PAGE, switches.unheldFolder);
        if (State.Mode != INTERACTIVE)
            return ended(RUN_NO_FOLDER);
    }
    return ended(RunWizard());
}

// Where the process starts. The C runtime's start-up is left out: it
// prepares what this program does not use (constructors of static
// objects, exit handlers, thread-local data, main's arguments) and costs
// several KiB. The C runtime's DLL readies itself when it is loaded.
extern "C" void Start()
{
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT)));
}
