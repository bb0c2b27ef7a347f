// The digest the one file checks its carried files by: the standard's own
// examples, fed whole and in pieces that cross the blocks' edges.
#include <gtest/gtest.h>

#include <string>

#include "sha256.h"

namespace {

std::string digest(const std::string& message, size_t piece)
{
    Sha256 sha;
    for (size_t at = 0; at < message.size(); at += piece)
        sha.add(message.data() + at, std::min(piece, message.size() - at));
    char hex[65];
    sha.finish(hex);
    return hex;
}

TEST(Sha256, TheStandardsExamplesInAnyPieces)
{
    struct Case {
        std::string message, expected;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: the length needs a block of its own
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases)
        for (size_t piece : {size_t(1), size_t(63), size_t(64), size_t(65536)}) {
            SCOPED_TRACE(std::to_string(c.message.size()) + " bytes in pieces of " + std::to_string(piece));
            EXPECT_EQ(c.expected, digest(c.message, piece));
        }
}

}  // namespace
