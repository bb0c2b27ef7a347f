// Installing from a real distribution archive with the real unzip library,
// using the desktop shell's real program group, and uninstalling through
// the installed UNINSTAL.EXE: the round trip, and the machine as it was.
#include <cstdio>
#include <string>

#include "e2e.h"

namespace {

using e2e::Next;
using e2e::NextError;
using robot::Dialog;
using robot::Session;

const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";
// On the test session's small drive, a 64 KiB file system.
const char SMALL_DRIVE_FOLDER[] = "E:\\Corvane";
const char* const MEMBERS[] = {
    "QVN32.EXE", "QVNTUTOR.HLP", "QVNHELP.HLP", "SETUP.EXE", "UNINSTAL.EXE", "DZIP32.DLL", "DUNZIP32.DLL",
};

class Distribution : public e2e::Walk {
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
    static void clean()
    {
        e2e::RemoveTree(DEFAULT_FOLDER);
        e2e::RemoveTree(SMALL_DRIVE_FOLDER);
        e2e::RemoveTree(e2e::GroupFolder());
        for (const std::string& copy : e2e::UninstallCopies())
            e2e::RemoveTree(copy);
        e2e::RemoveClassKey();
        robot::CloseShellWindows();
    }

    static std::string archive(const std::string& code = "*" DISTRIBUTION_CODE)
    {
        return e2e::WindowsPath(DISTRIBUTION) + code;
    }
    static std::string payload(const char* member) { return e2e::WindowsPath(PAYLOAD_DIR) + "\\" + member; }
    static std::string in(const std::string& folder, const char* member) { return folder + "\\" + member; }

    // From the start to the icon offer, installing into `folder`.
    static void walk_to_icons(Session& setup, const std::string& folder, Dialog* icons)
    {
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
        ASSERT_TRUE(Next(setup, "#135", icons, "COPYFILES")) << "the copying goes without a message";
    }

    // "Create Icons" or "Skip", then the closing notice; returns how long the
    // icons took to the notice, in milliseconds.
    static DWORD finish(Session& setup, const Dialog& icons, bool create)
    {
        Dialog success;
        DWORD start = GetTickCount();
        setup.press(icons, create ? IDOK : IDCANCEL);
        EXPECT_TRUE(Next(setup, "SUCCESS", &success));
        DWORD elapsed = GetTickCount() - start;
        setup.press(success, IDOK);
        EXPECT_EQ(1u, setup.exitCode());
        return elapsed;
    }

    void install(const std::string& folder, bool icons)
    {
        Session setup(archive(), program());
        Dialog offer;
        walk_to_icons(setup, folder, &offer);
        finish(setup, offer, icons);
    }

    // Runs the installed UNINSTAL.EXE as the "Uninstall32" item does and
    // walks the setup it starts through a full removal.
    static void uninstall(const std::string& folder)
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

    // The temporary copy of the uninstaller removes itself a little after
    // it ends.
    static bool copies_gone()
    {
        for (int waited = 0; waited < 20000; waited += 250) {
            if (e2e::UninstallCopies().empty())
                return true;
            Sleep(250);
        }
        return false;
    }

    static void expect_installed(const std::string& folder)
    {
        for (const char* member : MEMBERS)
            EXPECT_TRUE(e2e::ReadFile(in(folder, member)) == e2e::ReadFile(payload(member)))
                << member << " byte-identical to the payload";
        EXPECT_NE(std::string::npos, e2e::ReadFile(e2e::RecordPath()).find("Path=" + folder + "\\QVN32.EXE"));
    }
};

TEST_F(Distribution, TheFilesTheRecordAndTheShortcutsArrive)
{
    Session setup(archive(), program());
    Dialog icons;
    walk_to_icons(setup, DEFAULT_FOLDER, &icons);
    std::printf("Create Icons with the desktop shell: %lu ms\n", finish(setup, icons, true));

    expect_installed(DEFAULT_FOLDER);
    const std::string record = e2e::ReadFile(e2e::RecordPath());
    size_t at = 0;
    for (const char* line : {"[SHAREWARE]", "Setup=0", "[RELEASE]", "Setup=1", "[VERSION]", "Major=2", "Minor=0",
                             "[INSTALL PATH]", "Path=C:\\Program files\\Corvane Pro\\QVN32.EXE"}) {
        at = record.find(line, at);
        EXPECT_NE(std::string::npos, at) << line << " in order";
    }
    struct Shortcut {
        const char* caption;
        const char* file;
    } shortcuts[] = {{"Corvane Pro32", "qvn32.exe"},
                     {"Uninstall32", "uninstal.exe"},
                     {"Corvane Pro32 Help", "qvnhelp.hlp"},
                     {"Corvane Pro32 Tutorial", "qvntutor.hlp"}};
    for (const Shortcut& s : shortcuts) {
        std::string target = e2e::ShortcutTarget(e2e::GroupFolder() + "\\" + s.caption + ".lnk");
        EXPECT_STRCASEEQ(in(DEFAULT_FOLDER, s.file).c_str(), target.c_str()) << s.caption;
    }
}

// A wrong or missing code stops at the first file: the user learns why,
// nothing of an earlier installation is touched, and no record is written.
TEST_F(Distribution, AWrongCodeStopsTheInstallationAndTouchesNothing)
{
    for (const char* code : {"*wrong", ""}) {
        SCOPED_TRACE(*code ? code : "no code");
        CreateDirectoryA(DEFAULT_FOLDER, nullptr);
        for (const char* member : MEMBERS)
            e2e::WriteFile(in(DEFAULT_FOLDER, member), std::string("earlier ") + member);
        Session setup(archive(code), program());
        Dialog d, box;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        setup.press(d, IDOK);
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "COPYFILES"));
        ASSERT_TRUE(NextError(setup, "Bad or missing decrypt code", &box));
        setup.press(box, IDOK);
        ASSERT_TRUE(NextError(setup, "\t\tError copying file !\t\t", &box));
        setup.press(box, IDOK);
        ASSERT_TRUE(Next(setup, "SETUPINTRO"));
        EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
        for (const char* member : MEMBERS)
            EXPECT_EQ(std::string("earlier ") + member, e2e::ReadFile(in(DEFAULT_FOLDER, member)));
    }
}

TEST_F(Distribution, UninstallingLeavesNothingBehind)
{
    install(DEFAULT_FOLDER, true);
    e2e::RegisterClassKey();  // the application at work: its class, its settings
    e2e::WriteFile(in(DEFAULT_FOLDER, "work_qvn.env"), "settings");
    e2e::WriteFile(in(DEFAULT_FOLDER, "archives_qvn.lst"), "recent archives");

    uninstall(DEFAULT_FOLDER);
    EXPECT_TRUE(copies_gone()) << "the temporary copy of the uninstaller removed itself";
    EXPECT_FALSE(e2e::Exists(DEFAULT_FOLDER));
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    EXPECT_FALSE(e2e::Exists(e2e::GroupFolder())) << "no shortcut and no group";
    EXPECT_FALSE(e2e::ClassKeyExists());
}

TEST_F(Distribution, AFileOfTheUsersKeepsTheFolderAndItself)
{
    install(DEFAULT_FOLDER, false);
    e2e::WriteFile(in(DEFAULT_FOLDER, "my notes.txt"), "mine");
    uninstall(DEFAULT_FOLDER);
    EXPECT_TRUE(copies_gone());
    EXPECT_EQ("mine", e2e::ReadFile(in(DEFAULT_FOLDER, "my notes.txt")));
    for (const char* member : MEMBERS)
        EXPECT_FALSE(e2e::Exists(in(DEFAULT_FOLDER, member))) << member;
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
}

TEST_F(Distribution, InstallingAgainContinuesOrMovesTheCopy)
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
        finish(setup, d, false);
    }
    expect_installed(DEFAULT_FOLDER);

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
        finish(setup, d, false);
    }
    for (const char* member : MEMBERS)
        EXPECT_FALSE(e2e::Exists(in(DEFAULT_FOLDER, member))) << member;
    expect_installed(moved);
}

// The longest folder the setup takes (its check counts the library's
// temporary file, 15 characters) installs whole with the real library.
TEST_F(Distribution, TheLongestFolderItTakesInstallsWhole)
{
    std::string folder = scratch() + "\\" + std::string(120, 'a') + "\\";
    folder += std::string(243 - folder.size(), 'b');
    install(folder, false);
    expect_installed(folder);
}

// The disk fills up in the middle of a member (SETUP.EXE, the fourth): the
// user learns why, the copying stops, the members before it stay whole,
// nothing is left half-written and no record is written.
TEST_F(Distribution, AFullDiskStopsTheCopyingAndLosesNothing)
{
    if (!e2e::IsFolder("E:\\"))
        GTEST_SKIP() << "no small drive E: (the test session mounts one where it runs as root)";
    Session setup(archive(), program());
    Dialog d, box;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    setup.press(d, IDOK);
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    setup.type(d, 1002, SMALL_DRIVE_FOLDER);
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "COPYFILES"));
    ASSERT_TRUE(NextError(setup, "Disk full", &box));
    setup.press(box, IDOK);
    ASSERT_TRUE(NextError(setup, "\t\tError copying file !\t\t", &box));
    setup.press(box, IDOK);
    ASSERT_TRUE(Next(setup, "SETUPINTRO"));
    EXPECT_EQ(3u, e2e::FilesIn(SMALL_DRIVE_FOLDER).size()) << "the first three members and nothing else";
    for (const char* member : {"QVN32.EXE", "QVNTUTOR.HLP", "QVNHELP.HLP"})
        EXPECT_TRUE(e2e::ReadFile(in(SMALL_DRIVE_FOLDER, member)) == e2e::ReadFile(payload(member))) << member;
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
}

// Only a copy that the installed one made under the temporary folder may
// remove its own folder. The installed copy started with the temporary
// copy's argument, by hand or by another program, acts as the installed
// copy: when the user then leaves the removal, everything stays.
TEST_F(Distribution, TheInstalledUninstallerNeverRemovesItsOwnFolder)
{
    install(DEFAULT_FOLDER, false);
    CreateDirectoryA(in(DEFAULT_FOLDER, "mine").c_str(), nullptr);
    e2e::WriteFile(in(DEFAULT_FOLDER, "mine\\notes.txt"), "mine");
    e2e::WriteFile(in(DEFAULT_FOLDER, "letter.txt"), "mine too");
    for (const char* argument : {"/temporary", "/temporary 0123abcd"}) {
        SCOPED_TRACE(argument);
        Session uninstaller(argument, in(DEFAULT_FOLDER, "UNINSTAL.EXE"));
        EXPECT_EQ(0u, uninstaller.exitCode()) << "it got out of the way, as the installed copy does";
        DWORD pid = robot::ProcessWithWindow("MelvroSetupWClass");
        ASSERT_NE(0u, pid);
        Session setup(pid, true);
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "UNISTALL", &d));
        setup.press(d, IDCANCEL);  // Exit
        ASSERT_TRUE(Next(setup, "EXITUNINSTALL", &d));
        setup.press(d, IDOK);
        EXPECT_EQ(0u, setup.exitCode());
        EXPECT_TRUE(copies_gone());
        expect_installed(DEFAULT_FOLDER);
        EXPECT_EQ("mine", e2e::ReadFile(in(DEFAULT_FOLDER, "mine\\notes.txt")));
        EXPECT_EQ("mine too", e2e::ReadFile(in(DEFAULT_FOLDER, "letter.txt")));
    }
}

TEST_F(Distribution, AnUninstallerWithoutSetupBesideItSaysSo)
{
    const std::string alone = scratch() + "\\alone";
    CreateDirectoryA(alone.c_str(), nullptr);
    CopyFileA((robot::ProductFolder() + "\\UNINSTAL.EXE").c_str(), in(alone, "UNINSTAL.EXE").c_str(), FALSE);
    Session uninstaller("", in(alone, "UNINSTAL.EXE"));
    Dialog box = uninstaller.next();
    ASSERT_TRUE(box);
    EXPECT_EQ("Corvane Pro32 Uninstall", box.title);
    EXPECT_NE(std::string::npos, box.message().find("SETUP.EXE was not found")) << box.message();
    EXPECT_TRUE(uninstaller.press(box, IDOK));
    EXPECT_EQ(1u, uninstaller.exitCode());
    EXPECT_TRUE(e2e::UninstallCopies().empty());
}

}  // namespace
