// Program Manager integration: the program group "Corvane" and its items,
// created and removed over a DDE conversation with the shell.
#ifndef CORVANE_PROGMAN_H
#define CORVANE_PROGMAN_H

#include <windows.h>

// The service and topic Program Manager answers on. The operations take it
// as a parameter only so that tests can talk to a server of their own, or
// to none: under Wine the desktop shell always answers PROGMAN.
extern const char PROGMAN_SERVICE[];

// dde_channel.cpp
HDDEDATA CALLBACK ProgmanCallback(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2,
                                  HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
bool DdeExecute(DWORD instance, HCONV conversation, const char* command, DWORD timeout);
extern CONVCONTEXT ConversationContext;

// make_default_group.cpp
int ProgmanCreateGroup(HWND owner, const char* service = PROGMAN_SERVICE);
int ProgmanAddItems(HWND owner, const char* service = PROGMAN_SERVICE);
bool QuoteTargetFile(const char* fileName);
// #135: the offer to create the program group and its items.
INT_PTR CALLBACK MakeDefaultGroup(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// remove_items.cpp
int ProgmanRemoveItems(HWND owner, int removeGroup, const char* service = PROGMAN_SERVICE);

// Fills a buffer of PATH_CHARS from pieces; false, and nothing sent, when
// they do not fit.
bool ComposeCommand(char* buffer, const char* const* pieces, int count);

#endif
