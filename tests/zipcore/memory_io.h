// An archive in memory, a sink that keeps what reaches it, and a thread.
#ifndef TEST_MEMORY_IO_H
#define TEST_MEMORY_IO_H

#include <semaphore.h>
#include <atomic>
#include <chrono>

#include <cstring>
#include <string>
#include <thread>

#include "core/zip.h"

struct MemorySource : zip::Source {
    explicit MemorySource(const std::string& bytes) : bytes(bytes) {}
    uint64_t size() const override { return bytes.size(); }
    bool read(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset > bytes.size() || count > bytes.size() - offset || offset + count > readable)
            return false;
        memcpy(buffer, bytes.data() + offset, count);
        return true;
    }
    const std::string& bytes;
    uint64_t readable = ~0ull;  // reads past it fail, as of a file cut short
};

struct StringSink : zip::Sink {
    zip::Result write(const void* data, size_t count) override
    {
        out.append(static_cast<const char*>(data), count);
        std::this_thread::sleep_for(std::chrono::milliseconds(slowMs));
        return failWith;
    }
    std::string out;
    zip::Result failWith = zip::OK;
    uint64_t declared = 0;  // the size the member's entry gives
    int slowMs = 0;         // how long each write takes
};

// Counts the threads it started and joined; one left unjoined ends the program.
struct ThreadHelper : zip::Helper {
    ThreadHelper() { sem_init(&woken[0], 0, 0); sem_init(&woken[1], 0, 0); }
    bool start(void (*work)(void*), void* context) override { thread = std::thread(work, context); return ++started; }
    void join() override { thread.join(); ++joined; }
    void wait(int side) override { ++waits[side]; sem_wait(&woken[side]); }
    void wake(int side) override { sem_post(&woken[side]); }
    std::thread thread;
    sem_t woken[2];
    int started = 0, joined = 0;
    std::atomic<int> waits[2] = {};  // the inflating side's, then the decrypting side's
};

// With a helper, encrypted data is split from its first byte; the archive is cut to `readable` once found.
inline zip::Result Extract(const std::string& bytes, const std::string& name, const std::string& code, StringSink& sink,
                           zip::Helper* helper = nullptr, uint64_t readable = ~0ull)
{
    MemorySource source(bytes);
    zip::Entry entry;
    zip::Result result = zip::FindEntry(source, name.c_str(), &entry);
    sink.declared = entry.size;
    source.readable = readable;
    return result == zip::OK ? zip::ExtractEntry(source, entry, code.c_str(), sink, helper, 0) : result;
}

#endif
