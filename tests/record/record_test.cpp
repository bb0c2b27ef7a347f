// The record, the path operations and the two-second notices, in this
// process, against real files in the Windows directory of the test prefix.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "machine.h"
#include "record/record.h"
#include "remove/remove.h"

namespace {

const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";

TEST(Paths, JoinAndStripNeverCutAPathIntoAnother)
{
    struct Case {
        std::string folder, name, joined;
    } joins[] = {
        {"C:\\", "X", "C:\\X"},
        {"C:\\A", "X", "C:\\A\\X"},
        {"", "X", "\\X"},
        {"C:/A/", "X", "C:/A/\\X"},  // only the backslash counts as one
        {std::string(257, 'f'), "X", std::string(257, 'f') + "\\X"},  // 259 characters: fits
        {std::string(258, 'f'), "X", ""},                           // 260: refused, not cut
    };
    for (const Case& c : joins) {
        char joined[PATH_CHARS + 8] = "#######";
        EXPECT_EQ(!c.joined.empty(), JoinPath(joined, c.folder.c_str(), c.name.c_str())) << c.folder.size();
        EXPECT_EQ(c.joined, joined);
    }
    struct Strip {
        std::string path, stripped;
    } strips[] = {
        {"C:\\Program files\\Corvane Pro\\QVN32.EXE", "C:\\Program files\\Corvane Pro"},
        {"C:\\QVN32.EXE", "C:\\"},
        {"C:\\TOOLS\\", "C:\\TOOLS"},
        {"QVN32.EXE", ""},
        {"\\QVN32.EXE", "\\"},
        {"\\\\server\\share\\QVN32.EXE", "\\\\server\\share"},
    };
    for (const Strip& c : strips) {
        char path[PATH_CHARS];
        memcpy(path, c.path.c_str(), c.path.size() + 1);
        StripFileName(path);
        EXPECT_EQ(c.stripped, path) << c.path;
    }
}

class Record : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(machine::RecordPath().c_str()); }
    void TearDown() override { DeleteFileA(machine::RecordPath().c_str()); }
};

TEST_F(Record, TheScanReadsWhatTheRecordHolds)
{
    const std::string longest = "D:\\" + std::string(246, 'x');  // and "\QVN32.EXE": 259 characters
    struct Case {
        std::string contents;  // empty: no record at all
        bool installed;
        std::string folder;
        int shareware, release, major, minor;
    } cases[] = {
        {"", false, DEFAULT_FOLDER},
        {"[SHAREWARE]\r\nSetup=0\r\n[RELEASE]\r\nSetup=1\r\n[VERSION]\r\nMajor=2\r\nMinor=0\r\n"
         "[INSTALL PATH]\r\nPath=D:\\APPS\\QVN32.EXE\r\n",
         true, "D:\\APPS", 0, 1, 2, 0},
        {"[INSTALL PATH]\r\nPath=D:\\QVN32.EXE\r\n", true, "D:\\"},
        {"[VERSION]\r\nMajor=3\r\nMinor=1\r\n", false, DEFAULT_FOLDER, 0, 0, 3, 1},
        {"[INSTALL PATH]\r\nPath=Not Installed\r\n", false, DEFAULT_FOLDER},
        {"[SHAREWARE]\r\nSetup=abc\r\n[RELEASE]\r\nSetup=7\r\n[VERSION]\r\nMajor=-1\r\nMinor=2147483648\r\n", false,
         DEFAULT_FOLDER, 0, 7, -1, INT_MIN},
        {"[INSTALL PATH]\r\nPath=" + longest + "\\QVN32.EXE\r\n", true, longest},
        // A path cut to fit would name the real folder's parent.
        {"[VERSION]\r\nMajor=3\r\n[INSTALL PATH]\r\nPath=" + longest + "x\\QVN32.EXE\r\n", false, DEFAULT_FOLDER, 0,
         0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents);
        DeleteFileA(machine::RecordPath().c_str());
        if (!c.contents.empty())
            machine::WriteFile(machine::RecordPath(), c.contents);
        State = SetupState();
        ScanInstallation();
        EXPECT_EQ(c.installed, State.IsInstalled);
        EXPECT_EQ(c.folder, State.InstalledFolder);
        EXPECT_EQ(c.folder, State.TargetFolder);
        const RecordValues& v = State.InstallRecord;
        EXPECT_EQ(c.shareware * 1000000 + c.release, v.sharewareEdition * 1000000 + v.releaseEdition);
        EXPECT_EQ(c.major, v.majorVersion);
        EXPECT_EQ(c.minor, v.minorVersion);
    }
}

// The scan's and the removal's notices stay up at least two seconds however little there is
// to do, and a quiet run, which shows neither, does their work at once. The upper bound
// catches a second hold; below it, making the dialog (1.6 s emulated on a busy machine).
TEST_F(Record, TheScanAndTheRemovalNoticesStayUpTwoSeconds)
{
    struct Case {
        const char* name;
        const WorkNotice& notice;
    } cases[] = {{"SETUPSCAN", SetupScanNotice}, {"REMOVESCAN", RemoveScanNotice}};
    for (const Case& c : cases) {
        State = SetupState();
        lstrcpyA(State.InstalledFolder, "C:\\removal-test\\nothing here");
        DWORD start = GetTickCount();
        EXPECT_NE(-1, DialogBoxParamA(GetModuleHandleA(nullptr), c.name, nullptr, NoticeProcedure,
                                      reinterpret_cast<LPARAM>(&c.notice)));
        DWORD shown = GetTickCount() - start;
        start = GetTickCount();
        c.notice.work(NoticeView{});
        DWORD quiet = GetTickCount() - start;
        std::printf("%s stayed up %lu ms; its work alone took %lu ms\n", c.name, shown, quiet);
        EXPECT_GE(shown, 2000u) << c.name;
        EXPECT_LT(shown, 4000u) << c.name;
        EXPECT_LT(quiet, 2000u) << c.name << ": the work itself does not wait";
    }
}

}  // namespace
