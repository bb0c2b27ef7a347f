// The removal (REMOVESCAN), walked by the robot on real files and a
// real record, with the recording Program Manager stand-in as PROGMAN.
#include "e2e.h"
#include "recorder.h"

namespace {

using namespace e2e;

const std::vector<std::string> ITEMS_REMOVED = {
    "[ShowGroup(Corvane,2)]",           "[ShowGroup(Corvane,1)]",
    "[DeleteItem(Corvane Pro32)]",      "[DeleteItem(Uninstall32)]",
    "[DeleteItem(Corvane Pro32 Help)]", "[DeleteItem(Corvane Pro32 Tutorial)]",
};

std::vector<std::string> application(std::vector<std::string> more = {})
{
    more.insert(more.end(), std::begin(MEMBERS), std::end(MEMBERS));
    return more;
}

std::string in(const std::string& folder, const std::string& name)
{
    return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

class Removal : public WalkTest {
protected:
    void TearDown() override
    {
        RemoveClassKey();
        WalkTest::TearDown();
    }
};

TEST_F(Removal, TheRemovalTakesWhatItShouldAndNothingElse)
{
    const std::string folder = scratch() + "\\Corvane Pro", here = scratch();
    std::string deep = scratch() + "\\" + std::string(120, 'a');
    MakeFolder(deep);
    deep += "\\" + std::string(248 - deep.size() - 1, 'b');
    const std::vector<std::string> help = {"QVNTUTOR.GID", "QVNHELP.GID"};
    const std::vector<std::string> stranger = {"workqvn.env", "a.env", "notes.lst", "work_qvn.txt", "sub\\SETUP.EXE"};
    struct Case {
        const char* what;
        std::string folder, record;
        bool full;  // a full uninstall, else the old copy's removal before reinstalling
        std::vector<std::string> gone, kept;
        bool folderStays;
        std::string runFrom = "C:\\";
    } cases[] = {
        {"a full uninstall", folder, RecordFor(folder), true,
         application({"QVNTUTOR.GID", "QVNHELP.GID", "work_qvn.env", "ARCHIVES_QVN.LST", "_qvn.env"}), stranger, true},
        {"an emptied folder goes", folder, RecordFor(folder), true, application({"settings_qvn.env"}), {}, false},
        {"without an edition no application file goes", folder, "[INSTALL PATH]\r\nPath=" + folder + "\\QVN32.EXE\r\n",
         true, {"work_qvn.env"}, application(), true},
        {"a read-only file stays", folder, RecordFor(folder), true, {"SETUP.EXE"}, {"QVNHELP.HLP!"}, true},
        {"a drive's root keeps the root", "D:\\", RecordFor("D:"), true, application(), {}, true},
        {"a path too long is skipped, never cut", deep, RecordFor(deep), true, {"QVN32.EXE"}, {"QVNTUTOR.H"}, true},
        {"the old copy before reinstalling", folder, RecordFor(folder), false, application(), {"work_qvn.env"}, true},
        {"a relative folder names no place", here + "\\Apps", "[RELEASE]\r\nSetup=1\r\n[INSTALL PATH]\r\nPath=Apps\\QVN32.EXE\r\n",
         true, {}, application({"QVNHELP.GID", "work_qvn.env"}), true, here},
        {"a drive-relative one neither", here + "\\Apps", "[RELEASE]\r\nSetup=1\r\n[INSTALL PATH]\r\nPath=C:Apps\\QVN32.EXE\r\n",
         true, {}, application({"QVNHELP.GID", "work_qvn.env"}), true, here},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeFolder(c.folder);
        for (const auto* list : {&c.gone, &c.kept})
            for (std::string name : *list) {
                bool readOnly = name.back() == '!';
                name = name.substr(0, name.size() - readOnly);
                if (name.find('\\') != std::string::npos)
                    MakeFolder(in(c.folder, name.substr(0, name.find('\\'))));
                WriteFile(in(c.folder, name), name);
                SetFileAttributesA(in(c.folder, name).c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : 0);
            }
        WriteRecord(c.record);
        RegisterClassKey();
        Recorder recorder("PROGMAN");
        ASSERT_TRUE(recorder.ready());
        SetCurrentDirectoryA(c.runFrom.c_str());
        Session setup(c.full ? "UNINSTALL" : ARCHIVE, program());
        SetCurrentDirectoryA("C:\\");
        EXPECT_TRUE(Walk(setup, c.full ? std::vector<Step>{{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "1"},
                                                           {"REMOVESCAN"}, {"RSUCCESS1", "1"}}
                                       : std::vector<Step>{{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1006"},
                                                           {"REMOVESCAN"}, {"INSTALL"}}));
        for (const std::string& name : c.gone)
            EXPECT_FALSE(Exists(in(c.folder, name))) << name;
        for (const std::string& name : c.kept)
            EXPECT_TRUE(Exists(in(c.folder, name.substr(0, name.find('!'))))) << name;
        EXPECT_EQ(c.folderStays, IsFolder(c.folder));
        EXPECT_EQ(!c.full, Exists(RecordPath()));
        EXPECT_FALSE(ClassKeyExists()) << "its subkeys go first";
        std::vector<std::string> commands = ITEMS_REMOVED;
        if (c.full)
            commands.push_back("[DeleteGroup(Corvane)]");
        EXPECT_EQ(commands, recorder.commands());
        robot::RemoveTree(c.folder.substr(0, c.folder.find_last_not_of('\\') + 1));
    }
}

// The removal waits for Program Manager, and meanwhile the platform
// dispatches what other programs send the notice: a close request then
// must not start a second removal inside the first.
TEST_F(Removal, ACloseRequestDuringTheRemovalStartsNoSecondRemoval)
{
    WriteRecord(RecordFor(scratch()));
    Recorder recorder("PROGMAN", "", "[ShowGroup(Corvane,2)]", 800);  // within its time-out
    ASSERT_TRUE(recorder.ready());
    Session setup("UNINSTALL", program());
    Dialog notice;
    ASSERT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "1"}, {"REMOVESCAN"}}, &notice));
    Sleep(300);
    DWORD_PTR ignored;
    SendMessageTimeoutA(notice.window, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &ignored);
    EXPECT_TRUE(Walk(setup, {{"RSUCCESS1", "1"}}));
    EXPECT_EQ(1u, setup.exitCode());
    EXPECT_EQ(7u, recorder.commands().size()) << "one removal";
}

}  // namespace
