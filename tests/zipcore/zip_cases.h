// The archives the core and the library must read alike, a table per topic:
// what a member asked for with a code gives, as the setup's message index.
#ifndef TEST_ZIP_CASES_H
#define TEST_ZIP_CASES_H

#include <fstream>
#include <iterator>

#include "zip_builder.h"

namespace testzip {

struct Case {
    std::string what, archive;
    int result;
    std::string code = "", data = "", member = "a.txt";  // data: the member's bytes, on success
    int alsoResult = -1;  // another result as right as `result`
};

inline std::string ReadFile(const std::string& path)
{
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

// Bytes that do not compress: a keystream.
inline std::string Noise(size_t size, int seed) { return Crypt(std::to_string(seed), std::string(size, '\0'), true); }

inline std::string Text(size_t lines)
{
    std::string s;
    for (size_t i = 0; i < lines; ++i)
        s += "line " + std::to_string(i) + " of a log that compresses well\n";
    return s;
}

// As the manifest of make_archives.py says each extraction goes.
inline std::vector<Case> ToolArchives(const std::string& folder)
{
    std::vector<Case> cases;
    std::ifstream manifest(folder + "/manifest.txt");
    std::string archive, member, code, payload;
    for (int result; manifest >> archive >> member >> code >> result >> payload;)
        cases.push_back({archive + " " + member + " " + code, ReadFile(folder + "/" + archive), result,
                         code == "-" ? "" : code, ReadFile(folder + "/payload/" + payload), member});
    return cases;
}

const size_t PIECE = 128 * 1024, LARGE = 3 << 20;  // zip::CHUNK; data the library decrypts on a second thread

// What the tools do not write, each member after another; the encrypted ones stored, a piece long or a byte more.
inline std::vector<Case> Forms()
{
    const std::string big = Text(60000) + Noise(300000, 1);  // several chunks
    auto form = [](const char* what, const Member& m, const std::string& comment = "") -> Case {
        return {what, Build({{"other.bin", "other"}, m}, comment), 0, m.password, m.data, m.name};
    };
    return {form("one byte", {"a.txt", "x"}), form("Zip64", {"a.txt", big, 8, "", false, true}),
            form("Zip64, sizes after the data, encrypted", {"a.txt", big, 8, "code", true, true}),
            form("a comment holding an end signature", {"a.txt", Text(10)}, std::string("PK\x05\x06", 4) + "xxxx"),
            form("encrypted, one byte", {"a.txt", "y", 0, "c"}),
            form("encrypted, one piece", {"a.txt", Noise(PIECE, 2), 0, "c"}),
            form("encrypted, a piece and a byte", {"a.txt", Noise(PIECE + 1, 2), 0, "c"})};
}

// The first whole name to match; no name takes the member out of its folder.
inline std::vector<Case> Names()
{
    const std::string archive = Build({{"sub/qvn32.exe", "1"}, {"../QVN32.EXE", "2"}, {"..\\qvn32.exe", "3"},
                                       {"C:\\dll-tests\\qvn32.exe", "4"}, {"C:/dll-tests/qvn32.exe", "5"},
                                       {"sub/../../qvn32.exe", "6"}, {"/qvn32.exe", "7"}, {"Qvn32.Exe", "first"},
                                       {"QVN32.EXE", "second"}, {"\xC9T\xC9.TXT", "accented"}});
    auto name = [&](const char* m, int result, const char* data) -> Case { return {m, archive, result, "", data, m}; };
    return {name("QVN32.EXE", 0, "first"), name("qvn32.exe", 0, "first"), name("qvn32", 9, ""),
            name("qvn32.exe ", 9, ""), name("\xC9T\xC9.TXT", 0, "accented"),
            name("\xE9t\xE9.txt", 9, "")};  // only ASCII letters fold
}

inline std::string Flipped(std::string s, size_t at, int bits)
{
    s[at] = static_cast<char>(s[at] ^ bits);
    return s;
}

// Lying, damaged and unreadable members, most of them far longer than the
// library's chunks, so that a failure comes after bytes were written.
inline std::vector<Case> Hostile()
{
    const std::string data = Text(40000), plain = Build({{"a.txt", data}}), stored = Build({{"a.txt", data, 0}});
    // Decrypted on a second thread; with its sizes after the data, a wrong CRC shows only at the end.
    const std::string large = Text(40000) + Noise(LARGE, 3);
    const size_t compressed = Deflate(data).size();
    auto lying = [&data](auto change, const std::string& bytes = "") {
        Member m{"a.txt", bytes.empty() ? data : bytes};
        change(m);
        return Build({m});
    };
    auto sealed = [&](auto change) { return lying([&](Member& m) { m.password = "c"; change(m); }, large); };
    return {
        {"zero bytes", "", 3},
        {"not an archive", Noise(3000, 4), 3},
        {"a flipped byte in stored data", Flipped(stored, stored.size() / 2, 0x20), 39},
        {"a flipped byte in deflated data", Flipped(plain, 60, 0x01), 39},
        {"a directory outside the file", Flipped(plain, plain.size() - 3, 0xFF), 3},
        {"a member beyond the end", lying([](Member& m) { m.claimedOffset = 1u << 30; }), 2},
        {"data that ends halfway", lying([&](Member& m) { m.claimedCompressed = compressed / 2; }), 39},
        {"a size larger than the data", lying([&](Member& m) { m.claimedSize = data.size() + 1; }), 3},
        {"more than declared, past the first chunks", lying([&](Member& m) { m.claimedSize = data.size() / 2; }), 3},
        {"more than a declared size of 0", lying([](Member& m) { m.claimedSize = 0; }), 3},
        {"stored sizes that disagree", lying([](Member& m) { m.method = 0; m.claimedSize = 10; }), 3},
        {"a wrong CRC", lying([](Member& m) { m.claimedCrc = 0x12345678; }), 39},
        {"a compressed size past 2^64", lying([](Member& m) { m.zip64 = true; m.claimedCompressed = ~0ull - 5; }), 3},
        {"an offset past 2^64", lying([](Member& m) { m.zip64 = true; m.claimedOffset = ~0ull - 10; }), 2},
        {"a size beyond 32 bits", lying([](Member& m) { m.zip64 = true; m.claimedSize = 1ull << 33; }), 3},
        {"a size of 2^64-1, alone in its Zip64 field", lying([](Member& m) { m.claimedSize = ~0ull; }), 3},
        {"bzip2", lying([](Member& m) { m.method = 12; }), 42},
        {"Deflate64", lying([](Member& m) { m.method = 9; }), 42},
        {"AES", lying([](Member& m) { m.method = 99; m.password = "c"; }), 41, "c"},
        {"strong encryption", lying([](Member& m) { m.password = "c"; m.extraFlags = 0x40; }), 41, "c"},
        {"encrypted, no code given", lying([](Member& m) { m.password = "c"; }), 44},
        // What a wrong code that passes the check byte, as one in 256 does,
        // may make of the data: garbage of another size than declared.
        {"encrypted, more than declared", lying([](Member& m) { m.password = "c"; m.claimedSize = 100; }), 44, "c"},
        {"encrypted, less than declared", lying([](Member& m) { m.password = "c"; m.claimedSize = 1 << 24; }), 44, "c"},
        {"encrypted, shorter than its header", lying([](Member& m) { m.password = "c"; m.claimedCompressed = 5; }), 3,
         "c"},
        {"encrypted, large, a wrong CRC", sealed([](Member& m) { m.descriptor = true; m.claimedCrc = 1; }), 44, "c"},
        {"encrypted, large, data that ends early", sealed([](Member& m) { m.claimedCompressed = LARGE; }), 44, "c"},
        {"split over disks", Flipped(plain, plain.size() - 18, 1), 3},
        {"a directory entry without its signature", Flipped(plain, plain.size() - 22 - 46 - 5, 1), 3},
    };
}

// Its end record gone or pointing past the end.
inline std::vector<Case> CutShort()
{
    const std::string archive = Build({{"a.txt", Text(300)}, {"b.bin", Noise(2000, 5), 0}});
    std::vector<Case> cases;
    for (size_t length = 0; length < archive.size(); length += 3)
        cases.push_back({"cut to " + std::to_string(length), archive.substr(0, length), 3, "", "", "b.bin", 2});
    return cases;
}

}  // namespace testzip

#endif
