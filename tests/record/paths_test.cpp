#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "record/record.h"

namespace {

TEST(Paths, JoinPathAddsOneBackslashWhereNeeded)
{
    struct Case {
        std::string folder, name, joined;
    } cases[] = {
        {"C:\\", "X", "C:\\X"},
        {"C:\\A", "X", "C:\\A\\X"},
        {"C:\\A\\", "QVN32.EXE", "C:\\A\\QVN32.EXE"},
        {"", "X", "\\X"},
        {"C:/A/", "X", "C:/A/\\X"},  // only the backslash counts as one
        {std::string(257, 'f'), "X", std::string(257, 'f') + "\\X"},  // 259 characters: fits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.substr(0, 20) + " + " + c.name);
        char destination[PATH_CHARS];
        EXPECT_TRUE(JoinPath(destination, c.folder.c_str(), c.name.c_str()));
        EXPECT_EQ(c.joined, destination);
    }
}

TEST(Paths, JoinPathNeverCutsAPathThatDoesNotFit)
{
    char destination[PATH_CHARS + 8];
    memset(destination, '#', sizeof destination);
    EXPECT_FALSE(JoinPath(destination, std::string(258, 'f').c_str(), "X"));  // 260 characters
    EXPECT_STREQ("", destination);
    EXPECT_EQ('#', destination[1]);  // nothing written past the terminator
    EXPECT_FALSE(JoinPath(destination, "C:\\", std::string(1000, 'n').c_str()));
    EXPECT_STREQ("", destination);
}

TEST(Paths, StripFileNameCutsTheLastComponent)
{
    struct Case {
        std::string path, stripped;
    } cases[] = {
        {"C:\\Program files\\Corvane Pro\\QVN32.EXE", "C:\\Program files\\Corvane Pro"},
        {"D:\\APPS\\QVN32.EXE", "D:\\APPS"},
        {"C:\\QVN32.EXE", "C:\\"},
        {"C:\\TOOLS\\", "C:\\TOOLS"},
        {"QVN32.EXE", ""},
        {"", ""},
        {"\\QVN32.EXE", "\\"},
        {"\\\\server\\share\\QVN32.EXE", "\\\\server\\share"},
        {"C:\\A\\\\", "C:\\A\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char path[PATH_CHARS];
        memset(path, 'x', sizeof path);
        memcpy(path, c.path.c_str(), c.path.size() + 1);
        StripFileName(path);
        EXPECT_EQ(c.stripped, path);
        EXPECT_EQ('x', path[c.path.size() + 1]);  // nothing touched past the end
    }
}

TEST(Paths, WindowsPathNamesAFileInTheWindowsDirectory)
{
    char windows[PATH_CHARS];
    GetWindowsDirectoryA(windows, PATH_CHARS);
    char path[PATH_CHARS];
    ASSERT_TRUE(WindowsPath("QVN32.INI", path));
    EXPECT_EQ(std::string(windows) + "\\QVN32.INI", path);
}

}  // namespace
