// What #135's "Create Icons" does over DDE: the program group "Corvane"
// with its four items, one operation for the group, then, only when the
// group was made, one for the items.
#include <string.h>

#include "progman/progman.h"
#include "texts.h"

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
        ErrorBox(owner, IDS_DDEML_FAILED);
        return false;
    case NO_SERVICE_NAME:
        CloseChannel(channel);
        return false;
    case CHANNEL_OPEN:
        break;
    }
    // Without a conversation the command fails too. A group that was not
    // made must stop the items: they would go to whichever group is active.
    bool created = SendCommand(channel, {"[CreateGroup(", GroupName, ")]"}, GROUP_TIMEOUT);
    if (!created)
        ErrorBox(owner, IDS_GROUP_FAILED);
    CloseChannel(channel);
    return created;
}

// Adds the four items to the active group. A failed item is silent and the
// others are still sent. False only when the DDEML cannot be initialised.
bool ProgmanAddItems(const char* service)
{
    ProgmanChannel channel;
    if (OpenChannel(channel, service) == NO_DDEML)
        return false;
    if (channel.conversation) {
        for (const ProgramItem& item : ProgramItems) {
            char quoted[PATH_CHARS];
            // A command too long for its buffer is not sent, as if it had failed.
            if (QuoteTargetFile(item.fileName, quoted))
                SendCommand(channel, {"[AddItem(", quoted, ",", item.caption, item.tail}, ITEM_TIMEOUT);
        }
    }
    CloseChannel(channel);
    return true;
}

void CreateIcons(HWND owner)
{
    if (ProgmanCreateGroup(owner))
        ProgmanAddItems();
}
