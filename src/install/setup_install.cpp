// INSTALL: the user confirms or edits the target folder.
#include "install/install.h"
#include "resource.h"

static const char FULL_PATH_NEEDED[] =
    "Please type the folder as a full path that begins with a drive letter, for example\n\n"
    "C:\\Program files\\Corvane Pro";
static const char TOO_LONG[] = "The folder name is too long for the files that go into it.  Please type a shorter one.";

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
            // refuse. Longer text is cut to 259 characters.
            char typed[PATH_CHARS], folder[PATH_CHARS];
            GetDlgItemTextA(dialog, IDC_FOLDER_EDIT, typed, PATH_CHARS);
            static const char* const REFUSALS[] = {nullptr, FULL_PATH_NEEDED, TOO_LONG};
            static_assert(sizeof REFUSALS / sizeof *REFUSALS == FOLDER_TOO_LONG + 1, "one per FolderRefusal");
            const char* refusal = REFUSALS[AcceptTargetFolder(typed, folder)];
            if (refusal) {
                ErrorBox(dialog, refusal);
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
