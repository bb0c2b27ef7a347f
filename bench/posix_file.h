// The archive as a file of this machine, for the benchmark's tools.
#ifndef BENCH_POSIX_FILE_H
#define BENCH_POSIX_FILE_H

#include <unistd.h>

#include "core/zip.h"

class FileSource : public zip::Source {
public:
    explicit FileSource(int fd) : fd_(fd), size_(static_cast<uint64_t>(lseek(fd, 0, SEEK_END))) {}
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, void* buffer, size_t count) override
    {
        char* p = static_cast<char*>(buffer);
        while (count) {
            ssize_t got = pread(fd_, p, count, static_cast<off_t>(offset));
            if (got <= 0)
                return false;
            p += got;
            offset += got;
            count -= got;
        }
        return true;
    }

private:
    int fd_;
    uint64_t size_;
};

#endif
