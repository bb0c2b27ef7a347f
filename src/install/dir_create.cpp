// DIRCREATE: the target folder is missing, and the user chooses "Create"
// or "Edit..."; the wizard makes it level by level on "Create".
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
// separates levels, and the path is walked by character: the first four
// are never tested, so the drive root is not either.
bool CreateTargetFolder()
{
    const char* target = State.TargetFolder;
    const char* end = target;
    for (int i = 0; i < UNTESTED_PREFIX && *end != '\0'; ++i)
        end = NextChar(end);
    bool made = false;
    char prefix[PATH_CHARS];
    if (*end == '\0') {
        lstrcpynA(prefix, target, PATH_CHARS);
        return make_level(prefix, &made);  // the whole text is the only level
    }
    for (;;) {
        end = LevelEnd(end);
        lstrcpynA(prefix, target, static_cast<int>(end - target) + 1);
        if (!make_level(prefix, &made))
            return false;
        if (*end == '\0')
            return true;
        end = NextChar(end);  // past the backslash
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
