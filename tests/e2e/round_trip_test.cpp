// Install, use, uninstall through the "Uninstall32" program's UNINSTAL.EXE,
// and find the machine as it was: with the real unzip library, the
// distribution the project packs, and the desktop shell's real group.
#include <string>
#include <vector>

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

class RoundTrip : public e2e::Walk {
protected:
    void SetUp() override
    {
        Walk::SetUp();
        use_real_library();
        clean();
    }
    void TearDown() override
    {
        clean();
        Walk::TearDown();
    }
    void clean()
    {
        e2e::RemoveTree(DEFAULT_FOLDER);
        e2e::RemoveTree(e2e::GroupFolder());
        for (const std::string& copy : e2e::UninstallCopies())
            e2e::RemoveTree(copy);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "Corvane.Pro32\\shell\\open\\command");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "Corvane.Pro32\\shell\\open");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "Corvane.Pro32\\shell");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "Corvane.Pro32\\DefaultIcon");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "Corvane.Pro32");
        robot::CloseShellWindows();
    }

    static std::string archive() { return e2e::WindowsPath(DISTRIBUTION) + "*" + DISTRIBUTION_CODE; }
    static std::string payload(const char* member) { return e2e::WindowsPath(PAYLOAD_DIR) + "\\" + member; }

    // A whole installation from the distribution into `folder`, with or
    // without icons.
    void install(const std::string& folder, bool icons)
    {
        Session setup(archive(), program());
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        setup.press(d, IDOK);
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        if (d.text(1002) != folder)
            setup.type(d, 1002, folder);
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "#135", &d, "COPYFILES"));
        setup.press(d, icons ? IDOK : IDCANCEL);
        ASSERT_TRUE(Next(setup, "SUCCESS", &d));
        setup.press(d, IDOK);
        ASSERT_EQ(1u, setup.exitCode());
    }

    // Runs the installed UNINSTAL.EXE as the "Uninstall32" item does and
    // walks the setup it starts through a full removal.
    void uninstall(const std::string& folder)
    {
        Session uninstaller("", folder + "\\UNINSTAL.EXE");
        EXPECT_EQ(0u, uninstaller.exitCode()) << "the installed copy gets out of the way at once";
        DWORD pid = robot::ProcessWithWindow("MelvroSetupWClass");
        ASSERT_NE(0u, pid) << "the setup started from the temporary copy";
        Session setup(pid, true);
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "UNISTALL", &d));
        setup.press(d, IDOK);
        ASSERT_TRUE(Next(setup, "REMOVE", &d));
        EXPECT_EQ(folder, d.text(1004));
        setup.press(d, IDOK);
        ASSERT_TRUE(Next(setup, "REMOVESCAN"));
        ASSERT_TRUE(Next(setup, "RSUCCESS1", &d));
        setup.press(d, IDOK);
        EXPECT_EQ(1u, setup.exitCode());
    }

    // The temporary copy is removed a little after it ends.
    static bool copies_gone()
    {
        for (int waited = 0; waited < 20000; waited += 250) {
            if (e2e::UninstallCopies().empty())
                return true;
            Sleep(250);
        }
        return false;
    }
};

TEST_F(RoundTrip, UninstallingLeavesNothingBehind)
{
    install(DEFAULT_FOLDER, true);
    for (const char* member : MEMBERS)
        EXPECT_TRUE(e2e::ReadFile(std::string(DEFAULT_FOLDER) + "\\" + member) == e2e::ReadFile(payload(member)))
            << member;
    const std::string record = e2e::ReadFile(e2e::RecordPath());
    size_t at = 0;
    for (const char* line : {"[SHAREWARE]", "Setup=0", "[RELEASE]", "Setup=1", "[VERSION]", "Major=2", "Minor=0",
                             "[INSTALL PATH]", "Path=C:\\Program files\\Corvane Pro\\QVN32.EXE"}) {
        at = record.find(line, at);
        EXPECT_NE(std::string::npos, at) << line;
    }
    for (const char* caption : {"Corvane Pro32", "Uninstall32", "Corvane Pro32 Help", "Corvane Pro32 Tutorial"})
        EXPECT_FALSE(e2e::ShortcutTarget(e2e::GroupFolder() + "\\" + caption + ".lnk").empty()) << caption;

    // The application at work: its class, its settings.
    e2e::RegisterClassKey();
    e2e::WriteFile(std::string(DEFAULT_FOLDER) + "\\work_qvn.env", "settings");
    e2e::WriteFile(std::string(DEFAULT_FOLDER) + "\\archives_qvn.lst", "recent archives");

    uninstall(DEFAULT_FOLDER);
    EXPECT_TRUE(copies_gone()) << "the temporary copy of the uninstaller removed itself";
    EXPECT_FALSE(e2e::Exists(DEFAULT_FOLDER));
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    EXPECT_FALSE(e2e::Exists(e2e::GroupFolder())) << "no shortcut and no group";
    EXPECT_FALSE(e2e::ClassKeyExists());
}

TEST_F(RoundTrip, AFileOfTheUsersKeepsTheFolderAndItself)
{
    install(DEFAULT_FOLDER, false);
    e2e::WriteFile(std::string(DEFAULT_FOLDER) + "\\my notes.txt", "mine");
    uninstall(DEFAULT_FOLDER);
    EXPECT_TRUE(copies_gone());
    EXPECT_EQ("mine", e2e::ReadFile(std::string(DEFAULT_FOLDER) + "\\my notes.txt"));
    for (const char* member : MEMBERS)
        EXPECT_FALSE(e2e::Exists(std::string(DEFAULT_FOLDER) + "\\" + member)) << member;
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
}

TEST_F(RoundTrip, InstallingAgainContinuesOrMovesTheCopy)
{
    install(DEFAULT_FOLDER, false);
    Dialog d;
    {
        Session setup(archive(), program());
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        setup.press(d, IDOK);
        ASSERT_TRUE(Next(setup, "NOTICE1", &d));
        setup.press(d, IDOK);  // Continue installation
        ASSERT_TRUE(Next(setup, "#135", &d, "COPYFILES"));
        setup.press(d, IDCANCEL);
        ASSERT_TRUE(Next(setup, "SUCCESS", &d));
        setup.press(d, IDOK);
        EXPECT_EQ(1u, setup.exitCode());
    }
    const std::string moved = scratch() + "\\Corvane Elsewhere";
    {
        Session setup(archive(), program());
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        setup.press(d, IDOK);
        ASSERT_TRUE(Next(setup, "NOTICE1", &d));
        setup.press(d, 1006);  // Remove old copy
        ASSERT_TRUE(Next(setup, "REMOVESCAN"));
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        setup.type(d, 1002, moved);
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "#135", &d, "COPYFILES"));
        setup.press(d, IDCANCEL);
        ASSERT_TRUE(Next(setup, "SUCCESS", &d));
        setup.press(d, IDOK);
        EXPECT_EQ(1u, setup.exitCode());
    }
    for (const char* member : MEMBERS) {
        EXPECT_FALSE(e2e::Exists(std::string(DEFAULT_FOLDER) + "\\" + member)) << member;
        EXPECT_TRUE(e2e::ReadFile(moved + "\\" + member) == e2e::ReadFile(payload(member))) << member;
    }
    EXPECT_NE(std::string::npos, e2e::ReadFile(e2e::RecordPath()).find("Path=" + moved + "\\QVN32.EXE"));
}

TEST_F(RoundTrip, AnUninstallerWithoutSetupBesideItSaysSo)
{
    const std::string alone = scratch() + "\\alone";
    CreateDirectoryA(alone.c_str(), nullptr);
    CopyFileA((robot::ProductFolder() + "\\UNINSTAL.EXE").c_str(), (alone + "\\UNINSTAL.EXE").c_str(), FALSE);
    Session uninstaller("", alone + "\\UNINSTAL.EXE");
    Dialog box = uninstaller.next();
    ASSERT_TRUE(box);
    EXPECT_EQ("Corvane Pro32 Uninstall", box.title);
    EXPECT_NE(std::string::npos, box.message().find("SETUP.EXE was not found")) << box.message();
    EXPECT_TRUE(uninstaller.press(box, IDOK));
    EXPECT_EQ(1u, uninstaller.exitCode());
    EXPECT_TRUE(e2e::UninstallCopies().empty());
}

}  // namespace
