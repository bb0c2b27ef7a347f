// SETUP.EXE: "ARCHIVE*CODE" installs, "UNINSTALL" removes, and switches
// before them make the run unattended. The exit code is 1 when an
// installation or removal was completed.
#include "driver/driver.h"
#include "install/install.h"
#include "system_dlls.h"
#include "temp_folder.h"

static const char DEFAULT_LOG[] = "CorvaneSetup.log";  // in the temporary folder

// The log named by /log; else, unattended, the default one, which a file
// beside it replaces where it is refused.
static void open_log(const Switches& switches)
{
    char path[PATH_CHARS];
    if (switches.log[0] != '\0') {
        DWORD length = GetFullPathNameA(switches.log, PATH_CHARS, path, nullptr);
        if (length != 0 && length < PATH_CHARS)
            OpenLog(path, false);
    } else if (switches.mode != INTERACTIVE) {
        char temp[PATH_CHARS];
        if (TempFolder(temp) && JoinPath(path, temp, DEFAULT_LOG))
            OpenLog(path, true);
    }
}

static int ended(int code)
{
    LogLine("Exit code %d", code);
    return code;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    SearchSystemFolderOnly();
    const char* commandLine = GetCommandLineA();
    Switches switches;
    char refusal[REFUSAL_CHARS];
    const char* tail = CommandTail(commandLine);
    const char* rest = ReadSwitches(tail, switches, refusal);
    open_log(switches);
    LogCommandLine(commandLine, tail);
    State.Mode = switches.mode;
    // Whatever this run is for, a copying that an earlier one could not
    // end is ended first.
    RecoverCopying();
    if (refusal[0] != '\0') {
        // Nothing is done. Whoever can read a box is shown why: a passive
        // run, which answers every other box itself, shows this one.
        LogError(refusal);
        if (State.Mode != QUIET)
            MessageBoxA(nullptr, refusal, "Error", MB_OK);
        return ended(RUN_BAD_PARAMETER);
    }
    State.NoIcons = switches.noIcons;
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
    SplitCommandLine(rest);
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
