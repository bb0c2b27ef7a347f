// Unattended runs, as a deployment tool makes them: switches before the
// command tail, the decisions taken without a person, the log, the exit
// codes, and the quiet uninstall command of the list of installed programs.
// The real distribution and library, the desktop shell as Program Manager.
#include <memory>

#include "e2e.h"
#include "recorder.h"

namespace {

using namespace e2e;

class Unattended : public DistributionTest {};

// One machine through a day of deployments: each run from a command line,
// no window ever shown, and the files, the record, the entry, the
// shortcuts, the log and the exit code after it.
TEST_F(Unattended, AQuietRunDoesWhatAPersonWouldAndSaysSo)
{
    const std::string moved = scratch() + "\\Moved Here", given = scratch() + "\\Given", log = scratch() + "\\run.log";
    const std::string defaultLog = TempPath("CorvaneSetup.log"), to = " /log=" + log + " ";
    DeleteFileA(defaultLog.c_str());
    const std::string none = "no record", keep = "the record as it is";
    struct Case {
        const char* what;
        std::string record, line;
        DWORD exit;
        std::string folder;  // where the seven files are afterwards, or a folder never made
        std::vector<std::string> logged;
        bool icons = true;
    } cases[] = {
        {"to the default folder", none, "/quiet " + archive(), 1, DEFAULT_FOLDER,
         {"Record C:\\windows\\QVN32.INI: nothing installed", "Decision: install into C:\\Program files\\Corvane Pro",
          "Folder created: C:\\Program files\\Corvane Pro",
          "Program Manager: [CreateGroup(Corvane)] done"}},
        {"over the installed copy", keep, "/quiet" + to + archive(), 1, DEFAULT_FOLDER,
         {"Decision: the installation goes over version 2.0 in C:\\Program files\\Corvane Pro"}},
        {"moving it to another folder", keep, "/QUIET /Dir=\"" + moved + "\\.\"" + to + archive(), 1, moved,
         {"Decision: version 2.0 in C:\\Program files\\Corvane Pro is removed first, and the new copy goes to " + moved,
          "Deleted C:\\Program files\\Corvane Pro\\QVN32.EXE", "Folder removed: C:\\Program files\\Corvane Pro",
          "Decision: install into " + moved}},
        {"to /dir, without icons", none, "/quiet /noicons /dir=" + given + to + archive(), 1, given,
         {"Folder created: " + given, "No icons: /noicons"}, false},
        {"a newer version there", RecordFor("C:\\Apps", 3, 0), "/quiet" + to + archive(), 3, DEFAULT_FOLDER,
         {"Decision: nothing is done, version 3.0 is installed"}},
        {"a bad /dir", none, "/quiet /dir=Apps" + to + archive(), 2, DEFAULT_FOLDER,
         {"Error: /dir=Apps: the folder must be a full path that begins with a drive letter, for example  "
          "C:\\Program files\\Corvane Pro"}},
        {"a switch that swallows the tail", none, "/quiet /dir=\"C:\\My Apps " + archive(), 2, DEFAULT_FOLDER, {}},
        {"an unknown switch", none, "/quiet /silent" + to + archive(), 2, DEFAULT_FOLDER,
         {"Error: /silent: Setup knows no such switch.  It knows /quiet, /passive, /dir=FOLDER, /log=FILE, "
          "/noicons, /wait=SECONDS and /closeapplications."}},
        {"no archive there", none, "/quiet" + to + "C:\\NOWHERE.ZIP*code", 2, DEFAULT_FOLDER,
         {"The archive C:\\NOWHERE.ZIP cannot be found"}},
        {"a wrong code", none, "/quiet" + to + archive("*wrong"), 4, "", {"Error: Bad or missing decrypt code"}},
        {"a full disk", none, "/quiet /dir=E:\\Corvane" + to + archive(), 6, "", {"Error: Disk full"}},
        {"into a folder the code page cannot hold", none, "/quiet /dir=C:\\Programy\\Łódź" + to + archive(), 5,
         "C:\\Programy", {"Error: Setup cannot use the folder  C:\\Programy\\Łódź  since this system cannot hold "
                          "these characters in a folder name:  Ł ź  Please type another folder. (in UTF-8)"}},
        {"from an archive it cannot name", none, "/quiet" + to + "C:\\Łódź\\NONE.ZIP*code", 4, "",
         {"The archive C:\\Łódź\\NONE.ZIP (in UTF-8) has no name in the code page, short or long"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.line.find("E:\\") != std::string::npos && !IsFolder("E:\\"))
            continue;  // no small drive E: where the test session does not run as root
        if (c.record != keep) {
            clean();
            WriteRecord(c.record == none ? "" : c.record);
        }
        const std::string recordBefore = ReadFile(RecordPath()), pathBefore = EntryValue("InstallLocation");
        Session setup(c.line, program());
        std::string windowSeen;
        EXPECT_EQ(c.exit, setup.exitCodeUnseen(windowSeen, 60000));
        EXPECT_EQ("", windowSeen);

        std::vector<std::string> lines = LastRun(c.line.find("/log") == std::string::npos ? defaultLog : log);
        std::vector<std::string> expected = c.logged;
        expected.push_back("Exit code " + std::to_string(c.exit));
        if (c.exit == 1) {
            for (const char* member : MEMBERS)
                expected.push_back(std::string("Extracted ") + member + ": result 0, " +
                                   std::to_string(ReadFile(WindowsPath(PAYLOAD_DIR) + "\\" + member).size()) + " bytes");
            expected.push_back("Record written: " + RecordPath() + ", version 2.0, Path=" + c.folder + "\\QVN32.EXE");
        }
        EXPECT_TRUE(Logged(lines, expected));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(std::string::npos, ReadFile(log).find(DISTRIBUTION_CODE)) << "the code is never logged";
        EXPECT_EQ(std::string::npos, ReadFile(defaultLog).find(DISTRIBUTION_CODE));
        if (c.exit != 1) {
            EXPECT_EQ(recordBefore, ReadFile(RecordPath()));
            EXPECT_EQ(pathBefore, EntryValue("InstallLocation"));
            if (!c.folder.empty()) {
                EXPECT_FALSE(Exists(c.folder)) << "nothing was made";
            }
            continue;
        }
        EXPECT_EQ(7u, installed(c.folder));
        EXPECT_NE(std::string::npos, ReadFile(RecordPath()).find("Path=" + c.folder + "\\QVN32.EXE\r\n"));
        EXPECT_EQ("\"" + c.folder + "\\UNINSTAL.EXE\" /quiet", EntryValue("QuietUninstallString"));
        EXPECT_EQ(c.icons ? 4u : 0u, FilesIn(GroupFolder() + "\\*.lnk").size());
        if (c.folder != DEFAULT_FOLDER) {
            EXPECT_FALSE(Exists(DEFAULT_FOLDER));
        }
    }
    robot::RemoveTree(moved);
}

// The backdrop and the work notices are shown, nothing is asked, and the
// installation and the removal complete with nothing pressed.
TEST_F(Unattended, APassiveRunCompletesWithNothingPressed)
{
    struct Run {
        std::string line;
        const char* notice;  // the work notice besides the scan
        size_t installed, shortcuts;
    } runs[] = {{"/passive " + archive(), "COPYFILES", 7, 4}, {"/PASSIVE UNINSTALL", "REMOVESCAN", 0, 0}};
    for (const Run& run : runs) {
        SCOPED_TRACE(run.line);
        Session setup(run.line, program());
        std::vector<std::string> seen;
        Dialog first = setup.next();
        EXPECT_NE(0u, robot::ProcessWithWindow("MelvroSetupWClass", 1000)) << "the backdrop is up";
        for (Dialog d = first; d; d = setup.next(3000))
            seen.push_back(d.name);
        EXPECT_EQ(1u, setup.exitCode());
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ("SETUPSCAN", seen[0]);
        for (const std::string& name : seen)
            EXPECT_TRUE(name == "SETUPSCAN" || name == run.notice) << name << " asks";
        EXPECT_EQ(run.installed, installed(DEFAULT_FOLDER));
        EXPECT_EQ(run.shortcuts, FilesIn(GroupFolder() + "\\*.lnk").size());
    }
}

// As a deployment tool runs the command from the list of installed
// programs: it starts it and waits for that process, whose exit code is
// the removal's; a few seconds later nothing of the installation is left.
TEST_F(Unattended, TheQuietUninstallCommandEndsWithTheRemoval)
{
    Session install("/quiet " + archive(), program());
    ASSERT_EQ(1u, install.exitCode(60000));
    const std::string command = EntryValue("QuietUninstallString");
    ASSERT_EQ("\"" + std::string(DEFAULT_FOLDER) + "\\UNINSTAL.EXE\" /quiet", command);

    Session uninstall(command, "");
    std::string windowSeen;
    EXPECT_EQ(1u, uninstall.exitCodeUnseen(windowSeen, 60000));
    EXPECT_EQ("", windowSeen);
    EXPECT_FALSE(Exists(RecordPath()));
    EXPECT_FALSE(UninstallEntryExists());
    EXPECT_FALSE(Exists(GroupFolder()));
    for (int waited = 0; waited < 5000 && (Exists(DEFAULT_FOLDER) || !UninstallCopies().empty()); waited += 100)
        Sleep(100);
    EXPECT_FALSE(Exists(DEFAULT_FOLDER)) << "nor UNINSTAL.EXE in it";
    EXPECT_TRUE(UninstallCopies().empty()) << "nor the temporary copy and its scripts";
    EXPECT_TRUE(Logged(LastRun(TempPath("CorvaneSetup.log")),
                       {"Decision: remove the copy in " + std::string(DEFAULT_FOLDER), "Exit code 1"}));
}

// A deployment as SYSTEM: there is no desktop, so no shell answers
// Program Manager. SETUP.EXE runs on a desktop of a window station of its
// own, as a service does, and writes the group to the all-users Start menu
// as the shell makes it; every removal takes it away again, whether or
// not a shell answers. A shell that answers and refuses is left alone.
TEST_F(Unattended, WithoutAShellTheGroupIsWrittenToTheAllUsersStartMenu)
{
    enum Shell { NONE, REFUSING, DESKTOP };
    enum Plant { NOTHING, SOMEONES_FILE, GROUP_AS_LINK, FOLDER_AS_SHORTCUT, PROGRAMS_UNWRITABLE };
    const std::string group = GroupFolder(CSIDL_COMMON_PROGRAMS), someones = group + "\\Notes.txt";
    const std::string log = scratch() + "\\run.log", elsewhere = scratch() + "\\Else";
    const std::string nobody = "Program Manager: nobody answers on PROGMAN";
    const std::string refused = " cannot be made, or is a link or a file; no shortcut is written";
    struct Round {
        const char* what;
        Shell shell;
        std::string tail;
        DWORD exit;
        size_t shortcuts;  // in the all-users group afterwards
        std::vector<std::string> logged;
        Plant plant = NOTHING;
    } rounds[] = {
        {"installed", NONE, archive(), 1, 4,
         {nobody, "Start menu: no shell answers, so the group is made as files in " + group}},
        {"removed", NONE, "UNINSTALL", 1, 0,
         {"Program Manager: no shell answers, so a group it made in a person's Start menu is not reached",
          "Deleted " + group + "\\Corvane Pro32 Tutorial.lnk", "Folder removed: " + group}},
        {"into an all-users programs folder that takes nothing", NONE, archive(), 10, 0,
         {"Start menu: Z:\\proc\\Corvane" + refused, "Not completed: a step failed"},
         PROGRAMS_UNWRITABLE},
        {"into a group folder, a link", NONE, archive(), 10, 0, {"Start menu: " + group + refused}, GROUP_AS_LINK},
        {"with a shell that refuses the group", REFUSING, archive(), 1, 0,
         {"Error: Group Creation Failed", "Completed"}},
        {"installed again", NONE, archive(), 1, 4, {}},
        {"removed where the shell answers, beside someone's file", DESKTOP, "UNINSTALL", 1, 0,
         {"Deleted " + group + "\\Uninstall32.lnk"}, SOMEONES_FILE},
        {"with a shortcut's name taken by a folder", NONE, archive(), 10, 3,
         {"Start menu: " + group + "\\Uninstall32.lnk not written (0x80070005)"}, FOLDER_AS_SHORTCUT},
    };
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.what);
        const std::string programs = round.plant == PROGRAMS_UNWRITABLE ? MoveCommonPrograms("Z:\\proc") : "";
        std::unique_ptr<Recorder> refusing(round.shell == REFUSING ? new Recorder("PROGMAN", "[CreateGroup") : nullptr);
        if (round.plant == SOMEONES_FILE)
            WriteFile(someones, "mine");
        if (round.plant == GROUP_AS_LINK) {
            ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr) && MakeLink(group, elsewhere));
        } else if (round.plant == FOLDER_AS_SHORTCUT) {
            ASSERT_TRUE(CreateDirectoryA((group + "\\Uninstall32.lnk").c_str(), nullptr));
        }
        Session setup("/quiet /log=" + log + " " + round.tail, program(),
                      round.shell == NONE ? robot::ServiceDesktop() : "");
        EXPECT_EQ(round.exit, setup.exitCode(60000));
        EXPECT_TRUE(Logged(LastRun(log), round.logged));
        EXPECT_TRUE(Logged(LastRun(log), {"Exit code " + std::to_string(round.exit)}));
        EXPECT_TRUE(!refusing || (refusing->commands() == std::vector<std::string>{"[CreateGroup(Corvane)]"} &&
                                  refusing->answersProgman()))  // its one command, and proof that it answered
            << "the refusing stand-in";
        if (round.plant == PROGRAMS_UNWRITABLE)
            MoveCommonPrograms(programs);
        if (round.plant == GROUP_AS_LINK) {
            EXPECT_TRUE(RemoveLink(group) && FilesIn(elsewhere + "\\*").empty()) << "nothing went where the link leads";
        }
        EXPECT_EQ(round.shortcuts || round.plant == SOMEONES_FILE, Exists(group)) << "the group's folder";
        EXPECT_EQ(round.plant == SOMEONES_FILE || round.plant == FOLDER_AS_SHORTCUT, Exists(someones));
        size_t shortcuts = 0;
        const std::pair<const char*, const char*> items[] = {
            {"Corvane Pro32", "qvn32.exe"}, {"Uninstall32", "uninstal.exe"}, {"Corvane Pro32 Help", "qvnhelp.hlp"},
            {"Corvane Pro32 Tutorial", "qvntutor.hlp"}};
        for (auto [caption, file] : items) {
            // As the AddItem commands say: the program; no arguments, working folder or icon.
            Shortcut shortcut = ReadShortcut(group + "\\" + caption + ".lnk");
            if (shortcut.target.empty())
                continue;
            ++shortcuts;
            EXPECT_EQ(std::string(DEFAULT_FOLDER) + "\\" + file, shortcut.target) << caption;
            EXPECT_EQ("", shortcut.arguments + shortcut.folder + shortcut.icon) << caption;
            EXPECT_EQ(0, shortcut.iconIndex) << caption;
        }
        EXPECT_EQ(round.shortcuts, shortcuts);
    }
}

}  // namespace
