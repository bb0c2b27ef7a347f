// Walks through the wizard as a person would, with the robot.
#include <string>

#include "e2e.h"

namespace {

using e2e::Next;
using robot::Dialog;
using robot::Session;

const char ARCHIVE[] = "C:\\SETUP.ZIP*code";
const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";

class Wizard : public e2e::Walk {};

TEST_F(Wizard, WithoutAnArchiveOnlyTheNoticeIsShown)
{
    struct Case {
        const char* tail;
        const char* close;
    } cases[] = {{"", "OK"}, {"*abc", "Escape"}, {"", "close box"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.tail + "\", " + c.close);
        Session setup(c.tail, program());
        Dialog notice;
        ASSERT_TRUE(Next(setup, "#141", &notice));
        EXPECT_EQ("NOTICE", notice.title);
        if (c.close == std::string("OK"))
            EXPECT_TRUE(setup.press(notice, IDOK));
        else if (c.close == std::string("Escape"))
            setup.escape(notice);
        else
            EXPECT_TRUE(setup.closeBox(notice));
        EXPECT_EQ(0u, setup.exitCode());
    }
}

TEST_F(Wizard, UninstallWithoutARecordSaysNotFoundAndExitsWith1)
{
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Exit");
        Session setup("UNINSTALL", program());
        Dialog scan, notFound;
        ASSERT_TRUE(Next(setup, "SETUPSCAN", &scan));
        EXPECT_FALSE(setup.closeBox(scan)) << "the scan notice has no title bar";
        ASSERT_TRUE(Next(setup, "WIZARDNOTFND", &notFound));
        if (escape)
            setup.escape(notFound);
        else
            EXPECT_TRUE(setup.press(notFound, IDOK));
        EXPECT_EQ(1u, setup.exitCode());
    }
}

TEST_F(Wizard, TheUninstallWordIsExactAndCaseSensitive)
{
    for (const char* tail : {"uninstall", "UNINSTALL "}) {
        SCOPED_TRACE(tail);
        Session setup(tail, program());
        Dialog intro, exit;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro)) << "install mode";
        EXPECT_TRUE(setup.press(intro, IDCANCEL));
        ASSERT_TRUE(Next(setup, "SETUPEXIT", &exit));
        EXPECT_TRUE(setup.press(exit, IDOK));
        EXPECT_EQ(0u, setup.exitCode());
    }
}

TEST_F(Wizard, UninstallIsOfferedOnlyForTheSameVersion)
{
    struct Case {
        const char* what;
        std::string record;
        bool enabled;
        const char* afterInstall;
    } cases[] = {
        {"nothing installed", "", false, "INSTALL"},
        {"2.0 installed", e2e::RecordFor("C:\\Apps"), true, "NOTICE1"},
        {"1.5 installed", e2e::RecordFor("C:\\Apps", 1, 5), false, "NOTICE1"},
        {"2.0 recorded without a path", "[VERSION]\r\nMajor=2\r\nMinor=0\r\n", false, "INSTALL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        e2e::RemoveRecord();
        if (!c.record.empty())
            e2e::WriteRecord(c.record);
        Session setup(ARCHIVE, program());
        Dialog intro;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
        ASSERT_NE(nullptr, intro.control(1001));
        EXPECT_EQ(c.enabled, intro.control(1001)->enabled);
        if (!c.enabled) {
            EXPECT_FALSE(setup.press(intro, 1001));
        }
        EXPECT_TRUE(setup.press(intro, IDOK));
        ASSERT_TRUE(Next(setup, c.afterInstall));
    }
}

TEST_F(Wizard, ANewerVersionStopsBothModes)
{
    struct Case {
        int major, minor;
        const char* tail;
    } cases[] = {{3, 0, ARCHIVE}, {2, 1, "UNINSTALL"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        std::string record = e2e::RecordFor("C:\\Apps", c.major, c.minor);
        e2e::WriteRecord(record);
        Session setup(c.tail, program());
        Dialog warning;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "NEWERVERSION", &warning));
        EXPECT_FALSE(setup.press(warning, IDOK)) << "there is no OK button";
        setup.enter(warning);  // a command with id 1 leaves it open
        EXPECT_FALSE(setup.gone(warning, 500));
        EXPECT_TRUE(setup.press(warning, IDCANCEL));
        EXPECT_EQ(0u, setup.exitCode());
        EXPECT_TRUE(e2e::Exists(e2e::RecordPath())) << "nothing was removed";
    }
}

TEST_F(Wizard, ExitSetupThenResumeReturnsToTheWelcome)
{
    Session setup(ARCHIVE, program());
    Dialog intro, exit;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.press(intro, IDCANCEL));
    ASSERT_TRUE(Next(setup, "SETUPEXIT", &exit));
    EXPECT_TRUE(setup.press(exit, IDCANCEL));  // Resume Setup
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    setup.escape(intro);
    ASSERT_TRUE(Next(setup, "SETUPEXIT", &exit));
    EXPECT_TRUE(setup.closeBox(exit));  // as Resume Setup
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.closeBox(intro));  // as Exit Setup
    ASSERT_TRUE(Next(setup, "SETUPEXIT", &exit));
    setup.enter(exit);  // the default button, Exit Setup
    EXPECT_EQ(0u, setup.exitCode());
}

TEST_F(Wizard, CancelAtRemoveReturnsToUninstall)
{
    e2e::WriteRecord(e2e::RecordFor("C:\\Some Apps\\Corvane"));
    Session setup("UNINSTALL", program());
    Dialog uninstall, remove, exit;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "UNISTALL", &uninstall));
    EXPECT_TRUE(setup.press(uninstall, IDOK));  // Remove
    ASSERT_TRUE(Next(setup, "REMOVE", &remove));
    EXPECT_EQ("C:\\Some Apps\\Corvane", remove.text(1004));
    EXPECT_TRUE(setup.press(remove, IDCANCEL));
    ASSERT_TRUE(Next(setup, "UNISTALL", &uninstall));
    EXPECT_TRUE(setup.press(uninstall, IDOK));
    ASSERT_TRUE(Next(setup, "REMOVE", &remove));
    EXPECT_TRUE(setup.closeBox(remove));  // as Cancel
    ASSERT_TRUE(Next(setup, "UNISTALL", &uninstall));
    setup.escape(uninstall);  // as Exit
    ASSERT_TRUE(Next(setup, "EXITUNINSTALL", &exit));
    setup.escape(exit);  // as Resume
    ASSERT_TRUE(Next(setup, "UNISTALL", &uninstall));
    EXPECT_TRUE(setup.press(uninstall, IDCANCEL));
    ASSERT_TRUE(Next(setup, "EXITUNINSTALL", &exit));
    EXPECT_TRUE(setup.press(exit, IDOK));
    EXPECT_EQ(0u, setup.exitCode());
}

TEST_F(Wizard, BothRemovalRoadsEndWithExitCode1)
{
    struct Case {
        const char* tail;
        const char* welcome;
        int button;
    } cases[] = {{"UNINSTALL", "UNISTALL", IDOK}, {ARCHIVE, "SETUPINTRO", 1001}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.welcome);
        e2e::WriteRecord(e2e::RecordFor("C:\\Apps"));
        Session setup(c.tail, program());
        Dialog welcome, remove, sweep, done;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, c.welcome, &welcome));
        EXPECT_TRUE(setup.press(welcome, c.button));
        ASSERT_TRUE(Next(setup, "REMOVE", &remove));
        EXPECT_EQ("C:\\Apps", remove.text(1004));
        setup.enter(remove);
        ASSERT_TRUE(Next(setup, "REMOVESCAN", &sweep));
        EXPECT_FALSE(setup.closeBox(sweep)) << "the removal notice has no title bar";
        ASSERT_TRUE(Next(setup, "RSUCCESS1", &done));
        setup.escape(done);  // no Cancel button: ends with 0, the removal is done all the same
        EXPECT_EQ(1u, setup.exitCode());
    }
}

TEST_F(Wizard, InstallIntoANewFolderCreatedLevelByLevel)
{
    const std::string target = scratch() + "\\Apps\\Corvane";
    Session setup(ARCHIVE, program());
    Dialog intro, install, create, copy, icons, success;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_FALSE(intro.control(1001)->enabled);
    EXPECT_EQ(IDOK, intro.focus) << "the default button has the focus";
    setup.enter(intro);
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    EXPECT_EQ(DEFAULT_FOLDER, install.text(1002));
    EXPECT_EQ(1002, install.focus);
    setup.type(install, 1002, target);
    setup.enter(install);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &create));
    EXPECT_EQ(target, create.text(1004));
    EXPECT_EQ(IDOK, create.focus);
    EXPECT_FALSE(e2e::Exists(target));
    EXPECT_TRUE(setup.press(create, IDOK));
    ASSERT_TRUE(Next(setup, "COPYFILES", &copy));
    EXPECT_EQ(target, copy.text(1004));
    EXPECT_TRUE(e2e::IsFolder(target));
    ASSERT_TRUE(Next(setup, "#135", &icons));
    EXPECT_TRUE(setup.press(icons, IDCANCEL));  // Skip
    ASSERT_TRUE(Next(setup, "SUCCESS", &success));
    EXPECT_TRUE(setup.press(success, IDOK));
    EXPECT_EQ(1u, setup.exitCode());
}

TEST_F(Wizard, EditAndCancelGoBack)
{
    const std::string target = scratch() + "\\New";
    Session setup(ARCHIVE, program());
    Dialog intro, install, create;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.press(intro, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    setup.type(install, 1002, target);
    EXPECT_TRUE(setup.press(install, IDOK));
    ASSERT_TRUE(Next(setup, "DIRCREATE", &create));
    EXPECT_TRUE(setup.press(create, IDCANCEL));  // Edit...
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    EXPECT_EQ(target, install.text(1002)) << "the folder typed before";
    EXPECT_FALSE(e2e::Exists(target));
    setup.enter(install);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &create));
    EXPECT_TRUE(setup.closeBox(create));  // as Edit...
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    setup.escape(install);  // as Cancel: back to the welcome dialog
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.press(intro, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    EXPECT_EQ(target, install.text(1002)) << "Cancel keeps the folder";
}

TEST_F(Wizard, AFolderTextLongerThan259CharactersIsCut)
{
    const std::string typed = "C:\\" + std::string(297, 'x');
    Session setup(ARCHIVE, program());
    Dialog intro, install, create;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.press(intro, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    setup.type(install, 1002, typed);
    EXPECT_EQ(typed, setup.reread(install).text(1002));
    EXPECT_TRUE(setup.press(install, IDOK));
    ASSERT_TRUE(Next(setup, "DIRCREATE", &create));
    EXPECT_EQ(typed.substr(0, 259), create.text(1004));
}

// Only a full path with a drive letter means one folder to every step:
// any other text is refused in INSTALL, before anything is created or
// extracted; an accepted one is used in its resolved form.
TEST_F(Wizard, OnlyAFullPathIsAcceptedAndItIsResolved)
{
    const char FULL_PATH_NEEDED[] =
        "Please type the folder as a full path that begins with a drive letter, for example\n\n"
        "C:\\Program files\\Corvane Pro";
    const std::string here = scratch();
    SetCurrentDirectoryA(here.c_str());  // where relative texts would land
    Session setup(ARCHIVE, program());
    SetCurrentDirectoryA("C:\\");
    Dialog d, install, box;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    for (const char* text : {"Apps", "dev\\tools", "C:Apps", "\\Apps", "\\\\server\\share\\Apps", "C:\\", "C:", "",
                             "C:\\.."}) {
        SCOPED_TRACE(text);
        setup.type(install, 1002, text);
        setup.enter(install);
        ASSERT_TRUE(e2e::NextError(setup, FULL_PATH_NEEDED, &box));
        EXPECT_EQ(install.window, box.owner);
        EXPECT_TRUE(setup.press(box, IDOK));
        EXPECT_FALSE(setup.gone(install, 200)) << "the folder is asked for again";
    }
    setup.escape(install);
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d)) << "neither DIRCREATE nor COPYFILES came";
    EXPECT_TRUE(e2e::FilesIn(here).empty()) << "nothing was created";

    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    setup.type(install, 1002, here + "\\old\\..\\.\\Corvane/Pro\\");
    setup.enter(install);
    const std::string resolved = here + "\\Corvane\\Pro";
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    EXPECT_EQ(resolved, d.text(1004));
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "#135", &d, "COPYFILES"));
    EXPECT_TRUE(setup.press(d, IDCANCEL));
    ASSERT_TRUE(Next(setup, "SUCCESS", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    EXPECT_EQ(1u, setup.exitCode());
    ASSERT_EQ(7u, requests().size());
    EXPECT_EQ(resolved, requests()[0].folder);
    EXPECT_NE(std::string::npos, e2e::ReadFile(e2e::RecordPath()).find("Path=" + resolved + "\\QVN32.EXE\r\n"));
}

// A recorded path too long for a path buffer is cut when it is read; its
// folder would be the real one's parent. Such a record names no usable
// place: nothing counts as installed, and nothing in that parent is
// touched. Its version still counts.
TEST_F(Wizard, ARecordedPathCutToFitIsNoInstallation)
{
    const std::string parent = scratch();
    const std::string path = parent + "\\" + std::string(300 - parent.size() - 11, 'x') + "\\QVN32.EXE";
    ASSERT_EQ(300u, path.size());
    e2e::WriteFile(parent + "\\QVN32.EXE", "not the application");
    struct Case {
        const char* tail;
        int major;
        const char* after;
    } cases[] = {{"UNINSTALL", 2, "WIZARDNOTFND"}, {ARCHIVE, 2, "SETUPINTRO"}, {ARCHIVE, 3, "NEWERVERSION"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tail) + " " + c.after);
        e2e::WriteRecord("[RELEASE]\r\nSetup=1\r\n[VERSION]\r\nMajor=" + std::to_string(c.major) +
                         "\r\nMinor=0\r\n[INSTALL PATH]\r\nPath=" + path + "\r\n");
        Session setup(c.tail, program());
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, c.after, &d));
        if (c.after == std::string("SETUPINTRO")) {
            EXPECT_FALSE(d.control(1001)->enabled) << "nothing to uninstall";
            EXPECT_TRUE(setup.press(d, IDOK));
            ASSERT_TRUE(Next(setup, "INSTALL", &d)) << "a fresh installation, not NOTICE1";
            EXPECT_EQ(DEFAULT_FOLDER, d.text(1002));
        }
    }
    EXPECT_EQ("not the application", e2e::ReadFile(parent + "\\QVN32.EXE"));
}

TEST_F(Wizard, ContinueInstallationGoesToTheRecordedFolder)
{
    struct Case {
        const char* what;
        bool present;
        const char* next;
    } cases[] = {{"folder present", true, "COPYFILES"}, {"folder gone", false, "DIRCREATE"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = scratch() + (c.present ? "\\Present" : "\\Gone");
        if (c.present)
            CreateDirectoryA(folder.c_str(), nullptr);
        e2e::WriteRecord(e2e::RecordFor(folder));
        Session setup(ARCHIVE, program());
        Dialog intro, notice, next;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
        EXPECT_TRUE(setup.press(intro, IDOK));
        ASSERT_TRUE(Next(setup, "NOTICE1", &notice));
        EXPECT_TRUE(setup.press(notice, IDOK));  // Continue installation
        ASSERT_TRUE(Next(setup, c.next, &next));
        EXPECT_EQ(folder, next.text(1004));
    }
}

TEST_F(Wizard, RemoveOldCopyThenTheFolderIsAskedFor)
{
    e2e::WriteRecord(e2e::RecordFor("C:\\Old Apps"));
    const std::string target = scratch() + "\\New";
    Session setup(ARCHIVE, program());
    Dialog intro, notice, install, create;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.press(intro, IDOK));
    ASSERT_TRUE(Next(setup, "NOTICE1", &notice));
    setup.escape(notice);  // as Cancel
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_TRUE(setup.press(intro, IDOK));
    ASSERT_TRUE(Next(setup, "NOTICE1", &notice));
    EXPECT_TRUE(setup.press(notice, 1006));  // Remove old copy
    ASSERT_TRUE(Next(setup, "REMOVESCAN"));
    ASSERT_TRUE(Next(setup, "INSTALL", &install));
    EXPECT_EQ("C:\\Old Apps", install.text(1002));
    setup.type(install, 1002, target);
    EXPECT_TRUE(setup.press(install, IDOK));
    ASSERT_TRUE(Next(setup, "DIRCREATE", &create));
    EXPECT_TRUE(setup.press(create, IDCANCEL));
    ASSERT_TRUE(Next(setup, "INSTALL", &install)) << "not NOTICE1: the old copy is gone";
    EXPECT_TRUE(setup.press(install, IDCANCEL));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_FALSE(intro.control(1001)->enabled) << "nothing is installed any more";
}

TEST_F(Wizard, EscapeAndTheCloseBoxAnswerNo)
{
    const std::string target = scratch() + "\\Target";
    Session setup(ARCHIVE, program());
    Dialog d;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    setup.type(d, 1002, target);
    EXPECT_TRUE(setup.closeBox(d));  // as Cancel
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    setup.type(d, 1002, target);
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    setup.escape(d);  // as Edit...
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    setup.enter(d);
    ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
    setup.enter(d);  // Create
    ASSERT_TRUE(Next(setup, "COPYFILES"));
    ASSERT_TRUE(Next(setup, "#135", &d));
    setup.escape(d);  // as Skip
    ASSERT_TRUE(Next(setup, "SUCCESS", &d));
    EXPECT_TRUE(setup.closeBox(d));  // no Cancel button: ends with 0, installed all the same
    EXPECT_EQ(1u, setup.exitCode());
}

// A dialog that cannot be created ends the flow with exit code 0, also
// late on a road: the copying (nothing extracted, nothing recorded), and
// the completion notice after a sweep that did its work.
TEST_F(Wizard, ALateDialogThatCannotBeCreatedEndsTheFlow)
{
    const std::string folder = scratch() + "\\Target";
    CreateDirectoryA(folder.c_str(), nullptr);
    {
        SCOPED_TRACE("COPYFILES");
        remove_template("COPYFILES");
        Session setup(ARCHIVE, program());
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        EXPECT_TRUE(setup.press(d, IDOK));
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        setup.type(d, 1002, folder);
        setup.enter(d);
        EXPECT_EQ(0u, setup.exitCode());
        EXPECT_TRUE(requests().empty());
        EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    }
    {
        SCOPED_TRACE("RSUCCESS1");
        remove_template("RSUCCESS1");
        e2e::WriteFile(folder + "\\QVN32.EXE", "installed");
        e2e::WriteRecord(e2e::RecordFor(folder));
        Session setup("UNINSTALL", program());
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "UNISTALL", &d));
        EXPECT_TRUE(setup.press(d, IDOK));
        ASSERT_TRUE(Next(setup, "REMOVE", &d));
        EXPECT_TRUE(setup.press(d, IDOK));
        ASSERT_TRUE(Next(setup, "REMOVESCAN"));
        EXPECT_EQ(0u, setup.exitCode());
        EXPECT_FALSE(e2e::Exists(folder)) << "the sweep was done";
        EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
    }
}

// The whole screen while the welcome dialog is up: the dialog centred over
// a maximised backdrop, the gradient in bands of 768/70 = 10 rows, the logo
// at (20, 20) without the bitmaps' last four columns.
TEST_F(Wizard, DialogsAreCentredOverTheGradientAndLogo)
{
    Session setup(ARCHIVE, program());
    Dialog intro;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
    EXPECT_LE(std::abs((intro.rect.left + intro.rect.right) / 2 - 512), 1);
    EXPECT_LE(std::abs((intro.rect.top + intro.rect.bottom) / 2 - 384), 1);

    robot::Image screen;
    ASSERT_TRUE(robot::CaptureScreen(screen));
    ASSERT_EQ(1024, screen.width);
    auto blue = [](int row) { return RGB(0, 0, 255 - 3 * (row / 10)); };
    struct Case {
        const char* what;
        int x, y;
        COLORREF colour;
    } cases[] = {
        {"top band", 1000, 0, blue(0)},
        {"second band", 1000, 10, blue(10)},
        {"bottom band", 1000, 767, blue(767)},
        {"yellow of the emblem", 20 + 30, 20 + 74, RGB(255, 255, 0)},
        {"gradient through the mask", 20 + 200, 20 + 5, blue(25)},
        {"white rule under the logo", 20 + 354, 20 + 177, RGB(255, 255, 255)},
        {"the rule's last four columns are not drawn", 20 + 356, 20 + 177, blue(197)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.colour, screen.at(c.x, c.y)) << c.what;
}

}  // namespace
