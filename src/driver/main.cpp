// SETUP.EXE: "ARCHIVE*CODE" installs, "UNINSTALL" removes. The exit code
// is 1 when an installation or removal was completed.
#include "driver/driver.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    // The show command is ignored: the backdrop is always maximised.
    if (!previous && !RegisterBackdropClass(instance))
        return 0;
    if (!CreateBackdrop(instance))
        return 0;
    SplitCommandLine(CommandTail(GetCommandLineA()));
    return RunWizard();
}
