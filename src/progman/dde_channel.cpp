// The DDE channel to Program Manager: each operation opens its own DDEML
// instance and conversation and releases them before it returns.
#include <string.h>

#include "driver/driver.h"
#include "progman/progman.h"

const char PROGMAN_SERVICE[] = "PROGMAN";

// Passed to every connection; all zero but its size.
CONVCONTEXT ConversationContext = { sizeof(CONVCONTEXT), 0, 0, 0, 0, 0, {} };
static_assert(sizeof(CONVCONTEXT) == 36, "the conversation context of 32-bit Windows");

// The client handles no callback transaction.
HDDEDATA CALLBACK ProgmanCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

bool ComposeCommand(char* buffer, const char* const* pieces, int count)
{
    size_t length = 0;
    for (int i = 0; i < count; ++i) {
        size_t piece = strlen(pieces[i]);
        if (length + piece >= PATH_CHARS) {
            buffer[0] = '\0';
            return false;
        }
        memcpy(buffer + length, pieces[i], piece);
        length += piece;
    }
    buffer[length] = '\0';
    return true;
}

// One command as a synchronous execute transaction, its terminating zero
// included. The transaction takes the data handle over; it is never freed
// here. The last error of a failure is fetched and not used.
bool DdeExecute(DWORD instance, HCONV conversation, const char* command, DWORD timeout)
{
    HDDEDATA data = DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(const_cast<char*>(command)),
                                        static_cast<DWORD>(strlen(command) + 1), 0, nullptr, CF_TEXT, 0);
    DWORD result;
    if (!DdeClientTransaction(reinterpret_cast<LPBYTE>(data), 0xFFFFFFFF, conversation, nullptr, 0, XTYP_EXECUTE,
                              timeout, &result)) {
        DdeGetLastError(instance);
        return false;
    }
    return true;
}
