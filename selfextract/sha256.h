// SHA-256 (FIPS 180-4), for checking the carried files against the
// digests the build wrote beside them: computed here rather than asked of
// a cryptographic provider, which lives in DLLs that are no KnownDLLs.
#ifndef CORVANE_SHA256_H
#define CORVANE_SHA256_H

#include <stddef.h>
#include <stdint.h>

class Sha256 {
public:
    Sha256();
    void add(const void* data, size_t size);
    // The digest as 64 lower-case hexadecimal digits and a terminator.
    // The object is spent afterwards.
    void finish(char* hex);

private:
    void block(const uint8_t* data);

    uint32_t state_[8];
    uint64_t bytes_;      // added so far
    uint8_t pending_[64];  // the start of a block not yet complete
};

#endif
