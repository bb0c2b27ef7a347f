// COPYFILES: extracts the application files into the target folder.
#include "driver/driver.h"
#include "install/install.h"
#include "resource.h"

const char* const InstallFileList[INSTALL_FILES] = {
    "QVN32.EXE", "QVNTUTOR.HLP", "QVNHELP.HLP", "SETUP.EXE", "UNINSTAL.EXE", "DZIP32.DLL", "DUNZIP32.DLL",
};

INT_PTR CALLBACK CopyFiles(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        SetDlgItemTextA(dialog, IDC_FOLDER_TEXT, State.TargetFolder);
        CenterDialog(dialog);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        // The extraction itself is not built yet.
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
