// DUNZIP32.DLL as the setup calls it, through its export, on real files under Wine.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "machine.h"
#include "request_layout.h"
#include "resolved_path.h"
#include "robot.h"
#include "unzip_request.h"  // for the temporary file's name only: the layout is request_layout.h's
#include "zip_cases.h"

namespace {

using namespace testzip;
using machine::WriteFile;
using machine::WindowsPath;
namespace fs = std::filesystem;

const std::string WORK = "C:\\dll-tests", TARGET = WORK + "\\target", ARCHIVE = WORK + "\\test.zip";
const std::string EARLIER = "the earlier file";

std::vector<std::string> FilesIn(const std::string& folder) { return machine::FilesIn(folder + "\\*"); }

size_t Threads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {sizeof thread};
    size_t count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

const auto dunzip = reinterpret_cast<int(__stdcall*)(const void*)>(reinterpret_cast<void*>(
    GetProcAddress(LoadLibraryA((robot::ProductFolder() + "\\DUNZIP32.DLL").c_str()), "dunzip")));

// Through a request record as the setup lays it out on this architecture,
// unless its length is another or the address at `nullAt` is null.
int Extract(const std::string& archive, const std::string& member, const std::string& folder = TARGET,
            const std::string& code = "", int length = layout::REQUEST.size, int nullAt = 0)
{
    const layout::RequestLayout& at = layout::REQUEST;
    unsigned char record[layout::WIN64_REQUEST.size] = {};
    for (const layout::Word& w : at.words)
        memcpy(record + w.offset, &w.value, 4);
    memcpy(record, &length, 4);
    for (auto [offset, text] : {std::pair(at.archive, &archive), {at.member, &member}, {at.folder, &folder},
                                {at.code, &code}}) {
        const char* address = offset == nullAt ? nullptr : text->c_str();
        memcpy(record + offset, &address, sizeof address);
    }
    const size_t threads = Threads();
    int result = dunzip(record);
    EXPECT_LE(Threads(), threads) << "a thread of the library's left running";
    return result;
}

class Library : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, dunzip) << "DUNZIP32.DLL exports dunzip";
        fs::remove_all(WORK);
        fs::create_directories(TARGET);
    }
};

// Over an earlier file of the member's name: replaced on success, intact
// on failure, and never another file anywhere.
void ExpectCases(const std::vector<Case>& cases, const char* file = __builtin_FILE(), int line = __builtin_LINE())
{
    testing::ScopedTrace caller(file, line, "");
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(TARGET);
        fs::create_directory(TARGET);
        const std::string path = WriteFile(TARGET + "\\" + c.member, EARLIER);
        int result = -Extract(WriteFile(ARCHIVE, c.archive), c.member, TARGET, c.code);
        EXPECT_TRUE(result == c.result || result == c.alsoResult) << result << " instead of " << c.result;
        EXPECT_TRUE(ReadFile(path) == (c.result ? EARLIER : c.data)) << ReadFile(path).size() << " bytes";
        EXPECT_EQ(1u, FilesIn(TARGET).size()) << "no partial or temporary file";
        EXPECT_EQ(2u, FilesIn(WORK).size()) << "nothing beside the archive and the target folder";
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(("C:\\" + c.member).c_str())) << "nor at the root";
    }
}

TEST_F(Library, ArchivesOfOtherToolsExtractByteExactly) { ExpectCases(ToolArchives(WindowsPath(ARCHIVES_DIR))); }
TEST_F(Library, FormsTheToolsDoNotWriteComeOutWhole) { ExpectCases(Forms()); }
TEST_F(Library, HostileArchivesLeaveTheEarlierFileAndNothingElse) { ExpectCases(Hostile()); }
TEST_F(Library, AnArchiveCutShortAnywhereIsRefused) { ExpectCases(CutShort()); }

TEST_F(Library, NamesMatchWholeAndNothingIsWrittenOutsideTheTargetFolder) { ExpectCases(Names()); }

// Each build's library takes its own layout only. In the Win32 suite this
// is also the proof, from inside, that the Win32 build ran: a 32-bit
// process under the 64-bit prefix's WoW64, its DLL taking 142 bytes and
// refusing 158.
TEST_F(Library, TakesTheRequestOfItsOwnBuildOnly)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(sizeof(void*) == 4, wow64 != FALSE) << "32-bit programs run under WoW64, 64-bit ones natively";
    const std::string zip = WriteFile(ARCHIVE, Build({{"a.txt", "data"}}));
    const layout::RequestLayout& at = layout::REQUEST;
    EXPECT_EQ(0, Extract(zip, "a.txt")) << "the " << at.size << "-byte request";
    for (int length : {at.size - 1, 0, layout::OTHER_REQUEST.size})
        EXPECT_EQ(-47, Extract(zip, "a.txt", TARGET, "", length)) << "length " << length;
}

TEST_F(Library, RequestsItCannotServeGetTheirCode)
{
    const std::string zip = WriteFile(ARCHIVE, Build({{"a.txt", "data"}})), file = WriteFile(WORK + "\\a file", "x");
    fs::create_directory(WORK + "\\folder.zip");
    const layout::RequestLayout& at = layout::REQUEST;
    for (int address : {at.archive, at.member, at.folder, at.code})
        EXPECT_EQ(-47, Extract(zip, "a.txt", TARGET, "", at.size, address)) << "no address at " << address;
    for (const char* member : {"sub\\a.txt", "sub/a.txt", "..\\a.txt", "C:a.txt", "..", ""})
        EXPECT_EQ(-47, Extract(zip, member)) << "the member " << member;
    for (auto [result, archive, folder] : {std::tuple(-32, zip, WORK + "\\missing"), {-32, zip, file},
                                           {-29, WORK + "\\missing.zip", TARGET}, {-29, WORK + "\\folder.zip", TARGET}})
        EXPECT_EQ(result, Extract(archive, "a.txt", folder)) << archive << " into " << folder;
    EXPECT_TRUE(FilesIn(TARGET).empty());
}

// What the system answers for the folder and the file, in the drive-letter
// form and the device form; nullptr where it cannot tell. Wine gives every
// file a drive-letter name (Z: is the root), so a drive without one, as a
// RAM disk has, can be staged only through the answers.
struct Answers {
    const wchar_t *folderDos, *fileDos, *folderNt, *fileNt;
};
const Answers* Given;
const HANDLE FOLDER_HANDLE = reinterpret_cast<HANDLE>(1);

DWORD WINAPI Answer(HANDLE handle, LPWSTR path, DWORD chars, DWORD flags)
{
    bool folder = handle == FOLDER_HANDLE, dos = (flags & VOLUME_NAME_NT) == 0;
    auto answer = dos ? (folder ? Given->folderDos : Given->fileDos) : (folder ? Given->folderNt : Given->fileNt);
    if (!answer)
        return 0;
    lstrcpynW(path, answer, static_cast<int>(chars));
    return static_cast<DWORD>(wcslen(answer));
}

TEST(LibraryGuard, AFileIsRefusedOnlyWhereTheSystemNamesAnotherFolder)
{
    const wchar_t *folder = L"\\\\?\\C:\\Target", *nt = L"\\Device\\RamDisk0\\Target";
    const std::wstring inside = std::wstring(folder) + L"\\~dz1.tmp", ntInside = std::wstring(nt) + L"\\~dz1.tmp";
    const std::wstring elsewhere = L"\\\\?\\C:\\Windows\\~dz1.tmp", ntElsewhere = L"\\Device\\RamDisk0\\Windows\\~z.tmp";
    const std::wstring deep(resolved::PATH_CHARS, L'x'), longFolder = std::wstring(folder) + L"\\" + deep.substr(0, 1100);
    struct Case {
        Answers answers;
        bool same;
        const char* what;
    } cases[] = {
        {{folder, inside.c_str(), nt, ntInside.c_str()}, true, "both named, the same"},
        {{L"\\\\?\\c:\\target\\", inside.c_str(), nt, ntInside.c_str()}, true, "case and a trailing separator"},
        {{folder, elsewhere.c_str(), nt, ntInside.c_str()}, false, "both named, another folder"},
        {{nullptr, nullptr, nt, ntInside.c_str()}, true, "no drive letter: the device forms, the same"},
        {{nullptr, nullptr, nt, ntElsewhere.c_str()}, false, "no drive letter: the device forms, another"},
        {{folder, nullptr, nt, ntInside.c_str()}, true, "the file alone without a drive letter"},
        {{nullptr, nullptr, nullptr, nullptr}, true, "nothing can be told"},
        {{folder, deep.c_str(), nt, nullptr}, true, "a file path longer than any the system gives"},
        {{longFolder.c_str(), inside.c_str(), nt, nullptr}, false, "a folder of 1,100 characters, another"},
    };
    for (const Case& c : cases) {
        Given = &c.answers;
        EXPECT_EQ(c.same, resolved::same_folder(Answer, FOLDER_HANDLE, reinterpret_cast<HANDLE>(2))) << c.what;
    }
}

// The setup's guard on the same answers: the folder it works in, held,
// must be the drive root's named rest, with the root resolved too.
TEST(LibraryGuard, AFolderIsTakenOnlyWhereTheSystemNamesItsOwnPath)
{
    const wchar_t *root = L"\\\\?\\C:\\", *ntRoot = L"\\Device\\HarddiskVolume2\\";
    const std::wstring name(1100, L'x'), rest = L"\\Apps\\" + name, named = L"\\\\?\\C:" + rest,
                       other = L"\\\\?\\C:\\Apps\\" + std::wstring(1100, L'y');
    struct Case {
        Answers answers;  // the root's and the folder's
        const wchar_t* rest;
        bool taken;
        const char* what;
    } cases[] = {
        {{root, L"\\\\?\\C:\\Apps\\Corvane", ntRoot, nullptr}, L"\\Apps\\Corvane", true, "its own path"},
        {{root, L"\\\\?\\c:\\apps\\corvane\\", ntRoot, nullptr}, L"\\Apps\\Corvane\\", true, "case, separators"},
        {{root, L"\\\\?\\C:\\Windows\\System32", ntRoot, nullptr}, L"\\Apps\\Corvane", false, "a link on the way"},
        {{L"\\\\?\\UNC\\server\\share\\", L"\\\\?\\UNC\\server\\share\\Apps", nullptr, nullptr}, L"\\Apps", true,
         "a network drive"},
        {{root, root, ntRoot, nullptr}, L"\\", true, "the root itself"},
        {{nullptr, nullptr, ntRoot, L"\\Device\\HarddiskVolume2\\Apps"}, L"\\Apps", true, "device forms, the same"},
        {{nullptr, nullptr, ntRoot, L"\\Device\\HarddiskVolume3\\Apps"}, L"\\Apps", false, "device forms, another"},
        {{root, named.c_str(), ntRoot, nullptr}, rest.c_str(), true, "a path of 1,100 characters, its own"},
        {{root, other.c_str(), ntRoot, nullptr}, rest.c_str(), false, "a path of 1,100 characters, another"},
        {{nullptr, nullptr, nullptr, nullptr}, L"\\Apps", false, "nothing can be told: refused"},
    };
    for (const Case& c : cases) {
        Given = &c.answers;
        EXPECT_EQ(c.taken, resolved::leads_where_named(Answer, FOLDER_HANDLE, reinterpret_cast<HANDLE>(2), c.rest))
            << c.what;
    }
}

// The DOS time is local time, the extended timestamp UTC.
TEST_F(Library, TheFileTakesTheMembersTime)
{
    Member dos{"dos.txt", "x"}, stamped{"stamped.txt", "y"};
    dos.dosTime = 0x7A2C;           // 15:17:24
    stamped.unixTime = 1000000000;  // 2001-09-09 01:46:40 UTC
    const std::string zip = WriteFile(ARCHIVE, Build({dos, stamped}));
    for (auto [name, local, expected] : {std::tuple("dos.txt", true, "2001-09-08 15:17:24"),
                                         {"stamped.txt", false, "2001-09-09 01:46:40"}}) {
        WIN32_FILE_ATTRIBUTE_DATA file;
        FILETIME localTime;
        SYSTEMTIME t;
        char text[20];
        ASSERT_EQ(0, Extract(zip, name)) << name;
        GetFileAttributesExA((TARGET + "\\" + name).c_str(), GetFileExInfoStandard, &file);
        FileTimeToLocalFileTime(&file.ftLastWriteTime, &localTime);
        FileTimeToSystemTime(local ? &localTime : &file.ftLastWriteTime, &t);
        snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                 t.wSecond);
        EXPECT_STREQ(expected, text) << name;
    }
}

// Held open by another program, the destination is tried again for about
// four seconds; released in time, it gives way to the member waiting
// beside it under the contract's temporary name.
TEST_F(Library, ADestinationInUseIsWaitedForAWhile)
{
    const std::string zip = WriteFile(ARCHIVE, Build({{"a.txt", "new"}}));
    const std::string path = WriteFile(TARGET + "\\a.txt", EARLIER);
    auto hold = [&path] { return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); };
    HANDLE held = hold();
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    DWORD start = GetTickCount();
    EXPECT_EQ(-28, Extract(zip, "a.txt"));
    EXPECT_GE(GetTickCount() - start, 3500u);
    CloseHandle(held);
    EXPECT_EQ(EARLIER, ReadFile(path));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, FilesIn(TARGET));

    held = hold();
    std::vector<std::string> waiting;
    std::atomic<bool> ended(false);
    std::thread release([&] {
        while (!ended && (waiting = FilesIn(TARGET)).size() < 2)
            Sleep(20);
        CloseHandle(held);
    });
    EXPECT_EQ(0, Extract(zip, "a.txt"));
    ended = true;
    release.join();
    EXPECT_EQ("new", ReadFile(path));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, FilesIn(TARGET));
    ASSERT_EQ(2u, waiting.size());
    const std::string temporary = waiting[waiting[0] == "a.txt"];
    unsigned long value = 0;
    char again[UNZIP_TEMPORARY_NAME_CHARS + 2] = "";
    sscanf(temporary.c_str(), UNZIP_TEMPORARY_NAME, &value);
    snprintf(again, sizeof again, UNZIP_TEMPORARY_NAME, value);
    EXPECT_EQ(again, temporary);
    EXPECT_EQ(UNZIP_TEMPORARY_NAME_CHARS, temporary.size()) << "the length the setup counts";

    // A folder in the destination's place denies access and is not in
    // use: waiting would not change it.
    DeleteFileA(path.c_str());
    CreateDirectoryA(path.c_str(), nullptr);
    start = GetTickCount();
    EXPECT_EQ(-28, Extract(zip, "a.txt"));
    EXPECT_LT(GetTickCount() - start, 2000u) << "refused at once";
    EXPECT_TRUE(machine::IsFolder(path));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, FilesIn(TARGET));
    RemoveDirectoryA(path.c_str());
}

// On wine-run.sh's drive E: of 64 KiB, even where a write takes part of
// its bytes without an error.
TEST_F(Library, AFullDiskIsReportedAndTheEarlierFileSurvives)
{
    if (GetDriveTypeA("E:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no drive E:: wine-run.sh mounts its 64 KiB drive only when it runs as root";
    const std::string small = "E:\\dll-tests", zip = WriteFile(ARCHIVE, Build({{"big.bin", Noise(400000, 11), 0},
                                                                               {"sealed.bin", Noise(LARGE, 1), 0, "c"},
                                                                               {"small.txt", "fits"}}));
    for (auto [member, code] : {std::pair("big.bin", ""), {"sealed.bin", "c"}}) {  // the second on two threads
        fs::remove_all(small);
        fs::create_directory(small);
        WriteFile(small + "\\" + member, EARLIER);
        EXPECT_EQ(-50, Extract(zip, member, small, code)) << member;
        EXPECT_EQ(EARLIER, ReadFile(small + "\\" + member));
        EXPECT_EQ(std::vector<std::string>{member}, FilesIn(small)) << "no temporary file";
    }
    EXPECT_EQ(0, Extract(zip, "small.txt", small)) << "the space is given back";
    EXPECT_EQ("fits", ReadFile(small + "\\small.txt"));
    fs::remove_all(small);
}

}  // namespace
