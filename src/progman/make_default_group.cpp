// #135: offers to create the program group "Corvane" with its four items,
// and does it over DDE: one operation for the group, then, only when the
// group was made, one for the items.
#include "driver/driver.h"
#include "progman/progman.h"

enum {
    GROUP_TIMEOUT = 10000,  // ms for CreateGroup
    ITEM_TIMEOUT = 1000,    // ms for each AddItem
};

// The program items, in the order they are created, one row of icons.
struct ProgramItem {
    const char* fileName;  // appended to TargetFolder as it stands
    const char* caption;   // null: ItemCaption
    const char* tail;      // IconPath, IconIndex, xPos, yPos, DefDir, HotKey, fMinimize
};
static const ProgramItem Items[] = {
    {"\\qvn32.exe", nullptr, ",,,38,1,,,)]"},
    {"\\uninstal.exe", "Uninstall32", ",,,115,1,,,)]"},
    {"\\qvnhelp.hlp", "Corvane Pro32 Help", ",,,192,1,,,)]"},
    {"\\qvntutor.hlp", "Corvane Pro32 Tutorial", ",,,269,1,,,)]"},
};

// ScratchPath = the file's path in the target folder, in double quotes.
// No separator is added or removed. False when it does not fit.
bool QuoteTargetFile(const char* fileName)
{
    const char* pieces[] = {"\"", State.TargetFolder, fileName, "\""};
    return ComposeCommand(State.ScratchPath, pieces, 4);
}

// 1 when Program Manager made (or activated) the group; its failures are
// shown in boxes owned by `owner`.
int ProgmanCreateGroup(HWND owner, const char* service)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ProgmanCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        ErrorBox(owner, "DDEML Initialization Failure");
        return 0;
    }
    HSZ progman = DdeCreateStringHandleA(instance, service, CP_WINANSI);
    if (!progman) {
        DdeGetLastError(instance);
        DdeUninitialize(instance);
        return 0;
    }
    // Not tested here: without a conversation the transaction fails below.
    HCONV conversation = DdeConnect(instance, progman, progman, &ConversationContext);

    const char* pieces[] = {"[CreateGroup(", State.GroupName, ")]"};
    int created = 0;
    if (ComposeCommand(State.ScratchPath, pieces, 3)) {
        // A data handle that cannot be made counts as a failed creation:
        // the items would go to whichever group happens to be active.
        HDDEDATA data = DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(State.ScratchPath),
                                            lstrlenA(State.ScratchPath) + 1, 0, nullptr, CF_TEXT, 0);
        DWORD result;
        created = data && DdeClientTransaction(reinterpret_cast<LPBYTE>(data), 0xFFFFFFFF, conversation, nullptr, 0,
                                               XTYP_EXECUTE, GROUP_TIMEOUT, &result);
    }
    if (!created) {
        DdeGetLastError(instance);
        ErrorBox(owner, "Group Creation Failed");
    }
    DdeFreeStringHandle(instance, progman);
    if (conversation)
        DdeDisconnect(conversation);
    DdeUninitialize(instance);
    return created;
}

// Adds the four items to the active group. A failed item is silent and the
// others are still sent. 0 only when the DDEML cannot be initialised.
int ProgmanAddItems(HWND, const char* service)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ProgmanCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 0;
    HSZ progman = DdeCreateStringHandleA(instance, service, CP_WINANSI);
    if (progman) {
        HCONV conversation = DdeConnect(instance, progman, progman, &ConversationContext);
        if (conversation) {
            for (const ProgramItem& item : Items) {
                const char* caption = item.caption ? item.caption : State.ItemCaption;
                const char* pieces[] = {"[AddItem(", State.ScratchPath, ",", caption, item.tail};
                // A command too long for its buffer is not sent, as if it had failed.
                if (QuoteTargetFile(item.fileName) && ComposeCommand(State.CommandText, pieces, 5))
                    DdeExecute(instance, conversation, State.CommandText, ITEM_TIMEOUT);
            }
            DdeDisconnect(conversation);
        }
        DdeFreeStringHandle(instance, progman);
    }
    DdeUninitialize(instance);
    return 1;
}

INT_PTR CALLBACK MakeDefaultGroup(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // Unlike the other steps it leaves the backdrop alone.
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        // While a transaction waits, the platform goes on dispatching input:
        // a second "Create Icons" would add every item twice, and "Skip"
        // would end the dialog in the middle. The buttons are off meanwhile
        // and the flag, which lives with the dialog, turns away the keys.
        if (GetWindowLongPtrA(dialog, DWLP_USER))
            return TRUE;
        switch (LOWORD(wParam)) {
        case IDOK:
            SetWindowLongPtrA(dialog, DWLP_USER, 1);
            EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            if (ProgmanCreateGroup(dialog))
                ProgmanAddItems(dialog);
            EndDialog(dialog, END_NO);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
