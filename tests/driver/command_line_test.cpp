#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"

namespace {

TEST(CommandLine, TailSkipsTheProgramNameAndTheBlanksAfterIt)
{
    struct Case {
        std::string line;
        std::string tail;
    } cases[] = {
        {"SETUP.EXE", ""},
        {"SETUP.EXE C:\\TEMP\\SETUP.ZIP*abc", "C:\\TEMP\\SETUP.ZIP*abc"},
        {"\"C:\\My Setup\\SETUP.EXE\" UNINSTALL", "UNINSTALL"},
        {"\"C:\\My Setup\\SETUP.EXE\"UNINSTALL", "UNINSTALL"},
        {"\"C:\\My Setup\\SETUP.EXE\" \t \x01\x1f" "a b ", "a b "},
        {"SETUP.EXE\tx", "x"},
        {"SETUP.EXE\x01rest", "rest"},             // a control character ends the name
        {"SET\xA0UP.EXE tail", "tail"},           // a byte above 127 does not
        {"\"unterminated quote", ""},
        {"", ""},
        {"\"\" x", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.tail, CommandTail(c.line.c_str()));
    }
}

TEST(CommandLine, SplitAtTheFirstStarWithinTheFirst255Positions)
{
    const std::string a300(300, 'a');
    const std::string a250(250, 'a');
    const std::string a254(254, 'a');
    struct Case {
        std::string tail;
        std::string archive;
        std::string code;
    } cases[] = {
        {"", "", ""},
        {"UNINSTALL", "UNINSTALL", ""},
        {"C:\\TEMP\\SETUP.ZIP*abc", "C:\\TEMP\\SETUP.ZIP", "abc"},
        {"*abc", "", "abc"},
        {"a*b*c", "a", "bc"},
        {"a**", "a", ""},
        {"a\tb*c\x01 d", "a\tb", "c\x01 d"},      // nothing is trimmed
        {a300, a300.substr(0, 255), ""},
        {a250 + "*" + "0123456789", a250, "0123"},  // the code ends at position 254
        {a254 + "*xyz", a254, ""},
        {std::string(5000, 'z') + "*k", std::string(255, 'z'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail.substr(0, 40));
        SplitCommandLine(c.tail.c_str());
        EXPECT_EQ(c.archive, State.ArchivePath);
        EXPECT_EQ(c.code, State.DecryptCode);
        EXPECT_EQ('\0', State.ArchivePath[FIELD_CHARS - 1]);
        EXPECT_EQ('\0', State.DecryptCode[FIELD_CHARS - 1]);
    }
}

TEST(CommandLine, OnlyTheExactWordMeansUninstall)
{
    struct Case {
        const char* field;
        bool uninstall;
    } cases[] = {
        {"UNINSTALL", true},   {"uninstall", false}, {"UNINSTALL ", false},
        {"UNINSTAL", false},   {"UNINSTALLX", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        SplitCommandLine(c.field);
        EXPECT_EQ(c.uninstall, IsUninstallWord(State.ArchivePath));
    }
}

}  // namespace
