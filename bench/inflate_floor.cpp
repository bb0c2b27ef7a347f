// The floor the library is measured against: for each named member of a
// plain archive, raw zlib inflate, CRC-32 and writes of the same data,
// with the same buffer sizes and nothing else. The core only finds where
// each member's data lies.
//
//   inflate_floor ARCHIVE FOLDER MEMBER...
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/zip.h"
#include "posix_file.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: inflate_floor ARCHIVE FOLDER MEMBER...\n");
        return 2;
    }
    int fd = open(argv[1], O_RDONLY);
    FileSource archive(fd);
    std::vector<unsigned char> in(zip::CHUNK), out(zip::CHUNK);
    for (int i = 3; i < argc; ++i) {
        zip::Entry entry;
        unsigned char local[30];
        if (zip::FindEntry(archive, argv[i], &entry) != zip::OK || entry.method != 8 ||
            !archive.read(entry.localHeader, local, 30))
            return 1;
        off_t at = static_cast<off_t>(entry.localHeader + 30 + (local[26] | local[27] << 8) +
                                      (local[28] | local[29] << 8));
        uint64_t left = entry.compressedSize;
        int target = open((std::string(argv[2]) + "/" + argv[i]).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        z_stream z = {};
        inflateInit2(&z, -MAX_WBITS);
        uLong crc = 0;
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            if (z.avail_in == 0) {
                size_t n = left < in.size() ? left : in.size();
                if (pread(fd, in.data(), n, at) != static_cast<ssize_t>(n))
                    return 1;
                at += n;
                left -= n;
                z.next_in = in.data();
                z.avail_in = static_cast<uInt>(n);
            }
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            status = inflate(&z, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END)
                return 1;
            size_t got = out.size() - z.avail_out;
            crc = crc32(crc, out.data(), static_cast<uInt>(got));
            if (write(target, out.data(), got) != static_cast<ssize_t>(got))
                return 1;
        }
        inflateEnd(&z);
        close(target);
        if (crc != entry.crc)
            return 1;
    }
    return 0;
}
