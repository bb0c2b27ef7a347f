// SHA-256 as FIPS 180-4 sets it out: 64-byte blocks, each through 64
// rounds, the message padded with a one bit, zeros and its length in bits.
#include "sha256.h"

namespace {

const uint32_t ROUND_CONSTANTS[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

const uint32_t INITIAL_STATE[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

uint32_t rotate(uint32_t word, int bits)
{
    return (word >> bits) | (word << (32 - bits));
}

}  // namespace

Sha256::Sha256() : bytes_(0)
{
    for (int i = 0; i < 8; ++i)
        state_[i] = INITIAL_STATE[i];
}

void Sha256::block(const uint8_t* data)
{
    uint32_t schedule[64];
    for (int i = 0; i < 16; ++i)
        schedule[i] = uint32_t(data[4 * i]) << 24 | uint32_t(data[4 * i + 1]) << 16 | uint32_t(data[4 * i + 2]) << 8 |
                      data[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
        uint32_t early = schedule[i - 15], late = schedule[i - 2];
        schedule[i] = schedule[i - 16] + (rotate(early, 7) ^ rotate(early, 18) ^ (early >> 3)) + schedule[i - 7] +
                      (rotate(late, 17) ^ rotate(late, 19) ^ (late >> 10));
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; ++i) {
        uint32_t first = h + (rotate(e, 6) ^ rotate(e, 11) ^ rotate(e, 25)) + ((e & f) ^ (~e & g)) +
                         ROUND_CONSTANTS[i] + schedule[i];
        uint32_t second = (rotate(a, 2) ^ rotate(a, 13) ^ rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + first;
        d = c;
        c = b;
        b = a;
        a = first + second;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void Sha256::add(const void* data, size_t size)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        size_t at = bytes_ % 64;
        if (at == 0 && size >= 64) {
            block(bytes);
            bytes += 64;
            size -= 64;
            bytes_ += 64;
            continue;
        }
        pending_[at] = *bytes++;
        --size;
        if (++bytes_ % 64 == 0)
            block(pending_);
    }
}

void Sha256::finish(char* hex)
{
    uint64_t bits = bytes_ * 8;
    uint8_t padding[72] = {0x80};
    size_t length = (bytes_ % 64 < 56 ? 56 : 120) - bytes_ % 64;
    for (int i = 0; i < 8; ++i)
        padding[length + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    add(padding, length + 8);
    static const char DIGITS[] = "0123456789abcdef";
    for (int i = 0; i < 32; ++i) {
        uint8_t byte = static_cast<uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
        hex[2 * i] = DIGITS[byte >> 4];
        hex[2 * i + 1] = DIGITS[byte & 15];
    }
    hex[64] = '\0';
}
