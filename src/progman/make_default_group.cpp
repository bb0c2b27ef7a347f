// #135: offers to create the program group "Corvane" with its four items,
// and does it over DDE: one operation for the group, then, only when the
// group was made, one for the items.
#include <string.h>

#include "progman/progman.h"

enum {
    GROUP_TIMEOUT = 10000,  // ms for CreateGroup
    ITEM_TIMEOUT = 1000,    // ms for each AddItem
};

// quoted = the file's path in the target folder, in double quotes, in a
// buffer of PATH_CHARS. No separator is added or removed. False when it
// does not fit.
bool QuoteTargetFile(const char* fileName, char* quoted)
{
    size_t folder = strlen(State.TargetFolder), name = strlen(fileName);
    if (folder + name + 2 >= PATH_CHARS)
        return false;
    quoted[0] = '"';
    memcpy(quoted + 1, State.TargetFolder, folder);
    memcpy(quoted + 1 + folder, fileName, name);
    quoted[1 + folder + name] = '"';
    quoted[2 + folder + name] = '\0';
    return true;
}

// True when Program Manager made (or activated) the group; its failures
// are shown in boxes owned by `owner`.
bool ProgmanCreateGroup(HWND owner, const char* service)
{
    ProgmanChannel channel;
    switch (OpenChannel(channel, service)) {
    case NO_DDEML:
        ErrorBox(owner, "DDEML Initialization Failure");
        return false;
    case NO_SERVICE_NAME:
        CloseChannel(channel);
        return false;
    case CHANNEL_OPEN:
        break;
    }
    const char* pieces[] = {"[CreateGroup(", GroupName, ")]"};
    // Without a conversation the command fails too. A group that was not
    // made must stop the items: they would go to whichever group is active.
    bool created = SendCommand(channel, pieces, 3, GROUP_TIMEOUT);
    if (!created)
        ErrorBox(owner, "Group Creation Failed");
    CloseChannel(channel);
    return created;
}

// Adds the four items to the active group. A failed item is silent and the
// others are still sent. False only when the DDEML cannot be initialised.
bool ProgmanAddItems(HWND, const char* service)
{
    ProgmanChannel channel;
    if (OpenChannel(channel, service) == NO_DDEML)
        return false;
    if (channel.conversation) {
        for (const ProgramItem& item : ProgramItems) {
            char quoted[PATH_CHARS];
            const char* pieces[] = {"[AddItem(", quoted, ",", item.caption, item.tail};
            // A command too long for its buffer is not sent, as if it had failed.
            if (QuoteTargetFile(item.fileName, quoted))
                SendCommand(channel, pieces, 5, ITEM_TIMEOUT);
        }
    }
    CloseChannel(channel);
    return true;
}

void CreateIcons(HWND owner)
{
    if (ProgmanCreateGroup(owner))
        ProgmanAddItems(owner);
}

INT_PTR CALLBACK MakeDefaultGroup(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // Unlike the other steps it leaves the backdrop alone.
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND: {
        // While a transaction waits, the platform goes on dispatching input:
        // a second "Create Icons" would add every item twice, and "Skip"
        // would end the dialog in the middle. The buttons are off meanwhile
        // and the flag, which lives with the dialog, turns away the keys.
        if (GetWindowLongPtrA(dialog, DWLP_USER))
            return TRUE;
        int id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL)
            return FALSE;
        if (id == IDOK) {
            SetWindowLongPtrA(dialog, DWLP_USER, 1);
            EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            CreateIcons(dialog);
        }
        EndDialog(dialog, END_NO);  // for both buttons, whatever became of the icons
        return TRUE;
    }
    }
    return FALSE;
}
