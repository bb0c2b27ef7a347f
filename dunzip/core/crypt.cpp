// Traditional PKWARE encryption: three keys updated with every plain byte.
#include "zip.h"

namespace zip {
namespace {

struct CrcTable {
    uint32_t entry[256];
    constexpr CrcTable() : entry()
    {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entry[n] = c;
        }
    }
};
constexpr CrcTable CRC;

inline uint32_t crc_step(uint32_t crc, uint8_t byte)
{
    return (crc >> 8) ^ CRC.entry[(crc ^ byte) & 0xFF];
}

inline uint8_t stream_byte(uint32_t key2)
{
    uint32_t t = (key2 | 2) & 0xFFFF;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

}  // namespace

ZipCrypto::ZipCrypto(const char* password) : key0_(0x12345678), key1_(0x23456789), key2_(0x34567890)
{
    for (const char* p = password; *p; ++p)
        update(static_cast<uint8_t>(*p));
}

void ZipCrypto::update(uint8_t plain)
{
    key0_ = crc_step(key0_, plain);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
    key2_ = crc_step(key2_, static_cast<uint8_t>(key1_ >> 24));
}

// Each byte depends on the keys the byte before left, so the loop's speed
// is the latency of that chain: keep the keys in registers, no calls.
void ZipCrypto::decrypt(uint8_t* data, size_t count)
{
    uint32_t k0 = key0_, k1 = key1_, k2 = key2_;
    for (size_t i = 0; i < count; ++i) {
        uint8_t plain = data[i] ^ stream_byte(k2);
        data[i] = plain;
        k0 = crc_step(k0, plain);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = crc_step(k2, static_cast<uint8_t>(k1 >> 24));
    }
    key0_ = k0;
    key1_ = k1;
    key2_ = k2;
}

}  // namespace zip
