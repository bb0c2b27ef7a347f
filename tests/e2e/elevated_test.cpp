// An elevated run, as SYSTEM's deployment is, lets no other user in. The
// test session leaves whatever a program makes without rights of its own
// open to every user, as Windows' drive roots and SYSTEM's temporary
// folder hand down to what is made in them; each row plants what a user
// who is not an administrator could, and sees that nothing of it was
// followed, run or written to, and that what the run made keeps users out.
// Quiet runs, the real distribution and library.
#include <functional>

#include "e2e.h"
#include "rights.h"

namespace {

using namespace e2e;

const std::string FOLDER = DEFAULT_FOLDER;

class Elevated : public DistributionTest {
protected:
    std::string install(const std::string& folder) const
    {
        return "/quiet /noicons /dir=\"" + folder + "\" " + archive();
    }
    // A folder of files with the seven names, none of them the setup's;
    // the number of them it holds, and nothing else.
    static void fill(const std::string& folder)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* member : MEMBERS)
            WriteFile(folder + "\\" + member, std::string("other ") + member);
    }
    static size_t filled(const std::string& folder)
    {
        size_t same = 0;
        for (const char* member : MEMBERS)
            same += ReadFile(folder + "\\" + member) == std::string("other ") + member;
        return FilesIn(folder + "\\*").size() == same ? same : 0;
    }
};

// Links where the copying or the removal works, a link under the default
// log's name, and a log named on a device or a folder.
TEST_F(Elevated, NothingAUserPlantedIsFollowedOrWrittenTo)
{
    const std::string work = scratch(), other = work + "\\other", victim = work + "\\victim.txt";
    const std::string defaultLog = TempPath("CorvaneSetup.log"), pipe = "\\\\.\\pipe\\corvane-log";
    const std::string OPEN = "C:\\Shared Apps";  // not C:\Apps, where the tour installs meanwhile
    const auto plantOpen = [&] { ASSERT_TRUE(CreateDirectoryA(OPEN.c_str(), nullptr)); };
    HANDLE listening = INVALID_HANDLE_VALUE;
    OVERLAPPED connected = {};
    connected.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Case {
        const char* what;
        std::string line;  // SETUP.EXE's switches and tail
        DWORD exit;
        std::function<void()> plant, check;
    } cases[] = {
        {"the copying's folders are links to others", install(FOLDER), 8,
         [&] {
             ASSERT_EQ(1u, Session(install(FOLDER), program()).exitCode(60000));
             fill(other + "-new"), fill(other + "-old");
             ASSERT_TRUE(MakeLink(FOLDER + "\\~SETUP.NEW", other + "-new") &&
                         MakeLink(FOLDER + "\\~SETUP.OLD", other + "-old"));
         },
         [&] {
             EXPECT_EQ(14u, filled(other + "-new") + filled(other + "-old"));
             EXPECT_TRUE(RemoveLink(FOLDER + "\\~SETUP.NEW") && RemoveLink(FOLDER + "\\~SETUP.OLD"));
             EXPECT_EQ(7u, installed(FOLDER)) << "the set installed before";
             EXPECT_EQ(nullptr, OthersMayChangeFolder(FOLDER.c_str(), true)) << "the level the setup made";
             EXPECT_STREQ("may delete or rename", OthersMayChangeFolder((other + "-new").c_str(), true))
                 << "a folder made plainly";
         }},
        {"the installed folder is a link to another", "/quiet UNINSTALL", 8,
         [&] {
             fill(other);
             ASSERT_TRUE(MakeLink(work + "\\linked", other));
             WriteRecord(RecordFor(work + "\\linked"));
         },
         [&] { EXPECT_TRUE(filled(other) == 7u && RemoveLink(work + "\\linked")); }},
        {"the default log is a second name of another file", install(FOLDER), 1,
         [&] {
             WriteFile(victim, "not a log");
             DeleteFileA(defaultLog.c_str());
             ASSERT_TRUE(CreateHardLinkA(defaultLog.c_str(), victim.c_str(), nullptr));
         },
         [&] {
             EXPECT_EQ("not a log", ReadFile(victim));
             std::vector<std::string> fresh = FilesIn(TempPath("CorvaneSetup-*.log"));
             ASSERT_EQ(1u, fresh.size());
             const std::string log = ReadFile(TempPath(fresh[0].c_str()));
             EXPECT_NE(std::string::npos, log.find(" is refused (a file with more than one name); this run logs in "));
             EXPECT_NE(std::string::npos, log.find("Exit code 1"));
             DeleteFileA(TempPath(fresh[0].c_str()).c_str()), DeleteFileA(defaultLog.c_str());
         }},
        {"/log names a pipe, with slashes", "/quiet /noicons /log=//./pipe/corvane-log " + archive(), 1,
         [&] {
             listening = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE,
                                          1, 0, 4096, 0, nullptr);
             ASSERT_TRUE(!ConnectNamedPipe(listening, &connected) && GetLastError() == ERROR_IO_PENDING);
         },
         [&] {
             EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(connected.hEvent, 0)) << "never opened";
             CloseHandle(listening);
         }},
        {"/log names a folder", "/quiet /noicons /log=" + work + " " + archive(), 1, [] {},
         [&] { EXPECT_TRUE(IsFolder(work)); }},
        {"/log lies in a link to another folder", "/quiet /noicons /log=" + work + "\\logs\\corvane.log " + archive(), 1,
         [&] {
             ASSERT_TRUE(CreateDirectoryA((other + "-logs").c_str(), nullptr) && MakeLink(work + "\\logs", other + "-logs"));
         },
         [&] { EXPECT_TRUE(FilesIn(other + "-logs\\*").empty() && RemoveLink(work + "\\logs")); }},
        // Folders a user could rename away, and make again with programs of
        // their own, for SYSTEM to run: the session leaves what the test
        // makes plainly open to every user.
        {"the folder above the target is open to every user", install(OPEN + "\\Corvane"), 5, plantOpen,
         [&] {
             EXPECT_FALSE(Exists(OPEN + "\\Corvane")) << "nothing made";
             EXPECT_NE(std::string::npos, ReadFile(defaultLog).find("not administrators may delete or rename  " + OPEN +
                                                                    "  Please choose a folder under Program Files"));
             robot::RemoveTree(OPEN);
         }},
        {"the target folder is open to every user", install(OPEN), 5, plantOpen,
         [&] {
             EXPECT_TRUE(FilesIn(OPEN + "\\*").empty());
             robot::RemoveTree(OPEN);
         }},
        {"a folder open to every user beside the path", install(FOLDER), 1, plantOpen,
         [&] {
             EXPECT_EQ(7u, installed(FOLDER));
             robot::RemoveTree(OPEN);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clean();
        c.plant();
        EXPECT_EQ(c.exit, Session(c.line, program()).exitCode(60000));
        c.check();
    }
    CloseHandle(connected.hEvent);
}

// A quiet uninstall, as a deployment tool runs it, and its clean-up after
// it: with ping.bat and ping.cmd planted in every temporary folder, while
// the temporary copy is held a while, while a new installation is made
// into the folder, and in a folder whose name is not all ASCII.
TEST_F(Elevated, TheCleanUpRunsNothingPlantedAndTakesOnlyWhatTheRemovalLeft)
{
    const std::string ran = scratch() + "\\planted-ran.txt";
    std::vector<std::string> planted;
    for (const std::string& folder : {TempPath(""), std::string("C:\\windows\\temp\\")})
        for (const char* name : {"ping.bat", "ping.cmd"})
            planted.push_back(WriteFile(folder + name, "@echo ran>>\"" + ran + "\"\r\n"));
    struct Case {
        const char* what;
        std::string folder;
        bool holdCopy = false, reinstall = false, relink = false;
    } cases[] = {
        {"the temporary copy held a while", FOLDER, true},
        {"a new installation while the clean-up waits", FOLDER, false, true},
        {"the folder made a link to another while the clean-up waits", FOLDER, false, false, true},
        {"a folder outside ASCII", "C:\\Programme\\Corvane Prö"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clean();
        ASSERT_EQ(1u, Session(install(c.folder), program()).exitCode(60000));
        const std::string files = Narrow(Widen(c.folder, CP_UTF8));
        // Held as an antivirus holds a file it reads: deleting is shared.
        HANDLE held = c.reinstall ? CreateFileA((files + "\\UNINSTAL.EXE").c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr)
                                  : INVALID_HANDLE_VALUE;
        // Read-only, it can be moved aside but not deleted: the clean-up waits.
        if (c.relink)
            SetFileAttributesA((files + "\\UNINSTAL.EXE").c_str(), FILE_ATTRIBUTE_READONLY);
        Session uninstall(EntryValue("QuietUninstallString"), "");
        std::string copy;  // the temporary copy's folder, once its UNINSTAL.EXE is held
        for (DWORD start = GetTickCount(); c.holdCopy && copy.empty() && GetTickCount() - start < 20000; Sleep(10))
            for (const std::string& found : UninstallCopies())
                if (copy.empty() && (held = CreateFileA((found + "\\UNINSTAL.EXE").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                        nullptr, OPEN_EXISTING, 0, nullptr)) != INVALID_HANDLE_VALUE)
                    copy = found;
        EXPECT_EQ(c.holdCopy || c.reinstall, held != INVALID_HANDLE_VALUE);
        EXPECT_TRUE(!c.holdCopy || !OthersMayChangeFolder(copy.c_str(), true)) << copy;
        EXPECT_EQ(1u, uninstall.exitCode(60000));
        if (c.reinstall) {
            EXPECT_EQ(1u, Session(install(c.folder), program()).exitCode(60000));
        }
        const std::string decoy = scratch() + "\\decoy", moved = files + "-moved";
        if (c.relink) {
            // Renamed away, and in its place a link to a folder holding a
            // file of the name the clean-up waits to delete.
            const std::string aside = FilesIn(files + "\\~UNINSTAL-*.DEL").at(0);
            CreateDirectoryA(decoy.c_str(), nullptr);
            WriteFile(decoy + "\\" + aside, "not the setup's");
            ASSERT_TRUE(MakeLink(files + "-link", decoy) && SwapForLink(files, moved, files + "-link"));
            Sleep(4000);  // the clean-up tries once a second, and the shell's ping waits longer under Wine
            EXPECT_EQ("not the setup's", ReadFile(decoy + "\\" + aside));
            EXPECT_TRUE(RemoveLink(files));
            SetFileAttributesA((moved + "\\" + aside).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        Sleep(1500);  // the clean-up waits meanwhile, trying once a second
        CloseHandle(held);
        for (int waited = 0; waited < 8000 && !UninstallCopies().empty(); waited += 100)
            Sleep(100);
        EXPECT_TRUE(UninstallCopies().empty()) << "the copies, the scripts and their folders";
        EXPECT_EQ(c.reinstall ? 7u : 0u, FilesIn(files + "\\*").size());
        EXPECT_EQ(c.reinstall ? 7u : 0u, installed(files));
        EXPECT_EQ(c.reinstall, Exists(files));
        EXPECT_EQ("", ReadFile(ran)) << "a planted ping ran";
        robot::RemoveTree(moved), robot::RemoveTree(decoy);
    }
    for (const std::string& file : planted)
        DeleteFileA(file.c_str());
    robot::RemoveTree("C:\\Programme");
}

}  // namespace
