// The folder test and the level-by-level creation, on real folders of
// drive C: and of the test prefix's second drive D:.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "driver/driver.h"
#include "install/install.h"
#include "robot.h"

namespace {

const char ROOT[] = "C:\\unit-folders";

bool is_folder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string current_folder()
{
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

std::string environment(const char* name)
{
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

class Folders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA("D:\\")) << "the test prefix maps D:";
        ASSERT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Q:\\")) << "Q: must not be mapped";
        robot::RemoveTree(ROOT);
        robot::RemoveTree("D:\\base");
        CreateDirectoryA(ROOT, nullptr);
        CreateDirectoryA((std::string(ROOT) + "\\dir").c_str(), nullptr);
        CreateDirectoryA((std::string(ROOT) + "\\cwd").c_str(), nullptr);
        std::ofstream(std::string(ROOT) + "\\file.txt") << "a file";
        CreateDirectoryA("D:\\base", nullptr);
        CreateDirectoryA("D:\\base\\dev", nullptr);
        CreateDirectoryA("D:\\base\\dev\\tools", nullptr);
        SetCurrentDirectoryA((std::string(ROOT) + "\\cwd").c_str());
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
        robot::RemoveTree(ROOT);
        robot::RemoveTree("D:\\base");
    }
};

TEST_F(Folders, AFolderExistsWhenItCanBeEntered)
{
    struct Case {
        std::string path;
        bool exists;
    } cases[] = {
        {"C:\\unit-folders\\dir", true},
        {"C:\\unit-folders\\dir\\", true},
        {"c:\\UNIT-FOLDERS\\DIR", true},
        {"C:/unit-folders/dir", true},
        {"C:\\unit-folders\\file.txt", false},    // a file
        {"C:\\unit-folders\\missing", false},
        {"\\unit-folders\\dir", false},           // the first character names no drive
        {"", false},
        {"Q:\\", false},                          // a drive that is not present
        {"D:\\base\\dev", true},
        {"4:\\", false},
        {"\xC4:\\", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string before = current_folder();
        EXPECT_EQ(c.exists, FolderExists(c.path.c_str()));
        EXPECT_EQ(before, current_folder()) << "the current drive and folder stay";
    }
}

// A relative path is entered on the drive its first letter names, from
// that drive's remembered folder.
TEST_F(Folders, ARelativePathIsTestedOnTheDriveItsFirstLetterNames)
{
    SetEnvironmentVariableA("=D:", "D:\\base");
    EXPECT_TRUE(FolderExists("dev\\tools"));
    EXPECT_EQ("C:\\unit-folders\\cwd", current_folder());

    SetEnvironmentVariableA("=D:", "D:\\");
    EXPECT_FALSE(FolderExists("dev\\tools"));  // D:\dev\tools does not exist
}

TEST_F(Folders, TestingAFolderOfAnotherDriveMakesItThatDrivesRememberedFolder)
{
    SetEnvironmentVariableA("=D:", "D:\\");
    EXPECT_TRUE(FolderExists("D:\\base\\dev"));
    EXPECT_EQ("C:\\unit-folders\\cwd", current_folder());
    EXPECT_EQ("D:\\base\\dev", environment("=D:"));
    EXPECT_EQ("C:\\unit-folders\\cwd", environment("=C:"));
}

TEST_F(Folders, CreateMakesEveryMissingLevelInOrder)
{
    CreateDirectoryA("C:\\unit-folders\\A", nullptr);
    struct Case {
        std::string target;
        bool created;
        std::vector<std::string> folders;   // present afterwards
        std::vector<std::string> missing;   // absent afterwards
    } cases[] = {
        {"C:\\unit-folders\\A\\B\\C", true, {"C:\\unit-folders\\A\\B", "C:\\unit-folders\\A\\B\\C"}, {}},
        {"C:\\unit-folders\\N\\M\\", true, {"C:\\unit-folders\\N", "C:\\unit-folders\\N\\M"}, {}},
        {"C:\\unit-folders\\P\\Q\\bad|name", false, {"C:\\unit-folders\\P", "C:\\unit-folders\\P\\Q"}, {}},
        {"C:/unit-folders/F1/F2", false, {}, {"C:\\unit-folders\\F1"}},  // one level: its parent is missing
        {"C:\\unit-folders\\dir", true, {"C:\\unit-folders\\dir"}, {}},
        {"C:\\unit-folders\\file.txt\\sub", false, {}, {"C:\\unit-folders\\file.txt\\sub"}},
        {"Q:\\A", false, {}, {}},
        {"\\\\server\\share\\folder", false, {}, {}},
        {"", false, {}, {}},
        {"C:", true, {}, {}},
        {"C:\\u", true, {"C:\\u"}, {}},
        {"D:\\base\\new", true, {"D:\\base\\new"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        lstrcpynA(State.TargetFolder, c.target.c_str(), PATH_CHARS);
        const std::string before = current_folder();
        EXPECT_EQ(c.created, CreateTargetFolder());
        EXPECT_EQ(before, current_folder());
        for (const std::string& folder : c.folders)
            EXPECT_TRUE(is_folder(folder)) << folder;
        for (const std::string& path : c.missing)
            EXPECT_FALSE(is_folder(path)) << path;
    }
    RemoveDirectoryA("C:\\u");
}

TEST_F(Folders, ALevelWhereCreationIsRefusedFails)
{
    // Even root may not make folders in the kernel's process file system.
    lstrcpynA(State.TargetFolder, "Z:\\proc\\corvane\\folder", PATH_CHARS);
    EXPECT_FALSE(CreateTargetFolder());
}

TEST_F(Folders, A259CharacterTargetStaysInsideItsBuffers)
{
    std::string target = "C:\\unit-folders\\" + std::string(200, 'a') + "\\";
    target += std::string(259 - target.size(), 'b');
    ASSERT_EQ(259u, target.size());
    lstrcpynA(State.TargetFolder, target.c_str(), PATH_CHARS);
    EXPECT_TRUE(CreateTargetFolder());
    EXPECT_TRUE(is_folder(target));
}

}  // namespace
