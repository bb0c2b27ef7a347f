// The core, natively, extracting the named members of an archive into a
// folder, as the library does: one member after the other.
//
//   zip_extract ARCHIVE FOLDER CODE MEMBER...     (CODE "-" for none)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: zip_extract ARCHIVE FOLDER CODE MEMBER...\n");
        return 2;
    }
    int archiveFd = open(argv[1], O_RDONLY);
    if (archiveFd < 0)
        return 1;
    FileSource archive(archiveFd);
    std::string code = argv[3] == std::string("-") ? "" : argv[3];
    for (int i = 4; i < argc; ++i) {
        zip::Entry entry;
        zip::Result result = zip::FindEntry(archive, argv[i], &entry);
        if (result == zip::OK) {
            int out = open((std::string(argv[2]) + "/" + argv[i]).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            FileSink sink(out);
            result = out < 0 ? zip::CANNOT_CREATE : zip::ExtractEntry(archive, entry, code.c_str(), sink);
            close(out);
        }
        if (result != zip::OK) {
            std::fprintf(stderr, "%s: result %d\n", argv[i], result);
            return 1;
        }
    }
    return 0;
}
