// The core, natively, extracting the named members of an archive into a
// folder, as the library does: one member after the other, with a second
// thread for decrypting where the process may run on two processors.
//
//   zip_extract [--single-loop | --split] ARCHIVE FOLDER CODE MEMBER...   (CODE "-" for none)
//
// --single-loop gives the core no second thread, so that the two ways can
// be compared; --split gives it one even where the process may run on one
// processor only.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "core/zip.h"
#include "posix_file.h"

namespace {

class FileSink : public zip::Sink {
public:
    explicit FileSink(int fd) : fd_(fd) {}
    zip::Result write(const void* data, size_t count) override
    {
        const char* p = static_cast<const char*>(data);
        while (count) {
            ssize_t put = ::write(fd_, p, count);
            if (put <= 0)
                return zip::CANNOT_CREATE;
            p += put;
            count -= put;
        }
        return zip::OK;
    }

private:
    int fd_;
};

// The core's second thread, as the native build makes one.
class ThreadHelper : public zip::Helper {
public:
    bool start(void (*work)(void*), void* context) override
    {
        woken_[0] = woken_[1] = false;
        thread_ = std::thread(work, context);
        return true;
    }
    void join() override { thread_.join(); }
    void wait(int side) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return std::exchange(woken_[side], false); });
    }
    void wake(int side) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        woken_[side] = true;
        changed_.notify_all();
    }

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_[2] = {};
};

// The processors this process may run on, as taskset limits them.
int processors()
{
    cpu_set_t set;
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    bool single = argc > 1 && std::strcmp(argv[1], "--single-loop") == 0;
    bool split = argc > 1 && std::strcmp(argv[1], "--split") == 0;
    if (single || split) {
        --argc;
        ++argv;
    }
    if (argc < 5) {
        std::fprintf(stderr, "usage: zip_extract [--single-loop | --split] ARCHIVE FOLDER CODE MEMBER...\n");
        return 2;
    }
    int archiveFd = open(argv[1], O_RDONLY);
    if (archiveFd < 0)
        return 1;
    FileSource archive(archiveFd);
    std::string code = argv[3] == std::string("-") ? "" : argv[3];
    ThreadHelper threads;
    zip::Helper* helper = split || (!single && processors() > 1) ? &threads : nullptr;
    for (int i = 4; i < argc; ++i) {
        zip::Entry entry;
        zip::Result result = zip::FindEntry(archive, argv[i], &entry);
        if (result == zip::OK) {
            int out = open((std::string(argv[2]) + "/" + argv[i]).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            FileSink sink(out);
            result = out < 0 ? zip::CANNOT_CREATE : zip::ExtractEntry(archive, entry, code.c_str(), sink, helper);
            close(out);
        }
        if (result != zip::OK) {
            std::fprintf(stderr, "%s: result %d\n", argv[i], result);
            return 1;
        }
    }
    return 0;
}
