// The two procedures that the table-driven dialogs share: the button
// dialogs and the work notices. Each dialog's row comes as its creation
// parameter and stays with the dialog.
#include "common/common.h"
#include "resource.h"

// The notices' start, posted to themselves: never a close request.
enum { WM_START_WORK = WM_APP + 1 };

// The dialog's row; null before WM_INITDIALOG has kept it.
template <typename Row>
static const Row* row_of(HWND dialog)
{
    return reinterpret_cast<const Row*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR CALLBACK PageProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const ButtonPage& page = *row_of<ButtonPage>(dialog);
        RepaintBackdrop();
        if (page.folderText)
            SetDlgItemTextA(dialog, page.folderText, State.InstalledFolder);
        if (page.guardedButton)
            EnableWindow(GetDlgItem(dialog, page.guardedButton), page.allowed());
        CenterDialog(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (!row_of<ButtonPage>(dialog))
            return FALSE;
        for (const ButtonPage::Ending& ending : row_of<ButtonPage>(dialog)->endings) {
            if (ending.control != 0 && ending.control == LOWORD(wParam)) {
                EndDialog(dialog, ending.result);
                return TRUE;
            }
        }
        return FALSE;
    }
    return FALSE;
}

void NoticeView::ShowItem(const char* text) const
{
    if (!dialog)
        return;
    HWND item = GetDlgItem(dialog, IDC_FILE_TEXT);
    SetWindowTextA(item, text);
    UpdateWindow(item);
}

// Sleeps in short steps rather than spinning a core; no message is
// processed meanwhile. The unsigned difference stays right when the tick
// count wraps.
static void hold_until(DWORD start, DWORD milliseconds)
{
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        DWORD left = milliseconds - elapsed;
        Sleep(left < 10 ? left : 10);
    }
}

INT_PTR CALLBACK NoticeProcedure(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        RepaintBackdrop();
        if (row_of<WorkNotice>(dialog)->showsTarget)
            SetDlgItemTextA(dialog, IDC_FOLDER_TEXT, State.TargetFolder);
        CenterDialog(dialog);
        RepaintBackdrop();
        // The work waits for this message, so the notice is up first.
        PostMessageA(dialog, WM_START_WORK, 0, 0);
        return TRUE;
    case WM_START_WORK: {
        // The posted start overtakes the notice's first paint, and the
        // work holds the thread: paint the notice first.
        UpdateWindow(dialog);
        const WorkNotice& notice = *row_of<WorkNotice>(dialog);
        DWORD start = GetTickCount();
        INT_PTR result = notice.work(NoticeView{dialog});
        hold_until(start, notice.minimumMilliseconds);
        EndDialog(dialog, result);
        return TRUE;
    }
    case WM_CLOSE:
        // Not for a notice: it ends when its work is done. A close request
        // can come while the work waits on another program and the
        // platform dispatches meanwhile (a message box without an owner, a
        // DDE transaction); it must not end the notice or start the work
        // again.
        return TRUE;
    }
    return FALSE;
}
