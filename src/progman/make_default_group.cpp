// #135: offers to create the program group "Corvane" and its four items.
#include "driver/driver.h"
#include "progman/progman.h"

INT_PTR CALLBACK MakeDefaultGroup(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // Unlike the other steps it leaves the backdrop alone.
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:      // the DDE conversation is not built yet
        case IDCANCEL:
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
