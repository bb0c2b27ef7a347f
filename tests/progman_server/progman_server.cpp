// A Program Manager stand-in that writes down everything a client does.
//
//   progman_server.exe LOG [SERVICE] [--refuse=TEXT]... [--delay=TEXT:MS]...
//
// It registers the DDE service SERVICE (default PROGMAN) with the same
// name as its only topic, and appends to LOG, one line each:
//   ready                          once it answers
//   connect CONV                   a conversation began
//   execute CONV LENGTH HEX        a command: its length in bytes, as it
//                                  arrived (terminator included), and the
//                                  bytes in hex
//   disconnect CONV                a conversation ended
// A command that holds a --refuse text is refused; one that holds a --delay
// text is answered after that many milliseconds. The
// server ends when it is killed, or after five minutes.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Delay {
    std::string text;
    DWORD ms;
};

std::string g_log;
std::string g_service = "PROGMAN";
std::vector<std::string> g_refuse;
std::vector<Delay> g_delay;
DWORD g_instance;
HSZ g_name;

void log(const std::string& line)
{
    FILE* f = std::fopen(g_log.c_str(), "ab");
    if (!f)
        return;
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
}

std::string conversation_id(HCONV conversation)
{
    char id[32];
    std::snprintf(id, sizeof id, "%p", static_cast<void*>(conversation));
    return id;
}

bool starts_with(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

HDDEDATA CALLBACK callback(UINT type, UINT, HCONV conversation, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, g_name) == 0));
    case XTYP_CONNECT_CONFIRM:
        log("connect " + conversation_id(conversation));
        return nullptr;
    case XTYP_DISCONNECT:
        log("disconnect " + conversation_id(conversation));
        return nullptr;
    case XTYP_EXECUTE: {
        DWORD size = DdeGetData(data, nullptr, 0, 0);
        std::vector<unsigned char> bytes(size);
        DdeGetData(data, bytes.data(), size, 0);
        std::string hex;
        char digits[3];
        for (unsigned char b : bytes) {
            std::snprintf(digits, sizeof digits, "%02x", b);
            hex += digits;
        }
        log("execute " + conversation_id(conversation) + " " + std::to_string(size) + " " + hex);
        std::string command(bytes.begin(), bytes.end());
        for (const std::string& text : g_refuse)
            if (holds(command, text))
                return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
        for (const Delay& delay : g_delay)
            if (holds(command, delay.text))
                Sleep(delay.ms);
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: progman_server LOG [SERVICE] [--refuse=TEXT]... [--delay=TEXT:MS]...\n");
        return 2;
    }
    g_log = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (starts_with(arg, "--refuse=")) {
            g_refuse.push_back(arg.substr(9));
        } else if (starts_with(arg, "--delay=")) {
            size_t colon = arg.rfind(':');
            g_delay.push_back({arg.substr(8, colon - 8), static_cast<DWORD>(std::stoul(arg.substr(colon + 1)))});
        } else {
            g_service = arg;
        }
    }

    if (DdeInitializeA(&g_instance, callback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_REQUESTS | CBF_FAIL_POKES |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR)
        return 1;
    g_name = DdeCreateStringHandleA(g_instance, g_service.c_str(), CP_WINANSI);
    if (!DdeNameService(g_instance, g_name, nullptr, DNS_REGISTER))
        return 1;
    log("ready");

    SetTimer(nullptr, 0, 5 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageA(&msg);
    DdeNameService(g_instance, g_name, nullptr, DNS_UNREGISTER);
    DdeUninitialize(g_instance);
    return 0;
}
