// CRC-32 of the output. zlib's table method runs at a few GB/s, a tenth of
// the extraction's time; where the processor multiplies without carries
// (PCLMULQDQ), the bulk is folded 64 bytes at a time instead, as in
// Intel's "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ
// Instruction", and zlib does the rest.
#include "zip.h"

#include <zlib.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define HAVE_FOLDING 1
#endif

namespace zip {
namespace {

#ifdef HAVE_FOLDING

// The bit-reflected constants of the paper for the polynomial 0x04C11DB7:
// x^(4*128+64) and x^(4*128) mod P (folding four blocks), x^(128+64) and
// x^128 mod P (one block), x^64 mod P, and P and Barrett's mu.
alignas(16) const uint64_t FOLD_BY_4[] = {0x0154442bd4, 0x01c6e41596};
alignas(16) const uint64_t FOLD_BY_1[] = {0x01751997d0, 0x00ccaa009e};
alignas(16) const uint64_t FOLD_TO_64[] = {0x0163cd6124, 0x0000000000};
alignas(16) const uint64_t BARRETT[] = {0x01db710641, 0x01f7011641};

#define FOLDING __attribute__((target("sse4.1,pclmul"), always_inline)) inline

FOLDING __m128i load(const uint8_t* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x folded forward by the distance k stands for, and added to next.
FOLDING __m128i fold_into(__m128i x, __m128i k, __m128i next)
{
    __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
    __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// The running CRC (not inverted) of `count` bytes, count a multiple of 16
// and at least 64.
__attribute__((target("sse4.1,pclmul"))) uint32_t fold(const uint8_t* p, size_t count, uint32_t crc)
{
    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
    p += 64;
    count -= 64;

    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(FOLD_BY_4));
    for (; count >= 64; p += 64, count -= 64) {
        x1 = fold_into(x1, k, load(p));
        x2 = fold_into(x2, k, load(p + 16));
        x3 = fold_into(x3, k, load(p + 32));
        x4 = fold_into(x4, k, load(p + 48));
    }

    k = _mm_load_si128(reinterpret_cast<const __m128i*>(FOLD_BY_1));
    x1 = fold_into(x1, k, x2);
    x1 = fold_into(x1, k, x3);
    x1 = fold_into(x1, k, x4);
    for (; count >= 16; p += 16, count -= 16)
        x1 = fold_into(x1, k, load(p));

    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(FOLD_TO_64));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), x2);
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(BARRETT));
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, low32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

// Asked of the processor each time: a few hundred cycles against a whole
// buffer's worth of CRC, and no state to keep.
bool can_fold()
{
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
}

#endif

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t count)
{
#ifdef HAVE_FOLDING
    if (count >= 64 && can_fold()) {
        size_t bulk = count & ~static_cast<size_t>(15);
        crc = ~fold(data, bulk, ~crc);
        data += bulk;
        count -= bulk;
    }
#endif
    return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(count)));
}

}  // namespace zip
