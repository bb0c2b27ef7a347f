// Removes the four program items and, on a full uninstall, the group.
#include "progman/progman.h"

enum {
    ITEM_TIMEOUT = 1000,    // ms for ShowGroup and DeleteItem
    GROUP_TIMEOUT = 10000,  // ms for DeleteGroup
};

// False when the DDEML cannot be initialised or the group cannot be
// activated (then nothing else is sent); true otherwise, also without
// Program Manager. Nothing is shown.
bool ProgmanRemoveItems(bool removeGroup, const char* service)
{
    ProgmanChannel channel;
    switch (OpenChannel(channel, service)) {
    case NO_DDEML:
        return false;
    case NO_SERVICE_NAME:
        CloseChannel(channel);
        return true;
    case CHANNEL_OPEN:
        break;
    }
    if (!channel.conversation) {
        // A run as SYSTEM reaches no person's desktop.
        LogLine("Program Manager: no shell answers, so a group it made in a person's Start menu is not reached");
        CloseChannel(channel);
        return true;
    }

    // Minimised and active, then restored and active: the items below are
    // deleted from the active group.
    if (!SendCommand(channel, {"[ShowGroup(", GroupName, ",2)]"}, ITEM_TIMEOUT) ||
        !SendCommand(channel, {"[ShowGroup(", GroupName, ",1)]"}, ITEM_TIMEOUT)) {
        CloseChannel(channel);
        return false;
    }
    for (const ProgramItem& item : ProgramItems) {
        SendCommand(channel, {"[DeleteItem(", item.caption, ")]"}, ITEM_TIMEOUT);
    }
    if (removeGroup) {
        OpenSecondConversation(channel);
        SendCommand(channel, {"[DeleteGroup(", GroupName, ")]"}, GROUP_TIMEOUT);
    }
    CloseChannel(channel);
    return true;
}
