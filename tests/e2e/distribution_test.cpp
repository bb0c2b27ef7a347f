// Installing from a real distribution archive with the real unzip library.
#include <cstdio>
#include <fstream>
#include <string>

#include "e2e.h"

namespace {

using e2e::Next;
using e2e::NextError;
using robot::Dialog;
using robot::Session;

const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";
const char* const MEMBERS[] = {
    "QVN32.EXE", "QVNTUTOR.HLP", "QVNHELP.HLP", "SETUP.EXE", "UNINSTAL.EXE", "DZIP32.DLL", "DUNZIP32.DLL",
};

class Distribution : public e2e::Walk {
protected:
    void SetUp() override
    {
        Walk::SetUp();
        use_real_library();
        e2e::RemoveTree(DEFAULT_FOLDER);
    }
    void TearDown() override
    {
        e2e::RemoveTree(DEFAULT_FOLDER);
        e2e::RemoveTree(e2e::GroupFolder());
        robot::CloseShellWindows();
        Walk::TearDown();
    }

    static std::string archive() { return e2e::WindowsPath(DISTRIBUTION); }
    static std::string payload(const char* member) { return e2e::WindowsPath(PAYLOAD_DIR) + "\\" + member; }
    static std::string installed(const char* member) { return std::string(DEFAULT_FOLDER) + "\\" + member; }
};

TEST_F(Distribution, TheSevenFilesArriveWholeAndTheRecordIsWritten)
{
    Session setup(archive() + "*" + DISTRIBUTION_CODE, program());
    Dialog d;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "#135", &d, "COPYFILES")) << "the copying goes without a message";
    EXPECT_TRUE(setup.press(d, IDCANCEL));
    ASSERT_TRUE(Next(setup, "SUCCESS", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    EXPECT_EQ(1u, setup.exitCode());

    for (const char* member : MEMBERS) {
        SCOPED_TRACE(member);
        std::string expected = e2e::ReadFile(payload(member));
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(e2e::ReadFile(installed(member)) == expected) << "byte-identical to the payload";
    }
    EXPECT_NE(std::string::npos,
              e2e::ReadFile(e2e::RecordPath()).find("Path=C:\\Program files\\Corvane Pro\\QVN32.EXE"));
}

// "Create Icons" with the desktop shell answering: the group becomes a
// folder of the Start menu's programs, holding a shortcut for each item.
TEST_F(Distribution, CreateIconsPutsFourShortcutsInTheGroup)
{
    e2e::RemoveTree(e2e::GroupFolder());
    Session setup(archive() + "*" + DISTRIBUTION_CODE, program());
    Dialog d;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "#135", &d, "COPYFILES"));
    DWORD start = GetTickCount();
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "SUCCESS", &d));
    std::printf("Create Icons with the desktop shell: %lu ms\n", GetTickCount() - start);
    EXPECT_TRUE(setup.press(d, IDOK));
    EXPECT_EQ(1u, setup.exitCode());

    struct Shortcut {
        const char* caption;
        const char* file;
    } shortcuts[] = {{"Corvane Pro32", "qvn32.exe"},
                     {"Uninstall32", "uninstal.exe"},
                     {"Corvane Pro32 Help", "qvnhelp.hlp"},
                     {"Corvane Pro32 Tutorial", "qvntutor.hlp"}};
    for (const Shortcut& s : shortcuts) {
        SCOPED_TRACE(s.caption);
        std::string target = e2e::ShortcutTarget(e2e::GroupFolder() + "\\" + s.caption + ".lnk");
        EXPECT_STRCASEEQ((std::string(DEFAULT_FOLDER) + "\\" + s.file).c_str(), target.c_str());
    }
}

// A wrong or missing code stops at the first file: the user learns why,
// nothing of an earlier installation is touched, and no record is written.
TEST_F(Distribution, AWrongCodeStopsTheInstallationAndTouchesNothing)
{
    for (std::string code : {std::string("*wrong"), std::string("")}) {
        SCOPED_TRACE(code.empty() ? "no code" : code);
        CreateDirectoryA(DEFAULT_FOLDER, nullptr);
        for (const char* member : MEMBERS)
            std::ofstream(installed(member)) << "earlier " << member;
        Session setup(archive() + code, program());
        Dialog d, box;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        EXPECT_TRUE(setup.press(d, IDOK));
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "COPYFILES"));
        ASSERT_TRUE(NextError(setup, "Bad or missing decrypt code", &box));
        EXPECT_TRUE(setup.press(box, IDOK));
        ASSERT_TRUE(NextError(setup, "\t\tError copying file !\t\t", &box));
        EXPECT_TRUE(setup.press(box, IDOK));
        ASSERT_TRUE(Next(setup, "SETUPINTRO"));
        EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
        for (const char* member : MEMBERS)
            EXPECT_EQ(std::string("earlier ") + member, e2e::ReadFile(installed(member)));
    }
}

}  // namespace
