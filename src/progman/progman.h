// Program Manager integration: the program group "Corvane" and its items,
// created and removed over a DDE conversation with the shell, or as files
// of the Start menu where no shell answers. It knows the state record and
// the log; it knows nothing of the flow, of the run's mode or of the
// dialog that offers the icons: its callers say whose boxes its failures
// go into and which way the group is made.
#ifndef CORVANE_PROGMAN_H
#define CORVANE_PROGMAN_H

#include <initializer_list>

#include "common/common.h"

// The service and topic Program Manager answers on. The operations take it
// as a parameter only so that tests can talk to a server of their own, or
// to none: under Wine the desktop shell always answers PROGMAN.
extern const char PROGMAN_SERVICE[];

// dde_channel.cpp: the one channel to Program Manager. Each operation
// opens its own and closes it before it returns.
struct ProgmanChannel {
    DWORD instance = 0;
    HSZ service = nullptr;          // the service and topic name
    HCONV conversation = nullptr;   // null when nobody answered
    HHOOK windowsMade = nullptr;    // lets the replies through to DDEML's windows
};
enum ChannelOpening {
    NO_DDEML,         // nothing was opened; nothing to close
    NO_SERVICE_NAME,  // only the instance: close it
    CHANNEL_OPEN,     // a conversation where somebody answered
};
ChannelOpening OpenChannel(ProgmanChannel& channel, const char* service);
// True when a conversation opens: a shell is there to take the commands.
bool ProgmanAnswers(const char* service = PROGMAN_SERVICE);
// One command, made of pieces, as a synchronous execute transaction. A
// command too long for its buffer is not sent and counts as failed.
bool SendCommand(const ProgmanChannel& channel, std::initializer_list<const char*> pieces, DWORD timeout);
// A second conversation on the same instance, in the first one's place
// when the server grants it; the first stays open until the channel is
// closed.
void OpenSecondConversation(ProgmanChannel& channel);
void CloseChannel(ProgmanChannel& channel);

// program_items.cpp: the group's name and the four items, in the order
// they are created. Nothing changes the names, so they are constants, not
// fields of the state record: the record holds only what a run changes,
// and starts all zero.
extern const char GroupName[];
extern const char ItemCaption[];  // the first item's caption
struct ProgramItem {
    const char* fileName;  // appended to TargetFolder as it stands
    const char* caption;
    const char* tail;      // IconPath, IconIndex, xPos, yPos, DefDir, HotKey, fMinimize
};
enum { PROGRAM_ITEMS = 4 };
extern const ProgramItem ProgramItems[PROGRAM_ITEMS];

// create_icons.cpp: what #135's "Create Icons" does over DDE.
bool ProgmanCreateGroup(HWND owner, const char* service = PROGMAN_SERVICE);
bool ProgmanAddItems(const char* service = PROGMAN_SERVICE);
bool QuoteTargetFile(const char* fileName, char* quoted);
// The group and, once it is made, the items; failures in boxes owned by
// `owner`.
void CreateIcons(HWND owner);

// remove_items.cpp
bool ProgmanRemoveItems(bool removeGroup, const char* service = PROGMAN_SERVICE);

// start_menu_group.cpp: the group as files, where no shell answers. The
// folder named after the group in the all-users Start menu, and the four
// items as shortcuts in it, as a shell makes them; true when all four were
// written.
bool WriteStartMenuGroup();
// The four shortcuts, by name, and with removeGroup the folder when that
// leaves it empty. Nothing else in it is touched.
void RemoveStartMenuGroup(bool removeGroup);

#endif
