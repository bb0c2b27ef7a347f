// A Program Manager stand-in on a thread of this process: it answers a DDE
// service, writes down every conversation and command, and refuses or
// delays the commands that hold a given text.
#ifndef CORVANE_TEST_RECORDER_H
#define CORVANE_TEST_RECORDER_H

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Recorder {
public:
    explicit Recorder(const std::string& service, const std::string& refuse = "", const std::string& delay = "",
                      DWORD delayMs = 0);
    ~Recorder();

    bool ready() const { return ready_; }
    // "c1" a conversation began, "x1 COMMAND" a command arrived whole with
    // its terminator, "d1" it ended; conversations numbered as they began.
    std::vector<std::string> transcript() const;
    std::vector<std::string> commands() const;
    // A probe sent to PROGMAN reaches this server, not another (the desktop
    // shell answers PROGMAN too).
    bool answersProgman() const;

private:
    static HDDEDATA CALLBACK callback(UINT type, UINT, HCONV conversation, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR,
                                      ULONG_PTR);
    void serve();

    std::string service_, refuse_, delay_;
    DWORD delayMs_;
    DWORD instance_ = 0;
    volatile DWORD thread_ = 0;
    HSZ name_ = nullptr;
    volatile bool ready_ = false, stopped_ = false;
    mutable std::mutex lock_;
    std::vector<std::pair<HCONV, std::string>> events_;
    std::thread server_;
};

#endif
