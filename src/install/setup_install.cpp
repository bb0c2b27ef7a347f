// INSTALL: the user confirms or edits the target folder.
#include "driver/driver.h"
#include "install/install.h"
#include "resource.h"

INT_PTR CALLBACK SetupInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        RepaintBackdrop();
        HWND edit = GetDlgItem(dialog, IDC_FOLDER_EDIT);
        SetWindowTextA(edit, State.TargetFolder);
        SetFocus(edit);
        CenterDialog(dialog);
        return FALSE;  // keep the focus in the edit box
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            // Not validated: the folder test and creation that follow are
            // where a bad path shows. Longer text is cut to 259 characters.
            GetDlgItemTextA(dialog, IDC_FOLDER_EDIT, State.TargetFolder, PATH_CHARS);
            EndDialog(dialog, END_YES);
            return TRUE;
        case IDCANCEL:
            State.FolderReady = 0;
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
