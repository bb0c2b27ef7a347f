// The core on its own, built natively: archives of other tools, archives
// built here, and hostile ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "manifest.h"
#include "memory_io.h"
#include "zip_builder.h"

namespace {

using testzip::Build;
using testzip::Member;
using testzip::Options;

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string noise(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string text(size_t lines)
{
    std::string s;
    for (size_t i = 0; i < lines; ++i)
        s += "line " + std::to_string(i) + " of a log that compresses well\n";
    return s;
}

Options zip64_end()
{
    Options options;
    options.zip64End = true;
    return options;
}

TEST(ZipCore, ArchivesOfOtherToolsExtractByteExactly)
{
    const std::string folder = ARCHIVES_DIR;
    std::vector<Extraction> manifest = ReadManifest(folder + "/manifest.txt");
    ASSERT_GT(manifest.size(), 40u) << folder;
    for (const Extraction& e : manifest) {
        SCOPED_TRACE(e.archive + " " + e.member + " code " + e.code);
        std::string out;
        EXPECT_EQ(e.result, Extract(read_file(folder + "/" + e.archive), e.member.c_str(), e.code.c_str(), &out));
        if (e.result == 0)
            EXPECT_TRUE(out == read_file(folder + "/payload/" + e.payload)) << "the bytes differ";
    }
}

TEST(ZipCore, EveryFormItReadsComesOutWhole)
{
    const std::string big = text(60000) + noise(300000, 1);  // several chunks
    struct Case {
        const char* what;
        Member member;
        Options options;
    } cases[] = {
        {"deflated", {"a.txt", text(100)}, {}},
        {"stored", {"a.txt", noise(5000, 2), 0}, {}},
        {"empty, deflated", {"a.txt", ""}, {}},
        {"empty, stored", {"a.txt", "", 0}, {}},
        {"one byte", {"a.txt", "x"}, {}},
        {"several chunks", {"a.txt", big}, {}},
        {"several chunks, stored", {"a.txt", big, 0}, {}},
        {"encrypted", {"a.txt", text(100), 8, "code"}, {}},
        {"encrypted, stored", {"a.txt", noise(3000, 3), 0, "code"}, {}},
        {"encrypted, several chunks", {"a.txt", big, 8, "c0de!"}, {}},
        {"sizes after the data", {"a.txt", big, 8, "", true}, {}},
        {"sizes after the data, encrypted", {"a.txt", big, 8, "code", true}, {}},
        {"Zip64", {"a.txt", big, 8, "", false, true}, zip64_end()},
        {"Zip64, sizes after the data, encrypted", {"a.txt", big, 8, "code", true, true}, zip64_end()},
        {"with a comment", {"a.txt", text(10)}, {"a comment"}},
        {"a comment holding an end signature", {"a.txt", text(10)}, {std::string("PK\x05\x06", 4) + "xxxx"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        EXPECT_EQ(zip::OK, Extract(Build({{"other.bin", "other"}, c.member}, c.options), "a.txt",
                                   c.member.password.c_str(), &out));
        EXPECT_TRUE(out == c.member.data) << out.size() << " bytes out of " << c.member.data.size();
    }
}

TEST(ZipCore, TimesComeFromTheEntry)
{
    Member dos{"a.txt", "x"};
    dos.dosTime = 0x7A2C;
    dos.dosDate = 0x2B28;
    Member stamped = dos;
    stamped.name = "b.txt";
    stamped.unixTime = 1000000000;
    std::string archive = Build({dos, stamped}), out;
    zip::Entry entry;
    ASSERT_EQ(zip::OK, Extract(archive, "a.txt", "", &out, &entry));
    EXPECT_EQ(0x7A2C, entry.dosTime);
    EXPECT_EQ(0x2B28, entry.dosDate);
    EXPECT_FALSE(entry.hasUnixTime);
    ASSERT_EQ(zip::OK, Extract(archive, "b.txt", "", &out, &entry));
    EXPECT_TRUE(entry.hasUnixTime);
    EXPECT_EQ(1000000000, entry.unixTime);
}

TEST(ZipCore, NamesMatchWholeIgnoringTheCaseOfAsciiLettersOnly)
{
    std::string archive = Build({{"sub/qvn32.exe", "in a folder"},
                                 {"../QVN32.EXE", "climbing out"},
                                 {"Qvn32.Exe", "first"},
                                 {"QVN32.EXE", "second"},
                                 {"\xC9T\xC9.TXT", "accented"}});
    struct Case {
        const char* name;
        zip::Result result;
        std::string data;
    } cases[] = {
        {"QVN32.EXE", zip::OK, "first"},
        {"qvn32.exe", zip::OK, "first"},
        {"sub/qvn32.exe", zip::OK, "in a folder"},
        {"../qvn32.exe", zip::OK, "climbing out"},  // the library refuses such names before asking
        {"qvn32", zip::NOT_FOUND, ""},
        {"qvn32.exe ", zip::NOT_FOUND, ""},
        {"\xC9T\xC9.TXT", zip::OK, "accented"},
        {"\xE9t\xE9.txt", zip::NOT_FOUND, ""},  // only ASCII letters fold
        {"", zip::NOT_FOUND, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        EXPECT_EQ(c.result, Extract(archive, c.name, "", &out));
        EXPECT_EQ(c.data, out);
    }
}

std::string with_byte(std::string s, size_t at, char c)
{
    s[at] = c;
    return s;
}

TEST(ZipCore, HostileArchivesGiveTheirCodeAndNothingBeyondTheDeclaredSize)
{
    const std::string data = text(2000);
    const std::string plain = Build({{"a.txt", data}});
    const std::string stored = Build({{"a.txt", data, 0}});
    const size_t storedData = 30 + 5 + 100;  // inside the stored member's bytes
    auto lying = [&](auto change) {
        Member m{"a.txt", data};
        change(m);
        return Build({m});
    };
    auto lying_zip64 = [&](auto change) {
        Member m{"a.txt", data, 8, "", false, true};
        change(m);
        return Build({m}, zip64_end());
    };
    Options outside;
    outside.claimedDirectoryOffset = 0xFFFFFF00;
    struct Case {
        const char* what;
        std::string archive;
        const char* password;
        zip::Result result;
    } cases[] = {
        {"zero bytes", "", "", zip::BAD_STRUCTURE},
        {"not an archive", noise(3000, 4), "", zip::BAD_STRUCTURE},
        {"a flipped byte in stored data", with_byte(stored, storedData, static_cast<char>(stored[storedData] ^ 0x20)),
         "", zip::BAD_CRC},
        {"a flipped byte in deflated data", with_byte(plain, 60, static_cast<char>(plain[60] ^ 0x01)), "",
         zip::BAD_CRC},
        {"a directory outside the file", Build({{"a.txt", data}}, outside), "", zip::BAD_STRUCTURE},
        {"a member beyond the end", lying([](Member& m) { m.claimedOffset = 1u << 30; }), "", zip::UNEXPECTED_END},
        {"a size larger than the data", lying([](Member& m) { m.claimedSize = 1u << 20; }), "", zip::BAD_STRUCTURE},
        {"inflates beyond its declared size", lying([](Member& m) { m.claimedSize = 1000; }), "",
         zip::BAD_STRUCTURE},
        {"inflates beyond a declared size of 0", lying([](Member& m) { m.claimedSize = 0; }), "",
         zip::BAD_STRUCTURE},
        {"stored sizes that disagree", lying([](Member& m) { m.method = 0; m.claimedSize = 10; }), "",
         zip::BAD_STRUCTURE},
        {"a wrong CRC", lying([](Member& m) { m.claimedCrc = 0x12345678; }), "", zip::BAD_CRC},
        {"compressed size overflowing 64 bits",
         lying_zip64([](Member& m) { m.claimedCompressed = UINT64_MAX - 5; }), "", zip::BAD_STRUCTURE},
        {"offset overflowing 64 bits", lying_zip64([](Member& m) { m.claimedOffset = UINT64_MAX - 10; }), "",
         zip::UNEXPECTED_END},
        {"a size beyond 32 bits", lying_zip64([](Member& m) { m.claimedSize = 1ull << 33; }), "",
         zip::BAD_STRUCTURE},
        {"a size of 2^64-1, alone in its Zip64 field", lying([](Member& m) { m.claimedSize = UINT64_MAX; }), "",
         zip::BAD_STRUCTURE},
        {"bzip2", lying([](Member& m) { m.method = 12; }), "", zip::UNKNOWN_METHOD},
        {"Deflate64", lying([](Member& m) { m.method = 9; }), "", zip::UNKNOWN_METHOD},
        {"AES", lying([](Member& m) { m.method = 99; m.password = "code"; }), "code", zip::UNKNOWN_ENCRYPTION},
        {"strong encryption", lying([](Member& m) { m.password = "code"; m.extraFlags = 0x40; }), "code",
         zip::UNKNOWN_ENCRYPTION},
        {"encrypted, no code given", lying([](Member& m) { m.password = "code"; }), "", zip::BAD_PASSWORD},
        {"encrypted, shorter than its header",
         lying([](Member& m) { m.password = "code"; m.claimedCompressed = 5; }), "code", zip::BAD_STRUCTURE},
        {"split over disks", with_byte(plain, plain.size() - 18, 1), "", zip::BAD_STRUCTURE},
        {"a directory entry without its signature", with_byte(plain, plain.size() - 22 - 46 - 5, 'X'), "",
         zip::BAD_STRUCTURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        zip::Entry entry;
        EXPECT_EQ(c.result, Extract(c.archive, "a.txt", c.password, &out, &entry));
        EXPECT_LE(out.size(), entry.size) << "never more than the archive declares";
    }
}

TEST(ZipCore, AnArchiveCutShortAnywhereIsRefused)
{
    const std::string archive = Build({{"a.txt", text(300)}, {"b.bin", noise(2000, 5), 0}});
    for (size_t length = 0; length < archive.size(); length += 3) {
        SCOPED_TRACE(length);
        std::string out;
        zip::Result result = Extract(archive.substr(0, length), "b.bin", "", &out);
        EXPECT_TRUE(result == zip::BAD_STRUCTURE || result == zip::UNEXPECTED_END) << result;
    }
}

TEST(ZipCore, AWrongCodeIsAlwaysABadCode)
{
    const std::string archive = Build({{"a.txt", text(500), 8, "right"}});
    for (int i = 0; i < 2000; ++i) {
        std::string wrong = "wrong" + std::to_string(i), out;
        ASSERT_EQ(zip::BAD_PASSWORD, Extract(archive, "a.txt", wrong.c_str(), &out)) << wrong;
    }
}

// What a wrong code makes of a member: whether it passes the check byte,
// and how many bytes zlib inflates the garbage to before it ends or breaks.
struct Garbage {
    bool passes = false;
    bool ends = false;
    size_t size = 0;
};

Garbage garbage(const Member& member, const std::string& code)
{
    Garbage g;
    std::string plain = testzip::Encryptor(code).decrypt(testzip::Body(member));
    if (static_cast<uint8_t>(plain[11]) != testzip::Crc(member.data) >> 24)
        return g;
    g.passes = true;
    z_stream stream = {};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(&plain[12]);
    stream.avail_in = static_cast<uInt>(plain.size() - 12);
    std::vector<Bytef> out(65536);
    int status;
    do {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        status = inflate(&stream, Z_NO_FLUSH);
    } while (status == Z_OK);
    g.ends = status == Z_STREAM_END;
    g.size = stream.total_out;
    inflateEnd(&stream);
    return g;
}

// One code in 256 passes the check byte; its garbage then inflates to
// whatever it does. Broken data, a stream that ends short and one that
// runs past the declared size are all the wrong code's doing.
TEST(ZipCore, AWrongCodeIsABadCodeWhateverSizeItsGarbageInflatesTo)
{
    const Member member{"a.txt", text(5), 8, "right"};
    const std::string archive = Build({member});
    std::string out;
    ASSERT_EQ(zip::OK, Extract(archive, "a.txt", "right", &out));
    struct Case {
        const char* what;
        bool (*wanted)(const Garbage& g, size_t declared);
    } cases[] = {
        {"more than declared", [](const Garbage& g, size_t declared) { return g.size > declared; }},
        {"fewer than declared", [](const Garbage& g, size_t declared) { return g.ends && g.size < declared; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string code;
        for (int i = 0; i < 100000 && code.empty(); ++i) {
            std::string wrong = "wrong" + std::to_string(i);
            Garbage g = garbage(member, wrong);
            if (g.passes && c.wanted(g, member.data.size()))
                code = wrong;
        }
        ASSERT_FALSE(code.empty()) << "no code among the first 100000 gives such garbage";
        EXPECT_EQ(zip::BAD_PASSWORD, Extract(archive, "a.txt", code.c_str(), &out)) << code;
    }
}

TEST(ZipCore, TheSinksFailureStopsTheExtraction)
{
    MemorySource source(Build({{"a.txt", text(1000)}}));
    zip::Entry entry;
    ASSERT_EQ(zip::OK, zip::FindEntry(source, "a.txt", &entry));
    StringSink sink;
    sink.failWith = zip::DISK_FULL;
    EXPECT_EQ(zip::DISK_FULL, zip::ExtractEntry(source, entry, "", sink));
}

// The CRC is folded in 64-byte blocks where the processor allows: every
// length, alignment and split must give zlib's value.
TEST(ZipCore, CrcEqualsZlibsForEveryLengthAndAlignment)
{
    const std::string data = noise(5000, 8);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data.data());
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length = 0; length + offset <= 1200; ++length) {
            uint32_t expected = static_cast<uint32_t>(crc32(0, bytes + offset, static_cast<uInt>(length)));
            ASSERT_EQ(expected, zip::Crc32(0, bytes + offset, length)) << "offset " << offset << " length " << length;
        }
    }
    std::mt19937 rng(9);
    uint32_t pieces = 0;
    for (size_t at = 0; at < data.size();) {
        size_t n = std::min<size_t>(rng() % 700, data.size() - at);
        pieces = zip::Crc32(pieces, bytes + at, n);
        at += n;
    }
    EXPECT_EQ(static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(data.size()))), pieces);
}

TEST(ZipCore, DecryptingInPiecesEqualsDecryptingAtOnce)
{
    const std::string data = noise(100000, 6);
    const std::string encrypted = testzip::Encryptor("piecewise").encrypt(data);
    zip::ZipCrypto whole("piecewise");
    std::string all = encrypted;
    whole.decrypt(reinterpret_cast<uint8_t*>(&all[0]), all.size());
    EXPECT_TRUE(all == data);

    zip::ZipCrypto pieces("piecewise");
    std::string parts = encrypted;
    std::mt19937 rng(7);
    for (size_t at = 0; at < parts.size();) {
        size_t n = std::min<size_t>(rng() % 5000, parts.size() - at);
        pieces.decrypt(reinterpret_cast<uint8_t*>(&parts[at]), n);
        at += n;
    }
    EXPECT_TRUE(parts == data);
}

}  // namespace
