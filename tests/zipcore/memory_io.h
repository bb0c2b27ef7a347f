// An archive in memory, and a sink that keeps what reaches it.
#ifndef TEST_MEMORY_IO_H
#define TEST_MEMORY_IO_H

#include <cstring>
#include <string>

#include "core/zip.h"

struct MemorySource : zip::Source {
    explicit MemorySource(const std::string& bytes) : bytes(bytes) {}
    uint64_t size() const override { return bytes.size(); }
    bool read(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset > bytes.size() || count > bytes.size() - offset)
            return false;
        memcpy(buffer, bytes.data() + offset, count);
        return true;
    }
    const std::string& bytes;
};

struct StringSink : zip::Sink {
    zip::Result write(const void* data, size_t count) override
    {
        out.append(static_cast<const char*>(data), count);
        return failWith;
    }
    std::string out;
    zip::Result failWith = zip::OK;
    uint64_t declared = 0;  // the size the member's entry gives
};

inline zip::Result Extract(const std::string& bytes, const std::string& name, const std::string& code, StringSink& sink)
{
    MemorySource source(bytes);
    zip::Entry entry;
    zip::Result result = zip::FindEntry(source, name.c_str(), &entry);
    sink.declared = entry.size;
    return result == zip::OK ? zip::ExtractEntry(source, entry, code.c_str(), sink) : result;
}

#endif
