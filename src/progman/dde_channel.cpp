// The DDE channel to Program Manager: the DDEML instance, the name it
// answers on, the conversation and the commands, from opening to closing.
#include <string.h>

#include "progman/progman.h"
#include "system_dlls.h"

const char PROGMAN_SERVICE[] = "PROGMAN";

// The system's header declares DDEML's functions without saying that they
// are imported, so each call would go through a stub of the linker's;
// declared so, each is called through the import table, as the others are.
extern "C" {
__declspec(dllimport) UINT WINAPI DdeInitializeA(LPDWORD, PFNCALLBACK, DWORD, DWORD);
__declspec(dllimport) BOOL WINAPI DdeUninitialize(DWORD);
__declspec(dllimport) HSZ WINAPI DdeCreateStringHandleA(DWORD, LPCSTR, int);
__declspec(dllimport) BOOL WINAPI DdeFreeStringHandle(DWORD, HSZ);
__declspec(dllimport) HCONV WINAPI DdeConnect(DWORD, HSZ, HSZ, PCONVCONTEXT);
__declspec(dllimport) BOOL WINAPI DdeDisconnect(HCONV);
__declspec(dllimport) HDDEDATA WINAPI DdeCreateDataHandle(DWORD, LPBYTE, DWORD, DWORD, HSZ, UINT, UINT);
__declspec(dllimport) HDDEDATA WINAPI DdeClientTransaction(LPBYTE, DWORD, HCONV, HSZ, UINT, UINT, DWORD, LPDWORD);
__declspec(dllimport) UINT WINAPI DdeGetLastError(DWORD);
}

// Passed to every connection, which only reads it; all zero but its size.
static const CONVCONTEXT ConversationContext = { sizeof(CONVCONTEXT), 0, 0, 0, 0, 0, {} };
static_assert(sizeof(CONVCONTEXT) == 36, "the conversation context of Windows");

// The client handles no callback transaction.
static HDDEDATA CALLBACK ProgmanCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// The shell answers from the desktop's process, at the user's integrity
// level. Where the setup runs elevated, Windows lets such a process's
// messages through to its windows only as far as they allow (User
// Interface Privilege Isolation). The replies come to windows DDEML makes
// itself, on this thread, inside DdeInitialize and DdeConnect; a hook on
// this thread opens each to them as it is made. A system without the
// per-window filter opens the process to them; one without either has no
// such isolation. The lookups at run time let every system start.
static const UINT DDE_REPLIES[] = {WM_DDE_ACK, WM_DDE_DATA, WM_DDE_TERMINATE};
typedef BOOL(WINAPI* WindowFilterFunction)(HWND window, UINT message, DWORD action, void* status);
typedef BOOL(WINAPI* ProcessFilterFunction)(UINT message, DWORD action);

static void* user32(const char* name)
{
    return SystemFunction("USER32.DLL", name);
}

static LRESULT CALLBACK OpenToReplies(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto allow = reinterpret_cast<WindowFilterFunction>(user32("ChangeWindowMessageFilterEx"));
        for (UINT message : DDE_REPLIES)
            allow(reinterpret_cast<HWND>(wParam), message, MSGFLT_ALLOW, nullptr);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static void let_replies_through(ProgmanChannel& channel)
{
    if (user32("ChangeWindowMessageFilterEx")) {
        channel.windowsMade = SetWindowsHookExA(WH_CBT, OpenToReplies, nullptr, GetCurrentThreadId());
    } else if (auto allow = reinterpret_cast<ProcessFilterFunction>(user32("ChangeWindowMessageFilter"))) {
        for (UINT message : DDE_REPLIES)
            allow(message, MSGFLT_ADD);
    }
}

ChannelOpening OpenChannel(ProgmanChannel& channel, const char* service)
{
    channel = ProgmanChannel();
    let_replies_through(channel);
    if (DdeInitializeA(&channel.instance, ProgmanCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        LogLine("Program Manager: DDEML cannot be initialised");
        if (channel.windowsMade)
            UnhookWindowsHookEx(channel.windowsMade);
        channel = ProgmanChannel();
        return NO_DDEML;
    }
    channel.service = DdeCreateStringHandleA(channel.instance, service, CP_WINANSI);
    if (!channel.service) {
        DdeGetLastError(channel.instance);  // fetched and not used
        return NO_SERVICE_NAME;
    }
    channel.conversation = DdeConnect(channel.instance, channel.service, channel.service,
                                      const_cast<CONVCONTEXT*>(&ConversationContext));
    if (!channel.conversation)
        LogLine("Program Manager: nobody answers on %s", service);
    return CHANNEL_OPEN;
}

bool ProgmanAnswers(const char* service)
{
    ProgmanChannel channel;
    ChannelOpening opening = OpenChannel(channel, service);
    bool answers = opening == CHANNEL_OPEN && channel.conversation;
    if (opening != NO_DDEML)
        CloseChannel(channel);
    return answers;
}

// Fills a buffer of PATH_CHARS from pieces; false when they do not fit.
static bool compose(char* buffer, std::initializer_list<const char*> pieces)
{
    size_t length = 0;
    for (const char* text : pieces) {
        size_t piece = strlen(text);
        if (length + piece >= PATH_CHARS)
            return false;
        memcpy(buffer + length, text, piece);
        length += piece;
    }
    buffer[length] = '\0';
    return true;
}

// The command goes with its terminating zero. The transaction takes the
// data handle over; it is never freed here. A data handle that cannot be
// made fails the command: nothing is sent. Without a conversation the
// transaction fails.
bool SendCommand(const ProgmanChannel& channel, std::initializer_list<const char*> pieces, DWORD timeout)
{
    char command[PATH_CHARS];
    if (!compose(command, pieces)) {
        LogLine("Program Manager: a command too long for its buffer is not sent");
        return false;
    }
    HDDEDATA data = DdeCreateDataHandle(channel.instance, reinterpret_cast<LPBYTE>(command),
                                        static_cast<DWORD>(strlen(command) + 1), 0, nullptr, CF_TEXT, 0);
    DWORD result;
    if (!data || !DdeClientTransaction(reinterpret_cast<LPBYTE>(data), 0xFFFFFFFF, channel.conversation, nullptr, 0,
                                       XTYP_EXECUTE, timeout, &result)) {
        LogLine("Program Manager: %s failed (DDEML error 0x%x)", command, DdeGetLastError(channel.instance));
        return false;
    }
    LogLine("Program Manager: %s done", command);
    return true;
}

// Some DDEML implementations (Wine's) refuse a second conversation with the
// same partner on one instance: the first one then carries on.
void OpenSecondConversation(ProgmanChannel& channel)
{
    HCONV second =
        DdeConnect(channel.instance, channel.service, channel.service, const_cast<CONVCONTEXT*>(&ConversationContext));
    if (second)
        channel.conversation = second;
}

// Releasing the instance also ends a first conversation left open.
void CloseChannel(ProgmanChannel& channel)
{
    if (channel.conversation)
        DdeDisconnect(channel.conversation);
    if (channel.service)
        DdeFreeStringHandle(channel.instance, channel.service);
    DdeUninitialize(channel.instance);
    if (channel.windowsMade)
        UnhookWindowsHookEx(channel.windowsMade);
    channel = ProgmanChannel();
}
