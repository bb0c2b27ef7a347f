// The request record of the unzip library DUNZIP32.DLL and its export.
// A wire format: every byte is fixed, little-endian, packed without
// padding. On 32-bit Windows the four addresses take 4 bytes and the
// record 142; on 64-bit Windows they take 8, which moves every later
// field and makes the record 158. The length field tells the layouts
// apart: each library accepts only its own. The library gives the
// constant fields their meaning; the setup only has to set them as below.
#ifndef CORVANE_UNZIP_REQUEST_H
#define CORVANE_UNZIP_REQUEST_H

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)
struct UnzipRequest {                                     // Win32  Win64
    int32_t length;            // the record's own size        0      0
    int32_t eight;             // 8                            4      4
    const char* archive;       // the distribution archive     8      8
    int32_t zero1;             //                             12     16
    const char* member;        // the file to extract         16     20
    int32_t allOnes;           // -1                          20     28
    const char* folder;        // the folder to extract into  24     32
    int32_t zero2;             //                             28     40
    int32_t zero3;             //                             32     44
    int32_t one1;              // 1                           36     48
    int32_t one2;              // 1                           40     52
    int32_t zero4;             //                             44     56
    int32_t one3;              // 1                           48     60
    int32_t zero5;             //                             52     64
    int32_t one4;              // 1                           56     68
    int32_t zeros[8];          //                             60     72
    int32_t one5;              // 1                           92    104
    const char* decryptCode;   // passed even when empty      96    108
    int32_t zero6;             //                            100    116
    uint8_t tail[38];          // zero to the end            104    120
};
#pragma pack(pop)

// Every offset past an address moves by the bytes an address takes beyond
// four: once past the archive, twice past the member, three times past the
// folder, four times past the decrypt code.
constexpr size_t UNZIP_WIDE = sizeof(void*) - 4;
constexpr size_t UNZIP_REQUEST_BYTES = 142 + 4 * UNZIP_WIDE;

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "32-bit or 64-bit addresses");
static_assert(sizeof(UnzipRequest) == UNZIP_REQUEST_BYTES, "142 bytes on Win32, 158 on Win64");
static_assert(offsetof(UnzipRequest, eight) == 4, "layout");
static_assert(offsetof(UnzipRequest, archive) == 8, "layout");
static_assert(offsetof(UnzipRequest, zero1) == 12 + UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, member) == 16 + UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, allOnes) == 20 + 2 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, folder) == 24 + 2 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, zero2) == 28 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, zero3) == 32 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, one1) == 36 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, one2) == 40 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, zero4) == 44 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, one3) == 48 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, zero5) == 52 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, one4) == 56 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, zeros) == 60 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, one5) == 92 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, decryptCode) == 96 + 3 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, zero6) == 100 + 4 * UNZIP_WIDE, "layout");
static_assert(offsetof(UnzipRequest, tail) == 104 + 4 * UNZIP_WIDE, "layout");

// The library extracts each member into a temporary file of its own in
// the target folder, named "~dz" and 8 hexadecimal digits, ".tmp",
// and only then puts it in the member's place. Its path must fit the
// platform's MAX_PATH as the members' paths must, so the setup counts it
// when it checks a folder's length.
#define UNZIP_TEMPORARY_NAME "~dz%08lx.tmp"
#define UNZIP_TEMPORARY_PATTERN "~dz*.tmp"  // what a search for them is given
enum { UNZIP_TEMPORARY_NAME_CHARS = 15 };

// A request for one member, with every constant field as the library
// expects it.
inline UnzipRequest MakeUnzipRequest(const char* archive, const char* member, const char* folder,
                                     const char* decryptCode)
{
    UnzipRequest request = {};
    request.length = sizeof request;
    request.eight = 8;
    request.archive = archive;
    request.member = member;
    request.allOnes = -1;
    request.folder = folder;
    request.one1 = request.one2 = request.one3 = request.one4 = request.one5 = 1;
    request.decryptCode = decryptCode;
    return request;
}

// The library's one export, bound when the program loads; stdcall, and
// undecorated on both. 0: the member was extracted; positive: a message
// index, the copying goes on; negative: a failure that stops the copying.
extern "C" int __stdcall dunzip(const UnzipRequest* request);

#endif
