// INSTALL: the user confirms or edits the target folder.
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
        case IDOK: {
            // Only a full path means the same folder to the folder test,
            // the creation, the library, the record and a later removal
            // started from elsewhere, and the library's paths in it must
            // fit too: nothing is made for a folder that the copying would
            // refuse. Read in wide form, so that what the code page cannot
            // hold is told, not changed. Longer text is cut to 259
            // characters.
            WCHAR typed[PATH_CHARS];
            char folder[PATH_CHARS];
            GetDlgItemTextW(dialog, IDC_FOLDER_EDIT, typed, PATH_CHARS);
            FolderRefusal refusal = AcceptTargetFolder(typed, folder);
            if (refusal != FOLDER_ACCEPTED) {
                RefuseFolder(dialog, refusal, typed);
                SetFocus(GetDlgItem(dialog, IDC_FOLDER_EDIT));
                return TRUE;
            }
            lstrcpynA(State.TargetFolder, folder, PATH_CHARS);
            EndDialog(dialog, END_YES);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
