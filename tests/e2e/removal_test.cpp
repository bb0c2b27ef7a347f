// The removal sweep (REMOVESCAN), walked by the robot on real files and a
// real record, with the recording Program Manager stand-in registered as
// PROGMAN for the command sequences.
#include <string>
#include <vector>

#include "e2e.h"
#include "recorder.h"

namespace {

using e2e::Next;
using robot::Dialog;
using robot::Session;

const char* const APPLICATION[] = {"QVN32.EXE",    "QVNTUTOR.HLP", "QVNHELP.HLP", "SETUP.EXE",
                                   "UNINSTAL.EXE", "DZIP32.DLL",   "DUNZIP32.DLL"};
const char* const HELP_INDEXES[] = {"QVNTUTOR.GID", "QVNHELP.GID"};
const std::vector<std::string> ITEMS_REMOVED = {
    "[ShowGroup(Corvane,2)]",           "[ShowGroup(Corvane,1)]",
    "[DeleteItem(Corvane Pro32)]",      "[DeleteItem(Uninstall32)]",
    "[DeleteItem(Corvane Pro32 Help)]", "[DeleteItem(Corvane Pro32 Tutorial)]",
};

std::vector<std::string> with_group(std::vector<std::string> commands)
{
    commands.push_back("[DeleteGroup(Corvane)]");
    return commands;
}

class Removal : public e2e::Walk {
protected:
    void SetUp() override
    {
        Walk::SetUp();
        folder_ = scratch() + "\\Corvane Pro";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override
    {
        e2e::RemoveClassKey();
        Walk::TearDown();
    }

    std::string in_folder(const std::string& name) const { return folder_ + "\\" + name; }
    void put(const std::string& name) const { e2e::WriteFile(in_folder(name), name); }
    void put_installation() const
    {
        for (const char* name : APPLICATION)
            put(name);
        for (const char* name : HELP_INDEXES)
            put(name);
    }

    // UNINSTALL through to RSUCCESS1, REMOVE showing `folder`. Returns how
    // long the removal notice was up, in milliseconds.
    DWORD full_uninstall(Session& setup, const std::string& folder)
    {
        Dialog d;
        EXPECT_TRUE(Next(setup, "SETUPSCAN"));
        EXPECT_TRUE(Next(setup, "UNISTALL", &d));
        setup.press(d, IDOK);
        EXPECT_TRUE(Next(setup, "REMOVE", &d));
        EXPECT_EQ(folder, d.text(1004));
        setup.press(d, IDOK);
        EXPECT_TRUE(Next(setup, "REMOVESCAN", &d));
        DWORD start = GetTickCount();
        setup.gone(d, 10000);
        DWORD shown = GetTickCount() - start;
        EXPECT_TRUE(Next(setup, "RSUCCESS1", &d));
        setup.press(d, IDOK);
        EXPECT_EQ(1u, setup.exitCode());
        return shown;
    }

    std::string folder_;
};

TEST_F(Removal, AFullUninstallTakesTheApplicationItsSettingsRecordItemsGroupAndClassKey)
{
    put_installation();
    const char* const deleted[] = {"work_qvn.env", "ARCHIVES_QVN.LST", "_qvn.env"};
    const char* const kept[] = {"workqvn.env", "a.env", "notes.lst", "work_qvn.txt", "QVN32.EXE.bak"};
    for (const char* name : deleted)
        put(name);
    for (const char* name : kept)
        put(name);
    CreateDirectoryA(in_folder("sub").c_str(), nullptr);
    e2e::WriteFile(in_folder("sub\\SETUP.EXE"), "not at the top: not ours");
    e2e::WriteRecord(e2e::RecordFor(folder_));
    e2e::RegisterClassKey();
    ASSERT_TRUE(e2e::ClassKeyExists());
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());

    Session setup("UNINSTALL", program());
    DWORD shown = full_uninstall(setup, folder_);
    // The sweep holds two seconds from its start (measured in-process by
    // the sweep's own test); the robot sees the notice a little after that
    // start, later still on a busy machine. Without the hold the notice
    // would be gone in a few hundred.
    EXPECT_GE(shown, 1500u) << "the notice stays about two seconds";

    for (const char* name : APPLICATION)
        EXPECT_FALSE(e2e::Exists(in_folder(name))) << name;
    for (const char* name : HELP_INDEXES)
        EXPECT_FALSE(e2e::Exists(in_folder(name))) << name;
    for (const char* name : deleted)
        EXPECT_FALSE(e2e::Exists(in_folder(name))) << name;
    for (const char* name : kept)
        EXPECT_TRUE(e2e::Exists(in_folder(name))) << name;
    EXPECT_TRUE(e2e::Exists(in_folder("sub\\SETUP.EXE"))) << "nothing is deleted recursively";
    EXPECT_TRUE(e2e::IsFolder(folder_)) << "the folder is not empty";
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    EXPECT_FALSE(e2e::ClassKeyExists()) << "its subkeys went first";
    EXPECT_EQ(with_group(ITEMS_REMOVED), recorder.commands());
}

TEST_F(Removal, AnEmptiedFolderGoesAndAMissingClassKeyIsFine)
{
    put_installation();
    put("settings_qvn.env");
    e2e::WriteRecord(e2e::RecordFor(folder_));
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    full_uninstall(setup, folder_);
    EXPECT_FALSE(e2e::Exists(folder_)) << "nothing else was in it";
    EXPECT_FALSE(e2e::ClassKeyExists());
}

// A record that holds only a path: no edition, so no application file is
// touched; the rest of a full uninstall still happens.
TEST_F(Removal, WithoutAnEditionNoApplicationFileIsDeleted)
{
    put_installation();
    put("work_qvn.env");
    e2e::WriteRecord("[INSTALL PATH]\r\nPath=" + folder_ + "\\QVN32.EXE\r\n");
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    full_uninstall(setup, folder_);
    for (const char* name : APPLICATION)
        EXPECT_TRUE(e2e::Exists(in_folder(name))) << name;
    EXPECT_FALSE(e2e::Exists(in_folder("work_qvn.env")));
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    EXPECT_EQ(with_group(ITEMS_REMOVED), recorder.commands());
    EXPECT_TRUE(e2e::IsFolder(folder_));
}

TEST_F(Removal, AReadOnlyFileStaysAndTheSweepGoesOn)
{
    put_installation();
    SetFileAttributesA(in_folder("QVNHELP.HLP").c_str(), FILE_ATTRIBUTE_READONLY);
    e2e::WriteRecord(e2e::RecordFor(folder_));
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    full_uninstall(setup, folder_);
    EXPECT_TRUE(e2e::Exists(in_folder("QVNHELP.HLP")));
    EXPECT_FALSE(e2e::Exists(in_folder("SETUP.EXE")));
    EXPECT_FALSE(e2e::Exists(in_folder("DUNZIP32.DLL")));
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    EXPECT_EQ(with_group(ITEMS_REMOVED), recorder.commands());
}

// An application installed at the root of drive D:: its files go, the
// drive's root stays.
TEST_F(Removal, AFolderAtADriveRootKeepsTheRoot)
{
    for (const char* name : APPLICATION)
        e2e::WriteFile(std::string("D:\\") + name, name);
    e2e::WriteRecord(e2e::RecordFor("D:"));
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    full_uninstall(setup, "D:\\");
    for (const char* name : APPLICATION)
        EXPECT_FALSE(e2e::Exists(std::string("D:\\") + name)) << name;
    EXPECT_TRUE(e2e::IsFolder("D:\\"));
}

// A file whose path in the folder would not fit a path buffer is skipped,
// never cut into the path of another file.
TEST_F(Removal, APathTooLongIsSkippedNeverCut)
{
    std::string folder = scratch() + "\\" + std::string(120, 'a') + "\\";
    folder += std::string(248 - folder.size(), 'b');
    ASSERT_EQ(248u, folder.size());
    ASSERT_TRUE(CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    e2e::WriteFile(folder + "\\QVN32.EXE", "fits: 258 characters");
    e2e::WriteFile(folder + "\\QVNTUTOR.H", "what QVNTUTOR.HLP would be cut to");
    e2e::WriteRecord(e2e::RecordFor(folder));
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    full_uninstall(setup, folder);
    EXPECT_FALSE(e2e::Exists(folder + "\\QVN32.EXE"));
    EXPECT_TRUE(e2e::Exists(folder + "\\QVNTUTOR.H"));
}

// A record whose folder is not a full path names no one place: resolved
// against wherever the removal runs, it would be a stranger's folder. The
// sweep deletes no file there and removes no folder; the record, the items
// and the group still go.
TEST_F(Removal, ARecordedFolderThatIsNoFullPathLosesNoFile)
{
    const std::string here = scratch();
    for (const char* recorded : {"Apps\\QVN32.EXE", "C:Apps\\QVN32.EXE"}) {
        SCOPED_TRACE(recorded);
        CreateDirectoryA((here + "\\Apps").c_str(), nullptr);
        for (const char* name : {"QVN32.EXE", "QVNHELP.GID", "work_qvn.env"})
            e2e::WriteFile(here + "\\Apps\\" + name, "a stranger's");
        e2e::WriteRecord("[RELEASE]\r\nSetup=1\r\n[INSTALL PATH]\r\nPath=" + std::string(recorded) + "\r\n");
        Recorder recorder("PROGMAN");
        ASSERT_TRUE(recorder.ready());
        SetCurrentDirectoryA(here.c_str());  // the removal starts from here
        Session setup("UNINSTALL", program());
        SetCurrentDirectoryA("C:\\");
        full_uninstall(setup, std::string(recorded).substr(0, std::string(recorded).find_last_of('\\')));
        EXPECT_EQ(3u, e2e::FilesIn(here + "\\Apps").size()) << "no file was deleted";
        EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
        EXPECT_EQ(with_group(ITEMS_REMOVED), recorder.commands());
    }
}

// The sweep waits for Program Manager, and meanwhile the platform
// dispatches what other programs send the dialog: a close request then
// must not start a second sweep inside the first.
TEST_F(Removal, ACloseRequestDuringTheSweepStartsNoSecondSweep)
{
    put_installation();
    e2e::WriteRecord(e2e::RecordFor(folder_));
    Recorder recorder("PROGMAN", {"--delay=[ShowGroup(Corvane,2)]:800"});  // within its time-out
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    Dialog d, sweep;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "UNISTALL", &d));
    setup.press(d, IDOK);
    ASSERT_TRUE(Next(setup, "REMOVE", &d));
    setup.press(d, IDOK);
    ASSERT_TRUE(Next(setup, "REMOVESCAN", &sweep));
    Sleep(300);
    DWORD_PTR ignored;
    SendMessageTimeoutA(sweep.window, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &ignored);
    ASSERT_TRUE(Next(setup, "RSUCCESS1", &d));
    setup.press(d, IDOK);
    EXPECT_EQ(1u, setup.exitCode());
    EXPECT_EQ(with_group(ITEMS_REMOVED), recorder.commands()) << "one sweep";
}

// "Remove old copy" during an installation: the items go but the group,
// the settings files and the record stay; the folder is asked for next.
TEST_F(Removal, RemovingTheOldCopyBeforeAnInstallationKeepsGroupSettingsAndRecord)
{
    put_installation();
    put("work_qvn.env");
    e2e::WriteRecord(e2e::RecordFor(folder_));
    e2e::RegisterClassKey();
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup("C:\\SETUP.ZIP*code", program());
    Dialog d;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    setup.press(d, IDOK);
    ASSERT_TRUE(Next(setup, "NOTICE1", &d));
    setup.press(d, 1006);
    ASSERT_TRUE(Next(setup, "REMOVESCAN"));
    ASSERT_TRUE(Next(setup, "INSTALL", &d)) << "the folder is asked for, not the old copy offered";

    for (const char* name : APPLICATION)
        EXPECT_FALSE(e2e::Exists(in_folder(name))) << name;
    EXPECT_TRUE(e2e::Exists(in_folder("work_qvn.env")));
    EXPECT_TRUE(e2e::IsFolder(folder_));
    EXPECT_TRUE(e2e::Exists(e2e::RecordPath()));
    EXPECT_FALSE(e2e::ClassKeyExists());
    EXPECT_EQ(ITEMS_REMOVED, recorder.commands()) << "no DeleteGroup";

    setup.type(d, 1002, scratch() + "\\New");
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    setup.press(d, IDCANCEL);
    ASSERT_TRUE(Next(setup, "INSTALL", &d)) << "still not NOTICE1: nothing is installed now";
}

}  // namespace
