// An archive held in memory and a sink that collects, for the tests.
#ifndef TEST_MEMORY_IO_H
#define TEST_MEMORY_IO_H

#include <cstring>
#include <string>

#include "core/zip.h"

class MemorySource : public zip::Source {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    uint64_t size() const override { return bytes_.size(); }
    bool read(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            return false;
        memcpy(buffer, bytes_.data() + offset, count);
        return true;
    }

private:
    std::string bytes_;
};

class StringSink : public zip::Sink {
public:
    zip::Result write(const void* data, size_t count) override
    {
        if (failWith != zip::OK)
            return failWith;
        out.append(static_cast<const char*>(data), count);
        return zip::OK;
    }
    std::string out;
    zip::Result failWith = zip::OK;
};

// Finds and extracts one member; `out` gets whatever reached the sink.
inline zip::Result Extract(const std::string& archive, const char* name, const char* password, std::string* out,
                           zip::Entry* found = nullptr)
{
    MemorySource source(archive);
    zip::Entry entry;
    zip::Result result = zip::FindEntry(source, name, &entry);
    if (found)
        *found = entry;
    if (result != zip::OK)
        return result;
    StringSink sink;
    result = zip::ExtractEntry(source, entry, password, sink);
    *out = sink.out;
    return result;
}

#endif
