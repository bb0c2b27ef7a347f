// Finding a member through the central directory, and streaming it out.
#include "zip.h"

#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <atomic>

namespace zip {
namespace {

const uint32_t LOCAL_HEADER = 0x04034b50;
const uint32_t CENTRAL_HEADER = 0x02014b50;
const uint32_t END_RECORD = 0x06054b50;
const uint32_t ZIP64_END_RECORD = 0x06064b50;
const uint32_t ZIP64_LOCATOR = 0x07064b50;

const size_t END_RECORD_SIZE = 22;
const size_t MAX_COMMENT = 0xFFFF;
const size_t ZIP64_LOCATOR_SIZE = 20;
const size_t ZIP64_END_RECORD_SIZE = 56;
const size_t CENTRAL_HEADER_SIZE = 46;
const size_t LOCAL_HEADER_SIZE = 30;
const size_t CRYPT_HEADER_SIZE = 12;

const uint16_t FLAG_ENCRYPTED = 1 << 0;
const uint16_t FLAG_DESCRIPTOR = 1 << 3;
const uint16_t FLAG_STRONG_ENCRYPTION = 1 << 6;
const uint16_t METHOD_STORED = 0;
const uint16_t METHOD_DEFLATE = 8;
const uint16_t METHOD_AES = 99;

const uint16_t EXTRA_ZIP64 = 0x0001;
const uint16_t EXTRA_TIMESTAMP = 0x5455;

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint64_t le64(const uint8_t* p)
{
    return le32(p) | static_cast<uint64_t>(le32(p + 4)) << 32;
}

// a + b, false when it does not fit 64 bits.
bool add(uint64_t a, uint64_t b, uint64_t* sum)
{
    *sum = a + b;
    return *sum >= a;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(const uint8_t* stored, size_t length, const char* name)
{
    if (strlen(name) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (lower(static_cast<char>(stored[i])) != lower(name[i]))
            return false;
    return true;
}

// A buffer from the heap, given back on every way out.
class Buffer {
public:
    explicit Buffer(size_t size) : data_(static_cast<uint8_t*>(malloc(size))), size_(size) {}
    ~Buffer() { free(data_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    uint8_t* data_;
    size_t size_;
};

// Reads the central directory through one window of the archive.
class Window {
public:
    Window(Source& archive, Buffer& buffer) : archive_(archive), buffer_(buffer) {}

    // The `count` bytes at `offset` (count at most 64 KiB), or null.
    const uint8_t* at(uint64_t offset, size_t count)
    {
        uint64_t end;
        if (!add(offset, count, &end) || end > archive_.size())
            return nullptr;
        if (!filled_ || offset < start_ || end > start_ + length_) {
            uint64_t left = archive_.size() - offset;
            length_ = left < buffer_.size() ? static_cast<size_t>(left) : buffer_.size();
            if (!archive_.read(offset, buffer_.data(), length_))
                return nullptr;
            start_ = offset;
            filled_ = true;
        }
        return buffer_.data() + (offset - start_);
    }

private:
    Source& archive_;
    Buffer& buffer_;
    uint64_t start_ = 0;
    size_t length_ = 0;
    bool filled_ = false;
};

struct Directory {
    uint64_t offset;
    uint64_t end;
};

// The end of central directory record, and the Zip64 one where present.
Result locate_directory(Source& archive, Buffer& buffer, Directory* directory)
{
    uint64_t size = archive.size();
    if (size < END_RECORD_SIZE)
        return BAD_STRUCTURE;
    size_t tail = size < END_RECORD_SIZE + MAX_COMMENT ? static_cast<size_t>(size) : END_RECORD_SIZE + MAX_COMMENT;
    uint64_t tailStart = size - tail;
    if (!archive.read(tailStart, buffer.data(), tail))
        return UNEXPECTED_END;

    // The last signature whose comment reaches exactly to the end of the
    // file; failing that, the last one whose comment fits at all.
    const uint8_t* record = nullptr;
    for (int pass = 0; pass < 2 && !record; ++pass) {
        for (size_t i = tail - END_RECORD_SIZE + 1; i-- > 0;) {
            const uint8_t* p = buffer.data() + i;
            if (le32(p) != END_RECORD)
                continue;
            size_t end = i + END_RECORD_SIZE + le16(p + 20);
            if (pass == 0 ? end == tail : end <= tail) {
                record = p;
                break;
            }
        }
    }
    if (!record)
        return BAD_STRUCTURE;
    uint64_t recordOffset = tailStart + (record - buffer.data());
    if (le16(record + 4) != 0 || le16(record + 6) != 0)
        return BAD_STRUCTURE;  // an archive split over several disks

    uint64_t directorySize = le32(record + 12);
    uint64_t directoryOffset = le32(record + 16);
    uint64_t directoryLimit = recordOffset;

    uint8_t locator[ZIP64_LOCATOR_SIZE];
    if (recordOffset >= ZIP64_LOCATOR_SIZE &&
        archive.read(recordOffset - ZIP64_LOCATOR_SIZE, locator, sizeof locator) && le32(locator) == ZIP64_LOCATOR) {
        uint64_t zip64Offset = le64(locator + 8);
        uint8_t zip64[ZIP64_END_RECORD_SIZE];
        uint64_t zip64End;
        if (!add(zip64Offset, ZIP64_END_RECORD_SIZE, &zip64End) || zip64End > recordOffset - ZIP64_LOCATOR_SIZE ||
            !archive.read(zip64Offset, zip64, sizeof zip64) || le32(zip64) != ZIP64_END_RECORD)
            return BAD_STRUCTURE;
        if (le32(zip64 + 16) != 0 || le32(zip64 + 20) != 0)
            return BAD_STRUCTURE;
        directorySize = le64(zip64 + 40);
        directoryOffset = le64(zip64 + 48);
        directoryLimit = zip64Offset;
    }

    uint64_t directoryEnd;
    if (!add(directoryOffset, directorySize, &directoryEnd) || directoryEnd > directoryLimit)
        return BAD_STRUCTURE;
    directory->offset = directoryOffset;
    directory->end = directoryEnd;
    return OK;
}

// The Zip64 and extended-timestamp fields of a central directory entry.
Result read_extra(const uint8_t* extra, size_t length, uint32_t size32, uint32_t compressed32, uint32_t local32,
                  Entry* entry)
{
    size_t at = 0;
    while (at + 4 <= length) {
        uint16_t id = le16(extra + at);
        size_t fieldLength = le16(extra + at + 2);
        const uint8_t* field = extra + at + 4;
        if (at + 4 + fieldLength > length)
            break;  // a last field cut short carries nothing we rely on
        if (id == EXTRA_ZIP64) {
            // Only the values whose 32-bit field is all ones are here, in
            // this order.
            size_t used = 0;
            uint64_t* targets[] = { &entry->size, &entry->compressedSize, &entry->localHeader };
            uint32_t fields[] = { size32, compressed32, local32 };
            for (int i = 0; i < 3; ++i) {
                if (fields[i] != 0xFFFFFFFF)
                    continue;
                if (used + 8 > fieldLength)
                    return BAD_STRUCTURE;
                *targets[i] = le64(field + used);
                used += 8;
            }
        } else if (id == EXTRA_TIMESTAMP && fieldLength >= 5 && (field[0] & 1)) {
            entry->hasUnixTime = true;
            entry->unixTime = static_cast<int32_t>(le32(field + 1));
        }
        at += 4 + fieldLength;
    }
    return OK;
}

}  // namespace

Result FindEntry(Source& archive, const char* name, Entry* entry)
{
    Buffer buffer(CHUNK);
    if (!buffer)
        return NO_MEMORY;
    Directory directory;
    Result located = locate_directory(archive, buffer, &directory);
    if (located != OK)
        return located;

    Window window(archive, buffer);
    uint64_t at = directory.offset;
    while (at < directory.end) {
        uint64_t headerEnd;
        if (!add(at, CENTRAL_HEADER_SIZE, &headerEnd) || headerEnd > directory.end)
            return BAD_STRUCTURE;
        const uint8_t* header = window.at(at, CENTRAL_HEADER_SIZE);
        if (!header || le32(header) != CENTRAL_HEADER)
            return BAD_STRUCTURE;
        size_t nameLength = le16(header + 28);
        size_t extraLength = le16(header + 30);
        size_t commentLength = le16(header + 32);
        uint64_t next = headerEnd + nameLength + extraLength + commentLength;
        if (next > directory.end)
            return BAD_STRUCTURE;

        Entry found;
        found.flags = le16(header + 8);
        found.method = le16(header + 10);
        found.dosTime = le16(header + 12);
        found.dosDate = le16(header + 14);
        found.crc = le32(header + 16);
        uint32_t compressed32 = le32(header + 20);
        uint32_t size32 = le32(header + 24);
        uint16_t disk = le16(header + 34);
        uint32_t local32 = le32(header + 42);

        const uint8_t* storedName = window.at(headerEnd, nameLength);
        if (!storedName)
            return BAD_STRUCTURE;
        if (same_name(storedName, nameLength, name)) {
            found.compressedSize = compressed32;
            found.size = size32;
            found.localHeader = local32;
            const uint8_t* extra = window.at(headerEnd + nameLength, extraLength);
            if (!extra)
                return BAD_STRUCTURE;
            Result result = read_extra(extra, extraLength, size32, compressed32, local32, &found);
            if (result != OK)
                return result;
            if (disk != 0 && disk != 0xFFFF)
                return BAD_STRUCTURE;
            *entry = found;
            return OK;
        }
        at = next;
    }
    return NOT_FOUND;
}

namespace {

// The pieces between the two sides of a split extraction: the side that
// reads and decrypts, on the helper's thread, runs ahead of the side that
// inflates by up to RING_SLOTS pieces. They are cut where the single loop
// cuts its reads, so that a read that fails is met at the same point of
// the data, and the same code comes out. The last piece carries the end of
// the data, or the read that failed.
class Ring {
public:
    Ring(Source& archive, ZipCrypto& crypto, Helper* helper, uint8_t* memory)
        : archive_(archive), crypto_(crypto), helper_(helper), memory_(memory)
    {
    }

    bool start(uint64_t offset, uint64_t count)
    {
        offset_ = offset;
        left_ = count;
        return helper_->start(&Ring::run, this);
    }

    // The next piece, decrypted; the one taken before is given back.
    Result take(const uint8_t** data, size_t* got)
    {
        uint32_t at = consumed_.load(std::memory_order_relaxed);
        if (holding_ && !last_) {
            consumed_.store(++at);
            notify(PRODUCER);
        }
        await(CONSUMER, [&] { return produced_.load() != at; });
        const Piece& piece = pieces_[at % RING_SLOTS];
        holding_ = true;
        last_ = piece.length == 0 || piece.result != OK;
        *data = memory_ + at % RING_SLOTS * PIECE;
        *got = piece.length;
        return piece.result;
    }

    // Stops the decrypting side wherever it is, and waits for its thread.
    void stop()
    {
        stop_.store(true);
        notify(PRODUCER);
        helper_->join();
    }

private:
    enum Side { CONSUMER, PRODUCER };

    struct Piece {
        size_t length;
        Result result;
    };

    static void run(void* self) { static_cast<Ring*>(self)->produce(); }

    void produce()
    {
        for (uint32_t at = 0;; ++at) {
            await(PRODUCER, [&] { return stop_.load() || at - consumed_.load() < RING_SLOTS; });
            if (stop_.load())
                return;
            Piece& piece = pieces_[at % RING_SLOTS];
            uint8_t* data = memory_ + at % RING_SLOTS * PIECE;
            piece.length = left_ < PIECE ? static_cast<size_t>(left_) : PIECE;
            piece.result = piece.length && !archive_.read(offset_, data, piece.length) ? UNEXPECTED_END : OK;
            if (piece.result == OK)
                crypto_.decrypt(data, piece.length);
            offset_ += piece.length;
            left_ -= piece.length;
            produced_.store(at + 1);
            notify(CONSUMER);
            if (piece.length == 0 || piece.result != OK)
                return;
        }
    }

    // A side marks itself asleep before it looks a last time, and the
    // other looks for the mark after it moves its counter; both in one
    // order for all threads, so that one of them sees the other and no
    // wake-up is lost. A wake-up that finds its side awake already is
    // kept, and only makes the next wait look again.
    template <typename Ready>
    void await(Side side, Ready ready)
    {
        while (!ready()) {
            asleep_[side].store(true);
            if (!ready())
                helper_->wait(side);
            asleep_[side].store(false);
        }
    }

    void notify(Side side)
    {
        if (asleep_[side].load())
            helper_->wake(side);
    }

    Source& archive_;
    ZipCrypto& crypto_;
    Helper* helper_;
    uint8_t* memory_;
    Piece pieces_[RING_SLOTS];
    uint64_t offset_ = 0, left_ = 0;  // the decrypting side's own
    bool holding_ = false, last_ = false;  // the inflating side's own
    std::atomic<uint32_t> produced_{0}, consumed_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> asleep_[2] = {};
};

// Streams `count` archive bytes from `offset` through decryption, when
// there is a code, into the stored or inflated output: all in one loop,
// or taking the data as a ring decrypts it on another thread.
class Extraction {
public:
    Extraction(Source& archive, const Entry& entry, Sink& sink, Buffer& in, Buffer& out, Ring* ring)
        : archive_(archive), entry_(entry), sink_(sink), in_(in), out_(out), ring_(ring)
    {
    }

    Result run(uint64_t offset, uint64_t count, ZipCrypto* crypto)
    {
        offset_ = offset;
        left_ = count;
        crypto_ = crypto;
        Result result = entry_.method == METHOD_STORED ? copy() : inflate_all();
        if (result != OK)
            return result;
        if (produced_ != entry_.size)
            return wrong_size();
        if (crc_ != entry_.crc)
            return damaged();
        return OK;
    }

private:
    // With a code, damaged data most likely means the wrong code: its check
    // byte matches one time in 256.
    Result damaged() const { return crypto_ ? BAD_PASSWORD : BAD_CRC; }

    // Data that inflates to another size than declared: an archive that
    // contradicts itself, or, with a code, as likely the garbage of a wrong
    // code that passed the check.
    Result wrong_size() const { return crypto_ ? BAD_PASSWORD : BAD_STRUCTURE; }

    // The next piece of archive data, decrypted; 0 bytes at the end.
    Result fill(const uint8_t** data, size_t* got)
    {
        size_t n = left_ < PIECE ? static_cast<size_t>(left_) : PIECE;
        if (ring_) {
            Result result = ring_->take(data, &n);
            if (result != OK)
                return result;
        } else {
            if (n && !archive_.read(offset_, in_.data(), n))
                return UNEXPECTED_END;
            if (crypto_)
                crypto_->decrypt(in_.data(), n);
            *data = in_.data();
        }
        offset_ += n;
        left_ -= n;
        *got = n;
        return OK;
    }

    Result emit(const uint8_t* data, size_t count)
    {
        if (count > entry_.size - produced_)
            return wrong_size();  // more than the archive declares
        crc_ = Crc32(crc_, data, count);
        produced_ += count;
        return sink_.write(data, count);
    }

    Result copy()
    {
        if (left_ != entry_.size)
            return BAD_STRUCTURE;
        while (left_) {
            const uint8_t* data;
            size_t got;
            Result result = fill(&data, &got);
            if (result == OK)
                result = emit(data, got);
            if (result != OK)
                return result;
        }
        return OK;
    }

    Result inflate_all()
    {
        z_stream stream = {};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return NO_MEMORY;
        Result result = OK;
        for (int status = Z_OK; status != Z_STREAM_END && result == OK;) {
            if (stream.avail_in == 0) {
                const uint8_t* data;
                size_t got;
                result = fill(&data, &got);
                if (result != OK)
                    break;
                if (got == 0) {
                    result = damaged();  // the stream needs more than the archive holds
                    break;
                }
                stream.next_in = const_cast<uint8_t*>(data);
                stream.avail_in = static_cast<uInt>(got);
            }
            // One byte of room beyond the declared size shows an archive
            // that would give more than it says. Counted without adding
            // the byte first: a declared size of 2^64-1 would wrap the room
            // to none, and inflate would never move again.
            uint64_t left = entry_.size - produced_;
            size_t space = left < out_.size() ? static_cast<size_t>(left) + 1 : out_.size();
            stream.next_out = out_.data();
            stream.avail_out = static_cast<uInt>(space);
            status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_MEM_ERROR)
                result = NO_MEMORY;
            else if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                result = damaged();
            else
                result = emit(out_.data(), space - stream.avail_out);
        }
        inflateEnd(&stream);
        return result;
    }

    Source& archive_;
    const Entry& entry_;
    Sink& sink_;
    Buffer& in_;
    Buffer& out_;
    Ring* ring_;
    ZipCrypto* crypto_ = nullptr;
    uint64_t offset_ = 0;
    uint64_t left_ = 0;
    uint64_t produced_ = 0;
    uint32_t crc_ = 0;
};

}  // namespace

Result ExtractEntry(Source& archive, const Entry& entry, const char* password, Sink& sink, Helper* helper,
                    uint64_t splitFrom)
{
    bool encrypted = entry.flags & FLAG_ENCRYPTED;
    if (entry.method == METHOD_AES || (encrypted && (entry.flags & FLAG_STRONG_ENCRYPTION)))
        return UNKNOWN_ENCRYPTION;
    if (entry.method != METHOD_STORED && entry.method != METHOD_DEFLATE)
        return UNKNOWN_METHOD;

    uint8_t local[LOCAL_HEADER_SIZE];
    uint64_t headerEnd;
    if (!add(entry.localHeader, LOCAL_HEADER_SIZE, &headerEnd) || headerEnd > archive.size())
        return UNEXPECTED_END;
    if (!archive.read(entry.localHeader, local, sizeof local))
        return UNEXPECTED_END;
    if (le32(local) != LOCAL_HEADER)
        return BAD_STRUCTURE;
    uint64_t dataStart = headerEnd + le16(local + 26) + le16(local + 28);
    uint64_t dataEnd;
    if (!add(dataStart, entry.compressedSize, &dataEnd))
        return BAD_STRUCTURE;
    if (dataEnd > archive.size())
        return UNEXPECTED_END;

    uint64_t count = entry.compressedSize;
    ZipCrypto crypto(password);
    if (encrypted) {
        if (!*password)
            return BAD_PASSWORD;
        if (count < CRYPT_HEADER_SIZE)
            return BAD_STRUCTURE;
        uint8_t header[CRYPT_HEADER_SIZE];
        if (!archive.read(dataStart, header, sizeof header))
            return UNEXPECTED_END;
        crypto.decrypt(header, sizeof header);
        // The header's last byte checks the code: the CRC's top byte, or,
        // when the CRC came after the data, the time's.
        uint8_t check = entry.flags & FLAG_DESCRIPTOR ? static_cast<uint8_t>(le16(local + 10) >> 8)
                                                      : static_cast<uint8_t>(entry.crc >> 24);
        if (header[CRYPT_HEADER_SIZE - 1] != check)
            return BAD_PASSWORD;
        dataStart += CRYPT_HEADER_SIZE;
        count -= CRYPT_HEADER_SIZE;
    }

    bool split = encrypted && helper && count >= splitFrom;
    // Memory the system will not give for the ring is no failure either:
    // the single loop needs a third of it.
    Buffer ringMemory(split ? size_t(RING_SLOTS * PIECE) : 0);
    split = split && ringMemory;
    Buffer loopMemory(split ? 0 : size_t(PIECE)), out(PIECE);
    Buffer& in = split ? ringMemory : loopMemory;
    if (!in || !out)
        return NO_MEMORY;
    // A thread the system will not give is no failure: the single loop
    // does the same work.
    Ring ring(archive, crypto, helper, in.data());
    split = split && ring.start(dataStart, count);
    Extraction extraction(archive, entry, sink, in, out, split ? &ring : nullptr);
    Result result = extraction.run(dataStart, count, encrypted ? &crypto : nullptr);
    if (split)
        ring.stop();
    return result;
}

}  // namespace zip
