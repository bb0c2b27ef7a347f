// The target folder (what is taken for one, its level-by-level creation),
// a commit that meets a file held open, and the library's texts, in this
// process, on real folders of drive C: and of the test prefix's second drive D:.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "install/install.h"
#include "machine.h"
#include "rights.h"
#include "robot.h"

namespace {

class Folders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA("D:\\")) << "the test prefix maps D:";
        for (const char* folder : {"C:\\unit", "D:\\base"})
            CreateFolderWithRights(folder, LIKE_PROGRAM_FILES);  // as an administrator makes them
        CreateDirectoryA("C:\\unit\\open", nullptr);           // the session leaves it open to every user
        machine::WriteFile("C:\\unit\\file.txt", "a file");
    }
    void TearDown() override
    {
        robot::RemoveTree("C:\\unit");
        robot::RemoveTree("D:\\base");
    }
};

// Only a folder is taken for one: a file in its place is not, so that
// DIRCREATE is offered and says the folder cannot be made.
TEST_F(Folders, OnlyAFolderExists)
{
    EXPECT_TRUE(FolderExists("C:\\unit"));
    EXPECT_FALSE(FolderExists("C:\\unit\\file.txt"));
    EXPECT_FALSE(FolderExists("C:\\unit\\missing"));
}

// Every prefix that ends before a backslash is tested and made when it is
// missing, in order; levels made before a failure stay.
TEST_F(Folders, CreateMakesEveryMissingLevelInOrder)
{
    const std::string longest = "C:\\unit\\" + std::string(200, 'a') + "\\" + std::string(50, 'b');  // 259
    struct Case {
        std::string target;
        bool created;
        std::vector<std::string> folders;  // present afterwards
    } cases[] = {
        {"C:\\unit\\A\\B\\C", true, {"C:\\unit\\A", "C:\\unit\\A\\B", "C:\\unit\\A\\B\\C"}},
        {"C:\\unit\\N\\M\\", true, {"C:\\unit\\N\\M"}},
        {"C:\\unit\\P\\Q\\bad|name", false, {"C:\\unit\\P\\Q"}},
        {"C:\\unit\\file.txt\\sub", false, {}},
        {"C:\\unit\\open\\new", false, {}},  // under a level every user may rename
        {"Q:\\A", false, {}},
        {"Z:\\proc\\corvane\\folder", false, {}},  // even root may not make folders there
        {"D:\\base\\new", true, {"D:\\base\\new"}},
        {longest, true, {longest}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.substr(0, 40));
        lstrcpynA(State.TargetFolder, c.target.c_str(), PATH_CHARS);
        EXPECT_EQ(c.created, CreateTargetFolder());
        for (const std::string& folder : c.folders)
            EXPECT_TRUE(machine::IsFolder(folder)) << folder;
    }
}

// A commit that meets a file of the set held open past the run's wait (an
// unattended run given /wait=0) moves back what it moved and says so; the
// folder holds its files as they were and nothing of the copying's own: no
// staging or backup folder, no journal.
TEST_F(Folders, ACommitThatMeetsAFileHeldOpenIsUndoneAndSaysSo)
{
    const std::string folder = "C:\\unit\\commit",
                      journal = machine::RecordPath().substr(0, machine::RecordPath().rfind('\\')) + "\\QVN32.JNL";
    DeleteFileA(journal.c_str());  // what a run stopped in this prefix may have left
    const SetupState before = State;
    State.Mode = QUIET;
    State.WaitGiven = true;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : InstallFileList)
        machine::WriteFile(folder + "\\" + name, std::string("old ") + name);
    Copying copying;
    ASSERT_TRUE(StagingPaths(folder.c_str(), &copying) && BeginCopying(copying));
    for (const char* name : InstallFileList)
        machine::WriteFile(std::string(copying.staging) + "\\" + name, std::string("new ") + name);
    const std::string held = folder + "\\UNINSTAL.EXE";  // the fifth: four are in by then
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(NOT_COMMITTED_IN_USE, CommitCopying(copying));
    CloseHandle(file);
    State = before;
    for (const char* name : InstallFileList)
        EXPECT_EQ(std::string("old ") + name, machine::ReadFile(folder + "\\" + name));
    EXPECT_EQ(7u, machine::FilesIn(folder + "\\*").size()) << "nothing of the copying's stays";
    EXPECT_FALSE(machine::Exists(journal));
}

// Outside 0 to 50 nothing is read past the library's table: a failure is
// told by the text at its magnitude when there is one, else by its number.
TEST(UnzipMessages, ResultsAreToldWithinTheTableOnly)
{
    struct Case {
        int result;
        std::string text;
    } cases[] = {
        {0, ""},   {1, ""},   {50, "Disk full"},    {-9, "File not found"},   {-1, "Unzip library error -1"},
        {51, "Unzip library error 51"},             {INT_MIN, "Unzip library error -2147483648"},
    };
    for (const Case& c : cases) {
        WCHAR number[UNZIP_NUMBER_CHARS];
        UINT text = UnzipMessage(c.result, number);
        EXPECT_EQ(c.text, robot::Text(text, 0x409, machine::Narrow(number, CP_UTF8))) << c.result;
    }
}

}  // namespace
