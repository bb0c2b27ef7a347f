// DIRCREATE: the target folder is missing, and the user chooses "Create"
// or "Edit..."; the wizard makes it level by level on "Create".
#include "install/install.h"
#include "resource.h"
#include "rights.h"
#include "texts.h"


// Tests each level of TargetFolder, creating each that is missing, in
// order; the drive's root is not tested. A level someone made since INSTALL
// checked the folder must be as safe as FolderIsSafe asks; one made in the
// moment between the test and the creation fails the creation.
bool CreateTargetFolder()
{
    char level[PATH_CHARS];
    return !EachLevel(State.TargetFolder, level, [](const char* level, bool last) {
        return FolderExists(level) ? OthersMayChangeFolder(level, last) : CreateFolder(level, true) ? nullptr : "";
    });
}

bool MakeTargetFolder(HWND owner)
{
    if (CreateTargetFolder())
        return true;
    ErrorBox(owner, IDS_CREATE_FAILED);
    return false;
}

INT_PTR CALLBACK SUCreateDirectory(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        SetDlgItemTextA(dialog, IDC_FOLDER_TEXT, State.TargetFolder);
        MessageBeep(MB_ICONEXCLAMATION);
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, END_YES);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
