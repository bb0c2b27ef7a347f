// The portable core of the unzip library: finds one member of a ZIP
// archive and streams it, decrypted, inflated and checked, into a sink.
// No platform calls: the archive comes through a Source and the output
// goes to a Sink. Memory stays the same whatever the member's size.
//
// Formats: methods stored (0) and deflate (8); sizes in a data descriptor
// (flag bit 3); traditional PKWARE encryption; archive comments; Zip64.
#ifndef ZIP_CORE_H
#define ZIP_CORE_H

#include <stddef.h>
#include <stdint.h>

namespace zip {

// Outcomes, numbered as the setup's table of the library's messages.
enum Result : int {
    OK = 0,
    UNEXPECTED_END = 2,       // the archive ends before its contents do
    BAD_STRUCTURE = 3,        // not a ZIP archive, or one that contradicts itself
    NO_MEMORY = 4,
    NOT_FOUND = 9,            // no member of that name
    CANNOT_CREATE = 28,       // the output file cannot be made or written
    CANNOT_OPEN = 29,         // the archive cannot be opened
    NO_FOLDER = 32,           // the target folder does not exist
    BAD_CRC = 39,             // the data is damaged
    UNKNOWN_ENCRYPTION = 41,  // encrypted otherwise than the traditional way
    UNKNOWN_METHOD = 42,      // compressed otherwise than stored or deflated
    BAD_PASSWORD = 44,        // bad or missing decrypt code
    BAD_REQUEST = 47,
    DISK_FULL = 50,
};

// Random access to the archive's bytes.
class Source {
public:
    virtual uint64_t size() const = 0;
    // Reads exactly `count` bytes at `offset`; false when it cannot.
    virtual bool read(uint64_t offset, void* buffer, size_t count) = 0;

protected:
    ~Source() = default;
};

// Where the member's bytes go, in order.
class Sink {
public:
    virtual Result write(const void* data, size_t count) = 0;

protected:
    ~Sink() = default;
};

// One member as its central directory entry describes it.
struct Entry {
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint64_t localHeader = 0;
    bool hasUnixTime = false;  // an extended timestamp: seconds since 1970, UTC
    int64_t unixTime = 0;
};

// Bytes of working memory the core takes at most while it runs.
enum : size_t { CHUNK = 128 * 1024 };

// Finds the member whose whole name equals `name`, ignoring the case of
// ASCII letters; the first one when there are several.
Result FindEntry(Source& archive, const char* name, Entry* entry);

// Streams the member into `sink`: decrypts it with `password` (empty for
// none), inflates it, and checks its size and CRC. The sink never gets a
// byte beyond the size the archive declares; an archive that would give
// more is refused.
Result ExtractEntry(Source& archive, const Entry& entry, const char* password, Sink& sink);

// Traditional PKWARE decryption.
class ZipCrypto {
public:
    explicit ZipCrypto(const char* password);
    // Decrypts in place, as one tight loop over the buffer.
    void decrypt(uint8_t* data, size_t count);

private:
    void update(uint8_t plain);
    uint32_t key0_, key1_, key2_;
};

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t count);

}  // namespace zip

#endif
