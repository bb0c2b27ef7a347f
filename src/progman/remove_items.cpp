// Removes the four program items and, on a full uninstall, the group.
#include "driver/driver.h"
#include "progman/progman.h"

enum {
    ITEM_TIMEOUT = 1000,    // ms for ShowGroup and DeleteItem
    GROUP_TIMEOUT = 10000,  // ms for DeleteGroup
};

// The group activated before the items go: the name they were created
// under, whatever GroupName says.
static const char GROUP[] = "Corvane";

static bool send(DWORD instance, HCONV conversation, const char* const* pieces, int count, DWORD timeout)
{
    // A command too long for its buffer is not sent, as if it had failed.
    return ComposeCommand(State.CommandText, pieces, count) &&
           DdeExecute(instance, conversation, State.CommandText, timeout);
}

static void close_channel(DWORD instance, HCONV conversation, HSZ progman)
{
    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, progman);
    DdeUninitialize(instance);
}

// 0 when the DDEML cannot be initialised or the group cannot be activated
// (then nothing else is sent); 1 otherwise, also without Program Manager.
// Nothing is shown.
int ProgmanRemoveItems(HWND, int removeGroup, const char* service)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ProgmanCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 0;
    HSZ progman = DdeCreateStringHandleA(instance, service, CP_WINANSI);
    if (!progman) {
        DdeUninitialize(instance);
        return 1;
    }
    HCONV conversation = DdeConnect(instance, progman, progman, &ConversationContext);
    if (!conversation) {
        DdeFreeStringHandle(instance, progman);
        DdeUninitialize(instance);
        return 1;
    }

    // Minimised and active, then restored and active: the items below are
    // deleted from the active group.
    const char* minimise[] = {"[ShowGroup(", GROUP, ",", "2)]"};
    const char* restore[] = {"[ShowGroup(", GROUP, ",", "1)]"};
    if (!send(instance, conversation, minimise, 4, ITEM_TIMEOUT) ||
        !send(instance, conversation, restore, 4, ITEM_TIMEOUT)) {
        close_channel(instance, conversation, progman);
        return 0;
    }

    const char* captions[] = {State.ItemCaption, "Uninstall32", "Corvane Pro32 Help", "Corvane Pro32 Tutorial"};
    for (const char* caption : captions) {
        const char* pieces[] = {"[DeleteItem(", caption, ")]"};
        send(instance, conversation, pieces, 3, ITEM_TIMEOUT);
    }

    if (removeGroup) {
        // A second conversation on the same instance; the first stays open
        // until the instance is released. Some DDEML implementations (Wine's)
        // refuse a second conversation with the same partner on one
        // instance: then the group goes over the first rather than stay
        // behind unnoticed.
        HCONV second = DdeConnect(instance, progman, progman, &ConversationContext);
        if (second)
            conversation = second;
        const char* pieces[] = {"[DeleteGroup(", State.GroupName, ")]"};
        send(instance, conversation, pieces, 3, GROUP_TIMEOUT);
    }
    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, progman);
    DdeUninitialize(instance);
    return 1;
}
