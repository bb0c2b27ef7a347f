// Runs the recording Program Manager stand-in (progman_server.exe) for a
// test and reads back what it wrote down.
#ifndef CORVANE_TEST_RECORDER_H
#define CORVANE_TEST_RECORDER_H

#include <windows.h>

#include <string>
#include <vector>

class Recorder {
public:
    struct Event {
        std::string kind;          // connect, execute, disconnect
        std::string conversation;  // the server's handle of the conversation
        size_t length = 0;         // of an execute's data, in bytes
        std::string data;          // an execute's bytes, terminator included
    };

    // Starts the server on `service` with its options (--refuse=..., --delay=...).
    explicit Recorder(const std::string& service, const std::vector<std::string>& options = {});
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    bool ready() const { return ready_; }
    std::vector<Event> events() const;
    // The executed commands, as text without their terminator.
    std::vector<std::string> commands() const;

private:
    std::string log_;
    HANDLE process_ = nullptr;
    bool ready_ = false;
};

#endif
