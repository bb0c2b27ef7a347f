// The portable core of the unzip library: finds one member of a ZIP
// archive and streams it, decrypted, inflated and checked, into a sink.
// No platform calls: the archive comes through a Source and the output
// goes to a Sink. Memory stays the same whatever the member's size.
//
// Formats: methods stored (0) and deflate (8); sizes in a data descriptor
// (flag bit 3); traditional PKWARE encryption; archive comments; Zip64.
// It knows nothing of Windows, the request record or the setup.
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

// Random access to the archive's bytes. While a member is extracted on
// two threads, `read` is called from the helper's thread, and only there.
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

// A second thread, which the core cannot make itself: threads are the
// platform's, so the caller supplies one. wait and wake serve the two
// sides of the work, 0 and 1, each with a wake-up that is kept until its
// side waits: a wake that comes first makes the next wait return at once.
// A wait may also return without one; the core looks again. They are
// called only between a start that succeeded and its join.
class Helper {
public:
    // Runs work(context) on a thread of its own; false when none starts.
    virtual bool start(void (*work)(void*), void* context) = 0;
    // Returns once that work has returned and its thread is gone.
    virtual void join() = 0;
    virtual void wait(int side) = 0;
    virtual void wake(int side) = 0;

protected:
    ~Helper() = default;
};

// A member is read, and its output made, in pieces of PIECE bytes; the
// core's working memory is two of them, or RING_SLOTS + 1 while a member
// is extracted on two threads: a piece being inflated, one being
// decrypted, and one to take up the two sides' uneven pace. The end of
// the archive is searched in one window of CHUNK bytes, room for the
// longest comment. Test builds make the pieces small (ZIP_PIECE_BYTES), so
// that short inputs go round the ring.
#ifndef ZIP_PIECE_BYTES
#define ZIP_PIECE_BYTES (128 * 1024)
#endif
enum : size_t { CHUNK = 128 * 1024, PIECE = ZIP_PIECE_BYTES, RING_SLOTS = 3 };

// Encrypted members with at least this many bytes of data are decrypted on
// the helper's thread while the caller's inflates, checks and writes.
// Below it the overlap does not repay the thread: natively a thread is
// started and joined in tens of microseconds, but under Wine in 2.5 ms or
// more, and each piece handed over costs a round trip to its server. On
// two processors shared with other work, the split began to pay at about
// 1 MiB of data natively and 2 MiB under Wine. Plain members always take
// the single loop: reading is a few percent of their time, and with a
// second thread to read they came out no faster.
const uint64_t SPLIT_FROM = 2 * 1024 * 1024;

// Finds the member whose whole name equals `name`, ignoring the case of
// ASCII letters; the first one when there are several.
Result FindEntry(Source& archive, const char* name, Entry* entry);

// Streams the member into `sink`: decrypts it with `password` (empty for
// none), inflates it, and checks its size and CRC. The sink never gets a
// byte beyond the size the archive declares; an archive that would give
// more is refused. With a helper, an encrypted member of `splitFrom` bytes
// or more is decrypted on the helper's thread, which is joined before the
// call returns, whatever the outcome; the sink is written from the
// caller's thread only. Give a helper only where a second processor can
// run it: on one, the two threads would only take turns.
Result ExtractEntry(Source& archive, const Entry& entry, const char* password, Sink& sink, Helper* helper = nullptr,
                    uint64_t splitFrom = SPLIT_FROM);

// Traditional PKWARE decryption.
class ZipCrypto {
public:
    explicit ZipCrypto(const char* password);
    // Decrypts in place, as one tight loop over the buffer.
    void decrypt(uint8_t* data, size_t count);

private:
    void update(uint8_t plain);
    uint32_t key0_, key1_, key2_;
    // The CRC-32 table and what decrypt makes of it, made with each object
    // in a few microseconds: stored in the library, their 3 KiB would
    // leave it no room within its size.
    uint32_t crc_[256], crcWithoutBit1_[256], lowTimesMultiplier_[256];
    uint8_t lowInverse_[256];
};

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t count);

}  // namespace zip

#endif
