// The core on its own, built natively: the shared cases in memory, and what only the core shows.
#include <gtest/gtest.h>

#include "memory_io.h"
#include "zip_cases.h"

namespace {

using namespace testzip;
static_assert(PIECE == zip::CHUNK && LARGE > zip::SPLIT_FROM, "the cases cut and split where the library does");

void ExpectCases(const std::vector<Case>& cases, const char* file = __builtin_FILE(), int line = __builtin_LINE())
{
    testing::ScopedTrace caller(file, line, "");
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases)
        for (bool split : {false, true}) {
            SCOPED_TRACE(split ? "decrypted on a second thread" : "in one loop");
            StringSink sink;
            ThreadHelper helper;
            int result = Extract(c.archive, c.member, c.code, sink, split ? &helper : nullptr);
            EXPECT_TRUE(result == c.result || result == c.alsoResult) << c.what << ": " << result;
            EXPECT_LE(sink.out.size(), sink.declared) << c.what << ": more than the archive declares";
            EXPECT_TRUE(c.result || sink.out == c.data) << c.what << ": " << sink.out.size() << " bytes";
        }
}

TEST(ZipCore, ArchivesOfOtherToolsExtractByteExactly) { ExpectCases(ToolArchives(ARCHIVES_DIR)); }
TEST(ZipCore, FormsTheToolsDoNotWriteComeOutWhole) { ExpectCases(Forms()); }
TEST(ZipCore, NamesMatchWholeIgnoringTheCaseOfAsciiLettersOnly) { ExpectCases(Names()); }
TEST(ZipCore, HostileArchivesGiveTheirCodeAndNothingBeyondTheDeclaredSize) { ExpectCases(Hostile()); }
TEST(ZipCore, AnArchiveCutShortAnywhereIsRefused) { ExpectCases(CutShort()); }

// Whatever it makes of the data; and one that fails the check byte, as
// 255 in 256 do, gives the sink nothing at all.
TEST(ZipCore, AWrongCodeIsAlwaysABadCode)
{
    const Member member{"a.txt", Text(500), 8, "right"};
    const std::string archive = Build({member}), header = Body(member).substr(0, 12);
    for (int i = 0; i < 2000; ++i) {
        std::string code = "wrong" + std::to_string(i);
        StringSink sink;
        ASSERT_EQ(zip::BAD_PASSWORD, Extract(archive, "a.txt", code, sink)) << code;
        bool passes = static_cast<uint8_t>(Crypt(code, header, false)[11]) == Crc(member.data) >> 24;
        ASSERT_TRUE(passes || sink.out.empty()) << code << " fails the check byte";
    }
}

TEST(ZipCore, TheSinksFailureStopsTheExtraction)
{
    StringSink sink;
    sink.failWith = zip::DISK_FULL;
    EXPECT_EQ(zip::DISK_FULL, Extract(Build({{"a.txt", Text(100000)}}), "a.txt", "", sink));
    EXPECT_LE(sink.out.size(), zip::CHUNK) << "one write, and no more";
}

// Far into a large encrypted member whose text fills the ring: the single loop's code, and the thread joined.
TEST(ZipCore, TwoThreadsEndAsOneLoopDoesFarIntoALargeEncryptedMember)
{
    const std::string archive = Build({{"a.txt", Text(200000) + Noise(300000, 7), 8, "c"}});
    for (auto [cut, failWith, result] : {std::tuple(archive.size() / 2, zip::OK, zip::UNEXPECTED_END),
                                         {~0ul, zip::DISK_FULL, zip::DISK_FULL}, {~0ul, zip::OK, zip::OK}})
        for (int split : {0, 1}) {
            StringSink sink;
            ThreadHelper helper;
            sink.failWith = failWith;
            EXPECT_EQ(result, Extract(archive, "a.txt", "c", sink, split ? &helper : nullptr, cut)) << result;
            EXPECT_EQ(std::make_pair(split, split), std::make_pair(helper.started, helper.joined)) << result;
        }
}

// A member as short as the fuzzer's inputs goes round the ring: with a
// slow sink the decrypting side fills the free pieces and waits for the
// inflating side to give one back, and the output is still the member's.
TEST(ZipCore, AShortMemberGoesRoundTheRing)
{
    const std::string data = Noise(60 * 1024, 9);
    const std::string archive = Build({{"a.bin", data, 0, "c"}});
    StringSink sink;
    sink.slowMs = 2;
    ThreadHelper helper;
    EXPECT_EQ(zip::OK, Extract(archive, "a.bin", "c", sink, &helper));
    EXPECT_TRUE(sink.out == data);
    EXPECT_GT(helper.waits[1].load(), 0) << "the decrypting side never waited for a free piece";
}

// The CRC is folded in 64-byte blocks where the processor allows and
// decryption is one tight loop: whatever the length, alignment and pieces,
// both must give what the plain algorithms give.
TEST(ZipCore, TheCrcAndTheDecryptionAreTheSameInAnyAlignmentAndPieces)
{
    const std::string data = Noise(100000, 6), encrypted = Crypt("piecewise", data, true);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data.data());
    for (size_t offset = 0; offset < 16; ++offset)
        for (size_t n = 0; n + offset <= 1200; ++n)
            ASSERT_EQ(Crc(data.substr(offset, n)), zip::Crc32(0, bytes + offset, n)) << n << " bytes at " << offset;
    for (size_t most : {data.size(), size_t(700)}) {  // at once, and in pieces of 1 to 700 bytes
        uint32_t crc = 0;
        zip::ZipCrypto crypto("piecewise");
        std::string plain = encrypted;
        for (size_t at = 0, n; at < data.size(); at += n) {
            n = std::min(data.size() - at, most - at * 7919 % most);
            crc = zip::Crc32(crc, bytes + at, n);
            crypto.decrypt(reinterpret_cast<uint8_t*>(&plain[at]), n);
        }
        EXPECT_EQ(Crc(data), crc) << "pieces of up to " << most << " bytes";
        EXPECT_TRUE(plain == data) << "pieces of up to " << most << " bytes";
    }
}

}  // namespace
