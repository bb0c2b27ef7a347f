// DUNZIP32.DLL as the setup calls it: through its export, with requests
// built byte by byte, on real files under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "machine.h"
#include "manifest.h"
#include "request_layout.h"
#include "robot.h"
#include "zip_builder.h"
// The temporary file's name is the library's contract with the setup; the
// request record's layout the tests write down apart (request_layout.h).
#include "unzip_request.h"

namespace {

using testzip::Build;
using testzip::Member;

typedef int(__stdcall* Dunzip)(const void* request);

std::string windows_path(std::string unixPath)
{
    for (char& c : unixPath)
        if (c == '/')
            c = '\\';
    return "Z:" + unixPath;
}

const std::string ARCHIVES = windows_path(ARCHIVES_DIR);
const char WORK[] = "C:\\dll-tests";

using machine::ReadFile;
using machine::WriteFile;

std::vector<std::string> files_in(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(entry.cFileName, ".") && strcmp(entry.cFileName, ".."))
            names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// Bytes that do not compress.
std::string noise(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

// A log of `count` lines: text that compresses, and inflates over several
// of the library's chunks when there are enough of them.
std::string log_lines(size_t count)
{
    std::string s;
    for (size_t i = 0; i < count; ++i)
        s += "line " + std::to_string(i) + " served in " + std::to_string(i * 7919 % 1000) + " ms\n";
    return s;
}

// Whether a name is one the library's contract gives its temporary files:
// the setup counts their length, so they must be what it counts.
bool temporary_name(const std::string& name)
{
    unsigned long value;
    char again[UNZIP_TEMPORARY_NAME_CHARS + 1];
    return sscanf(name.c_str(), UNZIP_TEMPORARY_NAME, &value) == 1 &&
           snprintf(again, sizeof again, UNZIP_TEMPORARY_NAME, value) == UNZIP_TEMPORARY_NAME_CHARS && name == again;
}

// A request record laid out as the setup lays it out on this architecture.
struct Request {
    unsigned char bytes[layout::WIN64_REQUEST.size] = {};
    std::string archive, member, folder, code;

    Request(std::string a, std::string m, std::string f, std::string c = "")
        : archive(std::move(a)), member(std::move(m)), folder(std::move(f)), code(std::move(c))
    {
        for (const layout::Word& w : layout::REQUEST.words)
            put(w.offset, w.value);
    }
    void put(int offset, int32_t value) { memcpy(bytes + offset, &value, 4); }
    void point(int offset, const std::string* text)
    {
        const char* p = text ? text->c_str() : nullptr;
        memcpy(bytes + offset, &p, sizeof p);
    }
    const void* finish()
    {
        point(layout::REQUEST.archive, &archive);
        point(layout::REQUEST.member, &member);
        point(layout::REQUEST.folder, &folder);
        point(layout::REQUEST.code, &code);
        return bytes;
    }
};

class Library : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryA((robot::ProductFolder() + "\\DUNZIP32.DLL").c_str());
        dunzip_ = reinterpret_cast<Dunzip>(reinterpret_cast<void*>(GetProcAddress(module_, "dunzip")));
    }
    void SetUp() override
    {
        ASSERT_NE(nullptr, dunzip_) << "DUNZIP32.DLL exports dunzip";
        robot::RemoveTree(WORK);
        CreateDirectoryA(WORK, nullptr);
        CreateDirectoryA(target(), nullptr);
    }
    void TearDown() override { robot::RemoveTree(WORK); }

    static const char* target() { return "C:\\dll-tests\\target"; }
    int extract(Request request) { return dunzip_(request.finish()); }
    int extract(const std::string& archive, const std::string& member, const std::string& code = "")
    {
        return extract(Request(archive, member, target(), code));
    }
    std::string archive(const std::string& bytes, const char* name = "test.zip")
    {
        std::string path = std::string(WORK) + "\\" + name;
        WriteFile(path, bytes);
        return path;
    }
    static std::string in_target(const std::string& name) { return std::string(target()) + "\\" + name; }

    static HMODULE module_;
    static Dunzip dunzip_;
};
HMODULE Library::module_;
Dunzip Library::dunzip_;

TEST_F(Library, ArchivesOfOtherToolsExtractByteExactly)
{
    std::vector<Extraction> manifest = ReadManifest(ARCHIVES_DIR "/manifest.txt");
    ASSERT_FALSE(manifest.empty());
    for (const Extraction& e : manifest) {
        SCOPED_TRACE(e.archive + " " + e.member + " code " + e.code);
        robot::RemoveTree(target());
        CreateDirectoryA(target(), nullptr);
        EXPECT_EQ(-e.result, extract(ARCHIVES + "\\" + e.archive, e.member, e.code));
        if (e.result == 0) {
            EXPECT_TRUE(ReadFile(in_target(e.member)) == ReadFile(ARCHIVES + "\\payload\\" + e.payload));
            EXPECT_EQ(1u, files_in(target()).size());
        } else {
            EXPECT_TRUE(files_in(target()).empty()) << "nothing is left behind";
        }
    }
}

TEST_F(Library, TheFileTakesTheMembersTime)
{
    Member dos{"dos.txt", "x"};
    dos.dosTime = 0x7A2C;  // 15:17:24
    dos.dosDate = 0x2B28;  // 2001-09-08
    Member stamped{"stamped.txt", "y"};
    stamped.unixTime = 1000000000;  // 2001-09-09 01:46:40 UTC
    std::string zip = archive(Build({dos, stamped}));
    ASSERT_EQ(0, extract(zip, "dos.txt"));
    ASSERT_EQ(0, extract(zip, "stamped.txt"));

    auto modified = [](const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    };
    FILETIME local;
    SYSTEMTIME t;
    FILETIME written = modified(in_target("dos.txt"));
    FileTimeToLocalFileTime(&written, &local);
    FileTimeToSystemTime(&local, &t);
    EXPECT_EQ(2001, t.wYear);
    EXPECT_EQ(9, t.wMonth);
    EXPECT_EQ(8, t.wDay);
    EXPECT_EQ(15, t.wHour);
    EXPECT_EQ(17, t.wMinute);
    EXPECT_EQ(24, t.wSecond);

    written = modified(in_target("stamped.txt"));
    FileTimeToSystemTime(&written, &t);
    EXPECT_EQ(2001, t.wYear);
    EXPECT_EQ(9, t.wMonth);
    EXPECT_EQ(9, t.wDay);
    EXPECT_EQ(1, t.wHour);
    EXPECT_EQ(46, t.wMinute);
    EXPECT_EQ(40, t.wSecond);
}

TEST_F(Library, RequestsItCannotServeGetTheirCode)
{
    const std::string zip = archive(Build({{"a.txt", "data"}}));
    WriteFile(std::string(WORK) + "\\empty.zip", "");
    WriteFile(std::string(WORK) + "\\a file", "x");
    CreateDirectoryA("C:\\dll-tests\\folder.zip", nullptr);
    const int SIZE = layout::REQUEST.size;
    struct Case {
        const char* what;
        Request request;
        int length;
        int nullAt;
        int result;
    } cases[] = {
        {"one byte short", {zip, "a.txt", target()}, SIZE - 1, 0, -47},
        {"length 0", {zip, "a.txt", target()}, 0, 0, -47},
        {"the other architecture's record", {zip, "a.txt", target()}, layout::OTHER_REQUEST.size, 0, -47},
        {"no archive", {zip, "a.txt", target()}, SIZE, layout::REQUEST.archive, -47},
        {"no member", {zip, "a.txt", target()}, SIZE, layout::REQUEST.member, -47},
        {"no folder", {zip, "a.txt", target()}, SIZE, layout::REQUEST.folder, -47},
        {"no code", {zip, "a.txt", target()}, SIZE, layout::REQUEST.code, -47},
        {"a member with a folder", {zip, "sub\\a.txt", target()}, SIZE, 0, -47},
        {"a member with a slash", {zip, "sub/a.txt", target()}, SIZE, 0, -47},
        {"a member climbing out", {zip, "..\\a.txt", target()}, SIZE, 0, -47},
        {"a member on a drive", {zip, "C:a.txt", target()}, SIZE, 0, -47},
        {"the member ..", {zip, "..", target()}, SIZE, 0, -47},
        {"an empty member", {zip, "", target()}, SIZE, 0, -47},
        {"a missing folder", {zip, "a.txt", "C:\\dll-tests\\missing"}, SIZE, 0, -32},
        {"a file as folder", {zip, "a.txt", "C:\\dll-tests\\a file"}, SIZE, 0, -32},
        {"a missing archive", {"C:\\dll-tests\\missing.zip", "a.txt", target()}, SIZE, 0, -29},
        {"a folder as archive", {"C:\\dll-tests\\folder.zip", "a.txt", target()}, SIZE, 0, -29},
        {"a zero-length archive", {"C:\\dll-tests\\empty.zip", "a.txt", target()}, SIZE, 0, -3},
        {"a member not there", {zip, "b.txt", target()}, SIZE, 0, -9},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.request.finish();
        c.request.put(0, c.length);
        if (c.nullAt)
            c.request.point(c.nullAt, nullptr);
        EXPECT_EQ(c.result, dunzip_(c.request.bytes));
        EXPECT_TRUE(files_in(target()).empty());
    }
}

// Whatever names the archive holds, the member goes into the target folder
// under the name asked for, and nothing lands anywhere else.
TEST_F(Library, NothingIsWrittenOutsideTheTargetFolder)
{
    const std::string zip = archive(Build({{"../evil.txt", "1"},
                                           {"..\\evil.txt", "2"},
                                           {"C:\\dll-tests\\evil.txt", "3"},
                                           {"C:/dll-tests/evil.txt", "4"},
                                           {"sub/../../evil.txt", "5"},
                                           {"/evil.txt", "6"},
                                           {"Good.txt", "7"}}));
    EXPECT_EQ(-9, extract(zip, "evil.txt"));
    EXPECT_EQ(-47, extract(zip, "../evil.txt"));
    EXPECT_EQ(0, extract(zip, "good.TXT"));
    EXPECT_EQ(std::vector<std::string>{"good.TXT"}, files_in(target()));
    EXPECT_EQ("7", ReadFile(in_target("good.TXT")));
    std::vector<std::string> work = files_in(WORK);
    EXPECT_EQ(2u, work.size()) << "only the archive and the target folder";
    EXPECT_FALSE(GetFileAttributesA("C:\\evil.txt") != INVALID_FILE_ATTRIBUTES);
}

// A failed extraction leaves no partial file and the earlier file intact,
// whether it fails before the first byte, in the middle of a member that
// takes several chunks, or at its end.
TEST_F(Library, TheEarlierFileSurvivesAFailure)
{
    const std::string data(200000, 'n');
    std::string good = Build({{"a.txt", data, 0}});
    std::string damaged = good;
    damaged[30 + 5 + 1000] ^= 0x40;
    Member locked{"a.txt", data, 8, "right"};
    const std::string large = log_lines(40000);
    auto lying = [&](auto change) {
        Member m{"a.txt", large};
        change(m);
        return Build({m});
    };
    const uint64_t compressed = testzip::Deflate(large).size();
    struct Case {
        const char* what;
        std::string archive;
        const char* code;
        int result;
    } cases[] = {
        {"damaged data", damaged, "", -39},
        {"a wrong code", Build({locked}), "wrong", -44},
        {"a missing code", Build({locked}), "", -44},
        {"an unknown method", Build({{"a.txt", data, 14}}), "", -42},
        {"data that ends halfway", lying([&](Member& m) { m.claimedCompressed = compressed / 2; }), "", -39},
        {"more than declared, past the first chunks", lying([&](Member& m) { m.claimedSize = large.size() / 2; }),
         "", -3},
        {"a declared size of 2^64-1", lying([](Member& m) { m.claimedSize = UINT64_MAX; }), "", -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(in_target("a.txt"), "the earlier file");
        EXPECT_EQ(c.result, extract(archive(c.archive), "a.txt", c.code));
        EXPECT_EQ("the earlier file", ReadFile(in_target("a.txt")));
        EXPECT_EQ(std::vector<std::string>{"a.txt"}, files_in(target())) << "no partial file";
    }
    EXPECT_EQ(0, extract(archive(good), "a.txt"));
    EXPECT_TRUE(ReadFile(in_target("a.txt")) == data) << "a good archive replaces it";
}

// Another program holds the destination open: the library tries again for
// about four seconds, then gives up with the earlier file intact.
TEST_F(Library, ADestinationInUseIsWaitedForAWhile)
{
    const std::string zip = archive(Build({{"a.txt", "new"}}));
    WriteFile(in_target("a.txt"), "old");
    HANDLE held = CreateFileA(in_target("a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    DWORD start = GetTickCount();
    EXPECT_EQ(-28, extract(zip, "a.txt"));
    EXPECT_GE(GetTickCount() - start, 3500u);
    CloseHandle(held);
    EXPECT_EQ("old", ReadFile(in_target("a.txt")));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, files_in(target()));

    // Released once the member waits beside it, in a temporary file under
    // the library's own name.
    held = CreateFileA(in_target("a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<std::string> waiting;
    std::atomic<bool> ended(false);
    std::thread release([held, &waiting, &ended] {
        while (!ended && (waiting = files_in(target())).size() < 2)
            Sleep(20);
        CloseHandle(held);
    });
    EXPECT_EQ(0, extract(zip, "a.txt"));
    ended = true;
    release.join();
    EXPECT_EQ("new", ReadFile(in_target("a.txt")));
    ASSERT_EQ(2u, waiting.size());
    std::string temporary = waiting[0] == "a.txt" ? waiting[1] : waiting[0];
    EXPECT_TRUE(temporary_name(temporary)) << temporary;
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, files_in(target()));
}

// wine-run.sh gives the tests a drive E: of 64 KiB where it runs as root.
// A member that does not fit there is a full disk, even where a write
// takes part of its bytes without an error, and the file already there
// stays as it was.
TEST_F(Library, AFullDiskIsReportedAndTheEarlierFileSurvives)
{
    const std::string small = "E:";
    if (GetDriveTypeA((small + "\\").c_str()) == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no drive E:: wine-run.sh mounts its 64 KiB drive only when it runs as root";
    robot::RemoveTree(small);  // empties it; the root itself stays
    ASSERT_TRUE(files_in(small).empty());
    const std::string zip = archive(Build({{"big.bin", noise(400000, 11), 0}, {"small.txt", "fits"}}));
    WriteFile(small + "\\big.bin", "the earlier file");

    EXPECT_EQ(-50, extract(Request(zip, "big.bin", small + "\\")));
    EXPECT_EQ("the earlier file", ReadFile(small + "\\big.bin"));
    EXPECT_EQ(std::vector<std::string>{"big.bin"}, files_in(small)) << "no temporary file";

    EXPECT_EQ(0, extract(Request(zip, "small.txt", small + "\\"))) << "the space is given back";
    EXPECT_EQ("fits", ReadFile(small + "\\small.txt"));
    robot::RemoveTree(small);
}

}  // namespace
