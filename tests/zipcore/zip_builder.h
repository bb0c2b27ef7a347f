// Builds ZIP archives in memory for the tests, well-formed or lying on
// purpose. Independent of the library: its own encryption, zlib's deflate.
#ifndef TEST_ZIP_BUILDER_H
#define TEST_ZIP_BUILDER_H

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testzip {

struct Member {
    std::string name;
    std::string data;
    uint16_t method = 8;          // 8 deflate, 0 stored, anything else as given
    std::string password;         // traditional encryption when not empty
    bool descriptor = false;      // CRC and sizes after the data (flag bit 3)
    bool zip64 = false;           // sizes and offset in a Zip64 extra field
    uint16_t dosTime = 0x6000;    // 12:00:00
    uint16_t dosDate = 0x2B28;    // 2001-09-08
    std::optional<uint32_t> unixTime;  // an extended timestamp
    uint16_t extraFlags = 0;
    // What the central directory claims instead of the truth. A claimed
    // size beyond 32 bits, for a member without `zip64`, goes alone into a
    // Zip64 extra field, as writers put only the values that need it.
    std::optional<uint64_t> claimedSize, claimedCompressed, claimedOffset;
    std::optional<uint32_t> claimedCrc;
};

struct Options {
    std::string comment;
    bool zip64End = false;        // Zip64 end record and locator
    std::optional<uint64_t> claimedDirectoryOffset;
};

inline uint32_t Crc(const std::string& data)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline std::string Deflate(const std::string& data)
{
    z_stream s = {};
    deflateInit2(&s, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 16, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// Traditional PKWARE encryption, written out once more for the tests.
class Encryptor {
public:
    explicit Encryptor(const std::string& password)
    {
        for (char c : password)
            update(static_cast<uint8_t>(c));
    }
    std::string encrypt(const std::string& plain)
    {
        std::string out = plain;
        for (char& c : out) {
            uint8_t p = static_cast<uint8_t>(c);
            c = static_cast<char>(p ^ key_byte());
            update(p);
        }
        return out;
    }
    // What a code makes of encrypted bytes, right or wrong.
    std::string decrypt(const std::string& cipher)
    {
        std::string out = cipher;
        for (char& c : out) {
            uint8_t p = static_cast<uint8_t>(static_cast<uint8_t>(c) ^ key_byte());
            c = static_cast<char>(p);
            update(p);
        }
        return out;
    }

private:
    uint8_t key_byte() const
    {
        uint16_t t = static_cast<uint16_t>(keys_[2] | 2);
        return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    }
    static uint32_t crc_byte(uint32_t crc, uint8_t b)
    {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        return crc;
    }
    void update(uint8_t p)
    {
        keys_[0] = crc_byte(keys_[0], p);
        keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
        keys_[2] = crc_byte(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
    }
    uint32_t keys_[3] = {0x12345678, 0x23456789, 0x34567890};
};

class Writer {
public:
    void u16(uint32_t v) { for (int i = 0; i < 2; ++i) out += static_cast<char>(v >> (8 * i)); }
    void u32(uint64_t v) { for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i)); }
    void u64(uint64_t v) { for (int i = 0; i < 8; ++i) out += static_cast<char>(v >> (8 * i)); }
    std::string out;
};

// The bytes an archive holds for a member's data: compressed, then
// encrypted behind its 12-byte header when it has a password.
inline std::string Body(const Member& m)
{
    std::string body = m.method == 8 ? Deflate(m.data) : m.data;
    if (m.password.empty())
        return body;
    std::string header(11, '\x5a');
    header += static_cast<char>(m.descriptor ? m.dosTime >> 8 : Crc(m.data) >> 24);
    return Encryptor(m.password).encrypt(header + body);
}

inline std::string Build(const std::vector<Member>& members, const Options& options = {})
{
    Writer zip;
    Writer central;
    for (const Member& m : members) {
        std::string body = Body(m);
        uint32_t crc = Crc(m.data);
        uint16_t flags = m.extraFlags;
        if (!m.password.empty())
            flags |= 1;
        if (m.descriptor)
            flags |= 8;
        uint64_t offset = zip.out.size();

        Writer timeExtra;
        if (m.unixTime) {
            timeExtra.u16(0x5455);
            timeExtra.u16(5);
            timeExtra.out += '\1';
            timeExtra.u32(*m.unixTime);
        }

        zip.u32(0x04034b50);
        zip.u16(m.zip64 ? 45 : 20);
        zip.u16(flags);
        zip.u16(m.method);
        zip.u16(m.dosTime);
        zip.u16(m.dosDate);
        zip.u32(m.descriptor ? 0 : crc);
        zip.u32(m.descriptor ? 0 : m.zip64 ? 0xFFFFFFFF : body.size());
        zip.u32(m.descriptor ? 0 : m.zip64 ? 0xFFFFFFFF : m.data.size());
        zip.u16(m.name.size());
        Writer localExtra;
        if (m.zip64) {
            localExtra.u16(1);
            localExtra.u16(16);
            localExtra.u64(m.data.size());
            localExtra.u64(body.size());
        }
        localExtra.out += timeExtra.out;
        zip.u16(localExtra.out.size());
        zip.out += m.name + localExtra.out + body;
        if (m.descriptor) {
            zip.u32(0x08074b50);
            zip.u32(crc);
            if (m.zip64) {
                zip.u64(body.size());
                zip.u64(m.data.size());
            } else {
                zip.u32(body.size());
                zip.u32(m.data.size());
            }
        }

        uint64_t size = m.claimedSize.value_or(m.data.size());
        uint64_t compressed = m.claimedCompressed.value_or(body.size());
        uint64_t where = m.claimedOffset.value_or(offset);
        bool bigSize = !m.zip64 && size >= 0xFFFFFFFF;
        Writer extra;
        if (m.zip64) {
            extra.u16(1);
            extra.u16(24);
            extra.u64(size);
            extra.u64(compressed);
            extra.u64(where);
        } else if (bigSize) {
            extra.u16(1);
            extra.u16(8);
            extra.u64(size);
        }
        extra.out += timeExtra.out;
        central.u32(0x02014b50);
        central.u16(0x031E);
        central.u16(m.zip64 ? 45 : 20);
        central.u16(flags);
        central.u16(m.method);
        central.u16(m.dosTime);
        central.u16(m.dosDate);
        central.u32(m.claimedCrc.value_or(crc));
        central.u32(m.zip64 ? 0xFFFFFFFF : compressed);
        central.u32(m.zip64 || bigSize ? 0xFFFFFFFF : size);
        central.u16(m.name.size());
        central.u16(extra.out.size());
        central.u16(0);
        central.u16(0);
        central.u16(0);
        central.u32(0);
        central.u32(m.zip64 ? 0xFFFFFFFF : where);
        central.out += m.name + extra.out;
    }

    uint64_t directoryOffset = options.claimedDirectoryOffset.value_or(zip.out.size());
    uint64_t directorySize = central.out.size();
    zip.out += central.out;
    if (options.zip64End) {
        uint64_t zip64Offset = zip.out.size();
        zip.u32(0x06064b50);
        zip.u64(44);
        zip.u16(45);
        zip.u16(45);
        zip.u32(0);
        zip.u32(0);
        zip.u64(members.size());
        zip.u64(members.size());
        zip.u64(directorySize);
        zip.u64(directoryOffset);
        zip.u32(0x07064b50);
        zip.u32(0);
        zip.u64(zip64Offset);
        zip.u32(1);
    }
    zip.u32(0x06054b50);
    zip.u16(0);
    zip.u16(0);
    zip.u16(options.zip64End ? 0xFFFF : members.size());
    zip.u16(options.zip64End ? 0xFFFF : members.size());
    zip.u32(options.zip64End ? 0xFFFFFFFF : directorySize);
    zip.u32(options.zip64End ? 0xFFFFFFFF : directoryOffset);
    zip.u16(options.comment.size());
    zip.out += options.comment;
    return zip.out;
}

}  // namespace testzip

#endif
