#include "recorder.h"

#include <fstream>
#include <sstream>

#include "robot.h"

namespace {

std::string unhex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

}  // namespace

Recorder::Recorder(const std::string& service, const std::vector<std::string>& options)
{
    static int count = 0;
    log_ = "C:\\progman-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count) + ".log";
    DeleteFileA(log_.c_str());
    std::string line = "\"" + robot::ProgramFolder() + "\\progman_server.exe\" \"" + log_ + "\" \"" + service + "\"";
    for (const std::string& option : options)
        line += " \"" + option + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    process_ = info.hProcess;
    CloseHandle(info.hThread);
    for (DWORD waited = 0; waited < 10000 && !ready_; waited += 20) {
        std::ifstream in(log_);
        std::string first;
        ready_ = std::getline(in, first) && first == "ready";
        if (!ready_)
            Sleep(20);
    }
}

Recorder::~Recorder()
{
    if (process_) {
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    DeleteFileA(log_.c_str());
}

std::vector<Recorder::Event> Recorder::events() const
{
    std::vector<Event> list;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Event e;
        std::string hex;
        fields >> e.kind >> e.conversation >> e.length >> hex;
        e.data = unhex(hex);
        if (e.kind != "ready")
            list.push_back(e);
    }
    return list;
}

std::vector<std::string> Recorder::commands() const
{
    std::vector<std::string> list;
    for (const Event& e : events())
        if (e.kind == "execute")
            list.push_back(e.data.substr(0, e.data.find('\0')));
    return list;
}
