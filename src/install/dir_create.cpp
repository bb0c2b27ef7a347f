// DIRCREATE: the target folder is missing, and the user chooses "Create"
// or "Edit..."; the wizard makes it level by level on "Create".
#include <string.h>

#include "install/install.h"
#include "resource.h"

static const char CREATE_FAILED[] = "\t\tUnable to create directory !\t\t";

enum { UNTESTED_PREFIX = 4 };  // "C:\P": the drive root is never tested

// `made` tells whether a level above was made.
static bool make_level(const char* prefix, bool* made)
{
    if (FolderExists(prefix))
        return true;
    if (!CreateFolder(prefix, !*made))
        return false;
    *made = true;
    return true;
}

// Tests every prefix of TargetFolder that ends before a backslash, and the
// whole path, creating each that is missing, in order. Only the backslash
// separates levels. Levels created before a failure stay.
bool CreateTargetFolder()
{
    const char* target = State.TargetFolder;
    // The zero fill terminates every prefix: characters are copied below
    // without a terminator.
    char prefix[PATH_CHARS] = {};
    strncpy(prefix, target, UNTESTED_PREFIX);
    bool made = false;

    if (strlen(target) < UNTESTED_PREFIX)
        return make_level(prefix, &made);  // the whole text is the only level
    for (int i = UNTESTED_PREFIX;; ++i) {
        char c = target[i];
        if ((c == '\\' || c == '\0') && !make_level(prefix, &made))
            return false;
        if (c == '\0')
            return true;
        prefix[i] = c;
    }
}

bool MakeTargetFolder(HWND owner)
{
    if (CreateTargetFolder())
        return true;
    ErrorBox(owner, CREATE_FAILED);
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
