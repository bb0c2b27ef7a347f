// The request record of the unzip library DUNZIP32.DLL and its export.
// A wire format: every byte is fixed, little-endian, 32-bit addresses.
// The library gives the constant fields their meaning; the setup only
// has to set them as below.
#ifndef CORVANE_UNZIP_REQUEST_H
#define CORVANE_UNZIP_REQUEST_H

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)
struct UnzipRequest {
    int32_t length;            //   0: 142, the record's own size
    int32_t fixed4;            //   4: 8
    const char* archive;       //   8: the distribution archive
    int32_t unused12;          //  12: 0
    const char* member;        //  16: the file to extract
    int32_t fixed20;           //  20: -1
    const char* folder;        //  24: the folder to extract into
    int32_t unused28;          //  28: 0
    int32_t unused32;          //  32: 0
    int32_t fixed36;           //  36: 1
    int32_t fixed40;           //  40: 1
    int32_t unused44;          //  44: 0
    int32_t fixed48;           //  48: 1
    int32_t unused52;          //  52: 0
    int32_t fixed56;           //  56: 1
    int32_t unused60[8];       //  60: 0
    int32_t fixed92;           //  92: 1
    const char* decryptCode;   //  96: passed even when empty
    int32_t unused100;         // 100: 0
    uint8_t unused104[38];     // 104: 0 to the end
};
#pragma pack(pop)

static_assert(sizeof(UnzipRequest) == 142, "the library expects 142 bytes");
static_assert(offsetof(UnzipRequest, fixed4) == 4, "layout");
static_assert(offsetof(UnzipRequest, archive) == 8, "layout");
static_assert(offsetof(UnzipRequest, unused12) == 12, "layout");
static_assert(offsetof(UnzipRequest, member) == 16, "layout");
static_assert(offsetof(UnzipRequest, fixed20) == 20, "layout");
static_assert(offsetof(UnzipRequest, folder) == 24, "layout");
static_assert(offsetof(UnzipRequest, unused28) == 28, "layout");
static_assert(offsetof(UnzipRequest, unused32) == 32, "layout");
static_assert(offsetof(UnzipRequest, fixed36) == 36, "layout");
static_assert(offsetof(UnzipRequest, fixed40) == 40, "layout");
static_assert(offsetof(UnzipRequest, unused44) == 44, "layout");
static_assert(offsetof(UnzipRequest, fixed48) == 48, "layout");
static_assert(offsetof(UnzipRequest, unused52) == 52, "layout");
static_assert(offsetof(UnzipRequest, fixed56) == 56, "layout");
static_assert(offsetof(UnzipRequest, unused60) == 60, "layout");
static_assert(offsetof(UnzipRequest, fixed92) == 92, "layout");
static_assert(offsetof(UnzipRequest, decryptCode) == 96, "layout");
static_assert(offsetof(UnzipRequest, unused100) == 100, "layout");
static_assert(offsetof(UnzipRequest, unused104) == 104, "layout");

// The library's one export, bound when the program loads. 0: the member
// was extracted; positive: a message index, the copying goes on;
// negative: a failure that stops the copying.
extern "C" int __stdcall dunzip(const UnzipRequest* request);

#endif
