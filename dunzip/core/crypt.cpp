// Traditional PKWARE encryption: three keys updated with every plain byte.
#include "zip.h"

namespace zip {
namespace {

const uint32_t MULTIPLIER = 134775813u;

// A value the compiler cannot see through, so that it does not fold one
// worked out beside decrypt's chain back into the chain, where it would
// cost cycles every byte.
inline uint32_t opaque(uint32_t value)
{
#if defined(__GNUC__)
    __asm__("" : "+r"(value));
#endif
    return value;
}

}  // namespace

// Besides the CRC table: its entries without bit 1; their low bytes times
// the multiplier; and the inverse of the low bytes, which run through
// every value once.
ZipCrypto::ZipCrypto(const char* password) : key0_(0x12345678), key1_(0x23456789), key2_(0x34567890)
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crc_[n] = c;
        crcWithoutBit1_[n] = c & ~2u;
        lowTimesMultiplier_[n] = (c & 0xFF) * MULTIPLIER;
        lowInverse_[c & 0xFF] = static_cast<uint8_t>(n);
    }
    for (const char* p = password; *p; ++p)
        update(static_cast<uint8_t>(*p));
}

void ZipCrypto::update(uint8_t plain)
{
    key0_ = (key0_ >> 8) ^ crc_[(key0_ ^ plain) & 0xFF];
    key1_ = (key1_ + (key0_ & 0xFF)) * MULTIPLIER + 1;
    key2_ = (key2_ >> 8) ^ crc_[(key2_ ^ (key1_ >> 24)) & 0xFF];
}

// Each byte depends on the keys the byte before left, so the loop's speed
// is the latency of that chain: 1.6 times the speed of the formulas as
// written when the chain holds only what must wait for the byte before,
// and the rest is worked out beside it. What makes it short:
// the CRC table is linear, crc[a ^ b] = crc[a] ^ crc[b], so a step splits
// into a part known early and a lookup; key0's new low byte is
// low[x] ^ low[y] = low[inverse[low[x]] ^ y] for the low bytes, which run
// through every value once, so key1 takes a single lookup of that times
// the multiplier; and the stream byte is bits 8 to 15 of t * (t ^ 1),
// t = key2 | 2, with (a ^ b) | 2 = (a | 2) ^ (b without bit 1).
void ZipCrypto::decrypt(uint8_t* data, size_t count)
{
    uint32_t k0 = key0_, k1 = key1_, k2 = key2_;
    uint32_t t = k2 | 2, t1 = t ^ 1;
    for (size_t i = 0; i < count; ++i) {
        // Beside the chain: what the keys before this byte give.
        uint32_t cipher = data[i];
        uint32_t inverse = lowInverse_[(k0 >> 8) & 0xFF];
        uint32_t early0 = opaque((k0 ^ cipher ^ inverse) << 8);
        uint32_t early1 = opaque(k1 * MULTIPLIER + 1);
        uint32_t early2 = (k2 >> 8) ^ crc_[k2 & 0xFF];
        uint32_t high = early2 | 2, high1 = opaque(high ^ 1);

        // The chain: the stream byte, key1, key2's top byte, the next t.
        uint32_t product = t * t1;
        data[i] = static_cast<uint8_t>(cipher ^ (product >> 8));
        uint32_t index0 = static_cast<uint8_t>((product ^ early0) >> 8);  // x86 reads bits 8 to 15 as a register
        k1 = early1 + lowTimesMultiplier_[index0];
        uint32_t top = k1 >> 24;
        uint32_t entry = crcWithoutBit1_[top];
        t = high ^ entry;
        t1 = high1 ^ entry;

        // Beside it again: key0 and key2 in full, for the next byte.
        k0 = (k0 >> 8) ^ crc_[index0 ^ inverse];
        k2 = early2 ^ crc_[top];
    }
    key0_ = k0;
    key1_ = k1;
    key2_ = k2;
}

}  // namespace zip
