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
    std::string name, data;
    uint16_t method = 8;      // 8 deflate, 0 stored, anything else as given
    std::string password;     // traditional encryption when not empty
    bool descriptor = false;  // CRC and sizes after the data (flag bit 3)
    bool zip64 = false;       // sizes and offset in Zip64 extra fields, and a Zip64 end record
    uint16_t dosTime = 0x6000, dosDate = 0x2B28, extraFlags = 0;  // 2001-09-08 12:00:00; flags of its own
    std::optional<uint32_t> unixTime;                             // an extended timestamp
    // What the central directory claims instead of the truth; a size beyond
    // 32 bits goes alone into a Zip64 field, as writers put only what needs it.
    std::optional<uint64_t> claimedSize, claimedCompressed, claimedOffset, claimedCrc;
};

inline uint32_t Crc(const std::string& s) { return crc32(0, reinterpret_cast<const Bytef*>(s.data()), s.size()); }

// Raw deflate: zlib's stream without its 2-byte header and 4-byte check.
inline std::string Deflate(const std::string& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), 6);
    return out.substr(2, size - 6);
}

// Traditional PKWARE encryption: what a code makes of bytes, either way.
inline std::string Crypt(const std::string& code, std::string bytes, bool encrypt)
{
    uint32_t keys[3] = {0x12345678, 0x23456789, 0x34567890};
    auto crc_byte = [](uint32_t crc, uint8_t b) { return ~static_cast<uint32_t>(crc32(~crc, &b, 1)); };
    auto update = [&keys, crc_byte](uint8_t plain) {
        keys[0] = crc_byte(keys[0], plain);
        keys[1] = (keys[1] + (keys[0] & 0xFF)) * 134775813u + 1;
        keys[2] = crc_byte(keys[2], static_cast<uint8_t>(keys[1] >> 24));
    };
    for (char c : code)
        update(static_cast<uint8_t>(c));
    for (char& c : bytes) {
        // Unsigned: the product of two 16-bit values overflows an int.
        const uint32_t t = (keys[2] | 2) & 0xFFFF;
        const uint8_t in = static_cast<uint8_t>(c), out = static_cast<uint8_t>(in ^ ((t * (t ^ 1)) >> 8));
        c = static_cast<char>(out);
        update(encrypt ? in : out);
    }
    return bytes;
}

inline std::string Le(uint64_t value, int bytes)
{
    return bytes ? static_cast<char>(value) + Le(value >> 8, bytes - 1) : "";
}
inline std::string U16(uint64_t value) { return Le(value, 2); }
inline std::string U32(uint64_t value) { return Le(value, 4); }
inline std::string U64(uint64_t value) { return Le(value, 8); }

// The bytes an archive holds for a member's data: compressed, then
// encrypted behind its 12-byte header when it has a password.
inline std::string Body(const Member& m)
{
    const std::string body = m.method == 8 ? Deflate(m.data) : m.data;
    const char check = static_cast<char>(m.descriptor ? m.dosTime >> 8 : Crc(m.data) >> 24);
    return m.password.empty() ? body : Crypt(m.password, std::string(11, '\x5a') + check + body, true);
}

inline std::string Build(const std::vector<Member>& members, const std::string& comment = "")
{
    std::string zip, central;
    bool z64 = false;
    for (const Member& m : members) {
        const std::string body = Body(m), time = m.unixTime ? U16(0x5455) + U16(5) + '\1' + U32(*m.unixTime) : "";
        const uint64_t crc = Crc(m.data), offset = m.claimedOffset.value_or(zip.size());
        const uint64_t size = m.claimedSize.value_or(m.data.size());
        const uint64_t compressed = m.claimedCompressed.value_or(body.size());
        const bool bigSize = !m.zip64 && size >= 0xFFFFFFFF;
        // The fields both headers have, from the version needed on.
        auto fields = [&m](uint64_t crc, uint64_t compressed, uint64_t size, const std::string& extra) {
            return U16(m.zip64 ? 45 : 20) + U16(m.extraFlags | (m.password.empty() ? 0 : 1) | (m.descriptor ? 8 : 0)) +
                   U16(m.method) + U16(m.dosTime) + U16(m.dosDate) + U32(crc) + U32(compressed) + U32(size) +
                   U16(m.name.size()) + U16(extra.size());
        };
        auto local = [&m](uint64_t value) { return m.descriptor ? 0 : m.zip64 ? 0xFFFFFFFF : value; };
        const std::string localExtra = (m.zip64 ? U16(1) + U16(16) + U64(m.data.size()) + U64(body.size()) : "") + time;
        const std::string extra = (m.zip64 ? U16(1) + U16(24) + U64(size) + U64(compressed) + U64(offset)
                                   : bigSize ? U16(1) + U16(8) + U64(size) : "") + time;
        zip += U32(0x04034b50) + fields(m.descriptor ? 0 : crc, local(body.size()), local(m.data.size()), localExtra) +
               m.name + localExtra + body;
        if (m.descriptor)
            zip += U32(0x08074b50) + U32(crc) + Le(body.size(), m.zip64 ? 8 : 4) + Le(m.data.size(), m.zip64 ? 8 : 4);
        central += U32(0x02014b50) + U16(0x031E) +
                   fields(m.claimedCrc.value_or(crc), m.zip64 ? 0xFFFFFFFF : compressed,
                          m.zip64 || bigSize ? 0xFFFFFFFF : size, extra) +
                   std::string(10, '\0') + U32(m.zip64 ? 0xFFFFFFFF : offset) + m.name + extra;
        z64 |= m.zip64;
    }
    const uint64_t count = members.size(), directorySize = central.size(), directory = zip.size();
    zip += central;
    if (z64)
        zip += U32(0x06064b50) + U64(44) + U16(45) + U16(45) + U64(0) + U64(count) + U64(count) + U64(directorySize) +
               U64(directory) + U32(0x07064b50) + U32(0) + U64(zip.size()) + U32(1);
    return zip + U32(0x06054b50) + U32(0) + U16(z64 ? 0xFFFF : count) + U16(z64 ? 0xFFFF : count) +
           U32(z64 ? 0xFFFFFFFF : directorySize) + U32(z64 ? 0xFFFFFFFF : directory) + U16(comment.size()) + comment;
}

}  // namespace testzip

#endif
