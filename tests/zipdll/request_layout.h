// The unzip library's request record as each architecture lays it out,
// written down apart from the setup's own header, so that a wrong header
// cannot agree with itself. Win64 widens the four addresses to 8 bytes and
// moves every field after each one.
#ifndef CORVANE_TEST_REQUEST_LAYOUT_H
#define CORVANE_TEST_REQUEST_LAYOUT_H

#include <cstdint>

namespace layout {

struct Word { int offset; int32_t value; };

struct RequestLayout {
    int size, archive, member, folder, code;  // the record's length and its addresses' offsets
    Word words[14];                           // every 32-bit field but the zero runs
    int zeros[2][2];                          // [from, to) runs of zero bytes
};

constexpr RequestLayout WIN32_REQUEST = {142, 8, 16, 24, 96,
    {{0, 142}, {4, 8}, {12, 0}, {20, -1}, {28, 0}, {32, 0}, {36, 1}, {40, 1}, {44, 0}, {48, 1}, {52, 0}, {56, 1},
     {92, 1}, {100, 0}}, {{60, 92}, {104, 142}}};
constexpr RequestLayout WIN64_REQUEST = {158, 8, 20, 32, 108,
    {{0, 158}, {4, 8}, {16, 0}, {28, -1}, {40, 0}, {44, 0}, {48, 1}, {52, 1}, {56, 0}, {60, 1}, {64, 0}, {68, 1},
     {104, 1}, {116, 0}}, {{72, 104}, {120, 158}}};

constexpr const RequestLayout& REQUEST = sizeof(void*) == 4 ? WIN32_REQUEST : WIN64_REQUEST;
constexpr const RequestLayout& OTHER_REQUEST = sizeof(void*) == 4 ? WIN64_REQUEST : WIN32_REQUEST;

}  // namespace layout

#endif
