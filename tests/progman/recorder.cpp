#include "recorder.h"

#include <map>

static Recorder* g_recorder;  // the callback's way back; one at a time

Recorder::Recorder(const std::string& service, const std::string& refuse, const std::string& delay, DWORD delayMs)
    : service_(service), refuse_(refuse), delay_(delay), delayMs_(delayMs), server_([this] { serve(); })
{
    for (DWORD waited = 0; !ready_ && !stopped_ && waited < 10000; waited += 10)
        Sleep(10);
}

Recorder::~Recorder()
{
    PostThreadMessageA(thread_, WM_QUIT, 0, 0);
    server_.join();
}

void Recorder::serve()
{
    g_recorder = this;
    thread_ = GetCurrentThreadId();
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a queue, for the quit message
    if (DdeInitializeA(&instance_, callback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_REQUESTS | CBF_FAIL_POKES |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) == DMLERR_NO_ERROR) {
        name_ = DdeCreateStringHandleA(instance_, service_.c_str(), CP_WINANSI);
        ready_ = DdeNameService(instance_, name_, nullptr, DNS_REGISTER) != nullptr;
        while (ready_ && GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DdeNameService(instance_, name_, nullptr, DNS_UNREGISTER);
        DdeUninitialize(instance_);
    }
    stopped_ = true;
}

HDDEDATA CALLBACK Recorder::callback(UINT type, UINT, HCONV conversation, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR,
                                     ULONG_PTR)
{
    Recorder& r = *g_recorder;
    std::string event, command;
    if (type == XTYP_CONNECT)
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, r.name_) == 0));
    if (type == XTYP_CONNECT_CONFIRM || type == XTYP_DISCONNECT)
        event = type == XTYP_DISCONNECT ? "d" : "c";
    if (type == XTYP_EXECUTE) {
        std::string bytes(DdeGetData(data, nullptr, 0, 0), '\0');
        DdeGetData(data, reinterpret_cast<LPBYTE>(&bytes[0]), static_cast<DWORD>(bytes.size()), 0);
        command = bytes.substr(0, bytes.find('\0'));
        event = "x " + command + (bytes.size() == command.size() + 1 ? "" : " (not whole)");
    }
    if (event.empty())
        return nullptr;
    {
        std::lock_guard<std::mutex> hold(r.lock_);
        r.events_.emplace_back(conversation, event);
    }
    if (type != XTYP_EXECUTE)
        return nullptr;
    if (!r.delay_.empty() && command.find(r.delay_) != std::string::npos)
        Sleep(r.delayMs_);
    bool refused = !r.refuse_.empty() && command.find(r.refuse_) != std::string::npos;
    return reinterpret_cast<HDDEDATA>(refused ? DDE_FNOTPROCESSED : DDE_FACK);
}

// A handle can come back for a later conversation: the latest is meant.
std::vector<std::string> Recorder::transcript() const
{
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::string> lines;
    std::map<HCONV, int> numbers;
    int conversations = 0;
    for (const auto& e : events_) {
        if (e.second == "c")
            numbers[e.first] = ++conversations;
        lines.push_back(e.second.substr(0, 1) + std::to_string(numbers[e.first]) + e.second.substr(1));
    }
    return lines;
}

std::vector<std::string> Recorder::commands() const
{
    std::vector<std::string> list;
    for (const std::string& line : transcript())
        if (line[0] == 'x')
            list.push_back(line.substr(line.find(' ') + 1));
    return list;
}

static HDDEDATA CALLBACK no_callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

bool Recorder::answersProgman() const
{
    DWORD instance = 0;
    DdeInitializeA(&instance, no_callback, APPCMD_CLIENTONLY, 0);
    HSZ progman = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, progman, progman, nullptr);
    char probe[] = "[CorvaneProbe()]";
    DWORD result;
    if (conversation)
        DdeClientTransaction(reinterpret_cast<LPBYTE>(probe), sizeof probe, conversation, nullptr, CF_TEXT,
                             XTYP_EXECUTE, 2000, &result);
    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, progman);
    DdeUninitialize(instance);
    std::vector<std::string> list = commands();
    return !list.empty() && list.back() == probe;
}
