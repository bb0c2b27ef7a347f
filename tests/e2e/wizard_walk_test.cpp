// The wizard's roads, walked by the robot with the stand-in library.
#include <cstdlib>

#include "e2e.h"

namespace {

using namespace e2e;

class Wizard : public WalkTest {};

// Each road: the record the run finds, its command line, the dialogs met
// and what the person does in each, and the exit code (STILL_ACTIVE: the
// run is left where it is).
TEST_F(Wizard, EveryRoadGoesWhereItShould)
{
    const std::string some = "C:\\Some Apps\\Corvane", target = scratch() + "\\New", present = scratch() + "\\Here";
    const std::string file = scratch() + "\\file.txt", decoy = scratch() + "\\QVN32.EXE";
    MakeFolder(present);
    WriteFile(file, "a file");
    WriteFile(decoy, "not the application");
    // Too long for a path buffer: read cut, its folder would be the parent.
    const std::string cut = "[RELEASE]\r\nSetup=1\r\n[VERSION]\r\nMajor=2\r\n[INSTALL PATH]\r\nPath=" + scratch() +
                            "\\" + std::string(280, 'x') + "\\QVN32.EXE\r\n";
    const std::string noRoom = "Error:\t\tUnable to create directory !\t\t", given = scratch() + "\\Given";
    // The machine's /proc: its rights cannot be told, so it is refused.
    const std::string unknowable = "Error:Setup cannot install into Z:\\proc\\corvane:  users who are not "
                                   "administrators may change\n\nZ:\\proc\n\nPlease choose a folder under Program Files.";
    const std::string log = scratch() + "\\walk.log", open = scratch() + "\\open";
    CreateDirectoryA(open.c_str(), nullptr);  // open to every user, as the session makes what it is not told
    const std::string openRefused = "Error:Setup cannot install into " + open + "\\Corvane:  users who are not "
                                    "administrators may delete or rename\n\n" + open +
                                    "\n\nPlease choose a folder under Program Files.";
    const std::string unknown = "Error:/bogus: Setup knows no such switch.\n\n"
                                "It knows /quiet, /passive, /dir=FOLDER, /log=FILE, /noicons, /wait=SECONDS and "
                                "/closeapplications.";
    const DWORD LEFT = STILL_ACTIVE;
    struct Road {
        const char* what;
        std::string record, tail;
        std::vector<Step> steps;
        DWORD exit;
    } roads[] = {
        {"no archive", "", "", {{"#141", "1"}}, 0},
        {"no archive: Escape", "", "*abc", {{"#141", "escape"}}, 0},
        {"no archive: the close box", "", "", {{"#141", "close"}}, 0},
        {"uninstall, nothing installed", "", "UNINSTALL", {{"SETUPSCAN"}, {"WIZARDNOTFND", "escape"}}, 1},
        {"uninstall, a record cut to fit", cut, "UNINSTALL", {{"SETUPSCAN"}, {"WIZARDNOTFND", "1"}}, 1},
        {"the word in lower case installs", "", "uninstall", {{"SETUPSCAN"}, {"SETUPINTRO", "2"}, {"SETUPEXIT", "1"}}, 0},
        {"newer version, install road", RecordFor("C:\\Apps", 3, 0), ARCHIVE, {{"SETUPSCAN"}, {"NEWERVERSION", "2"}}, 0},
        {"newer version, uninstall road", RecordFor("C:\\Apps", 2, 1), "UNINSTALL",
         {{"SETUPSCAN"}, {"NEWERVERSION", "2"}}, 0},
        {"leaving and resuming", "", ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "!1001 2"}, {"SETUPEXIT", "2"}, {"SETUPINTRO", "escape"},
          {"SETUPEXIT", "close"}, {"SETUPINTRO", "close"}, {"SETUPEXIT", "enter"}},
         0},
        {"cancelled removal", RecordFor(some), "UNINSTALL",
         {{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "2", 1004, some}, {"UNISTALL", "1"}, {"REMOVE", "close"},
          {"UNISTALL", "escape"}, {"EXITUNINSTALL", "escape"}, {"UNISTALL", "2"}, {"EXITUNINSTALL", "1"}},
         0},
        {"removal on the uninstall road", RecordFor("C:\\Apps"), "UNINSTALL",
         {{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "enter", 1004, "C:\\Apps"}, {"REMOVESCAN"},
          {"RSUCCESS1", "escape"}},
         1},
        {"removal from the welcome dialog", RecordFor("C:\\Apps"), ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1001"}, {"REMOVE", "1"}, {"REMOVESCAN"}, {"RSUCCESS1", "1"}}, 1},
        {"an older version can only be installed over", RecordFor("C:\\Apps", 1, 5), ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "!1001 1"}, {"NOTICE1"}}, LEFT},
        {"a record cut to fit names no installation", cut, ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "!1001 1"}, {"INSTALL", "", 1002, DEFAULT_FOLDER}}, LEFT},
        {"Escape and the close box answer no", "", ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", "close"}, {"SETUPINTRO", "enter"},
          {"INSTALL", ">" + target}, {"DIRCREATE", "escape"}, {"INSTALL", "2"}, {"SETUPINTRO", "1"},
          {"INSTALL", "enter", 1002, target}, {"DIRCREATE", "close"}, {"INSTALL", "escape"}},
         LEFT},
        {"continue installation, the folder there", RecordFor(present), ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1"}, {"COPYFILES", "", 1004, present}, {"#135", "escape"},
          {"SUCCESS", "close"}},
         1},
        {"continue installation, the folder gone", RecordFor(target), ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1"}, {"DIRCREATE", "2", 1004, target}}, LEFT},
        {"remove the old copy, then never again", RecordFor("C:\\Old Apps"), ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "escape"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1006"},
          {"REMOVESCAN"}, {"INSTALL", ">" + target, 1002, "C:\\Old Apps"}, {"DIRCREATE", "2"}, {"INSTALL", "2"},
          {"SETUPINTRO", "!1001"}},
         LEFT},
        {"/dir offered in INSTALL, no icon offer, a log", "", "/noicons /dir=" + given + " /log=" + log + " " + ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", "enter", 1002, given}, {"DIRCREATE", "1"}, {"SUCCESS", "1"}},
         1},
        {"an unknown switch is named, and nothing done", "", "/bogus UNINSTALL", {{unknown, "1"}}, 2},
        {"a passive run shows it too", "", "/passive /bogus UNINSTALL", {{unknown, "1"}}, 2},
        {"a folder above that every user may rename is refused", "", ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", ">" + open + "\\Corvane"}, {openRefused, "1"},
          {"INSTALL", "", 1002, open + "\\Corvane"}},
         LEFT},
        {"folders that cannot be made", "", ARCHIVE,
         {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", ">Q:\\Apps"}, {"DIRCREATE", "1"}, {noRoom, "1"},
          {"INSTALL", ">" + file + "\\sub"}, {"DIRCREATE", "1"}, {noRoom, "1"}, {"INSTALL", ">Z:\\proc\\corvane"},
          {unknowable, "1"}, {"INSTALL"}},
         LEFT},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.what);
        WriteRecord(road.record);
        Session setup(road.tail, program());
        EXPECT_TRUE(Walk(setup, road.steps));
        if (road.exit != LEFT) {
            EXPECT_EQ(road.exit, setup.exitCode());
        }
    }
    EXPECT_FALSE(Exists(target) || Exists(open + "\\Corvane")) << "never created";
    const std::string logged = ReadFile(log);
    EXPECT_NE(std::string::npos, logged.find("Folder created: " + given + "\r\n")) << logged;
    EXPECT_NE(std::string::npos, logged.find("No icons: /noicons\r\n")) << logged;
    EXPECT_NE(std::string::npos, logged.find("Exit code 1\r\n")) << "a person's run logs too";
    EXPECT_EQ("not the application", ReadFile(decoy)) << "the parent of a path cut to fit is not swept";
    EXPECT_EQ(0u, requests().size() % 7) << "whole copyings only";
}

// Only a full path with a drive letter means one folder to every step: any
// other text is refused in INSTALL, before anything is created or
// extracted; an accepted one is used in its resolved form.
TEST_F(Wizard, OnlyAFullPathIsAcceptedAndItIsResolved)
{
    const std::string here = scratch(), resolved = here + "\\Corvane\\Pro";
    SetCurrentDirectoryA(here.c_str());  // where relative texts would land
    Session setup(ARCHIVE, program());
    SetCurrentDirectoryA("C:\\");
    Dialog install, box;
    ASSERT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL"}}, &install));
    for (const char* text : {"Apps", "dev\\tools", "C:Apps", "\\Apps", "\\\\server\\share\\Apps", "C:\\", "C:", "",
                             "C:\\.."}) {
        setup.type(install, 1002, text);
        setup.enter(install);
        EXPECT_TRUE(Walk(setup, {{"Error:Please type the folder as a full path that begins with a drive letter, for "
                                  "example\n\nC:\\Program files\\Corvane Pro",
                                  "1"}}, &box))
            << text;
        EXPECT_TRUE(setup.gone(box)) << "and the folder is asked for again";
    }
    setup.type(install, 1002, "C:\\Programy\\Łódź");
    setup.enter(install);
    EXPECT_TRUE(Walk(setup, {{"Error:Setup cannot use the folder\n\nC:\\Programy\\Łódź\n\nsince this system cannot hold "
                              "these characters in a folder name:  Ł ź\n\nPlease type another folder.", "1"}}, &box));
    EXPECT_TRUE(setup.gone(box)) << "and the folder is asked for again";
    setup.escape(install);
    EXPECT_TRUE(FilesIn(here + "\\*").empty() && !Exists("C:\\Programy")) << "nothing was created";
    EXPECT_TRUE(Walk(setup, {{"SETUPINTRO", "1"}, {"INSTALL", ">" + here + "\\old\\..\\.\\Corvane/Pro\\"},
                             {"DIRCREATE", "1", 1004, resolved}, {"#135", "2"}, {"SUCCESS", "1"}}));
    EXPECT_EQ(1u, setup.exitCode());
    ASSERT_EQ(7u, requests().size());
    EXPECT_EQ(resolved + STAGING, requests()[0].folder);
    EXPECT_NE(std::string::npos, ReadFile(RecordPath()).find("Path=" + resolved + "\\QVN32.EXE\r\n"));
}

// "Continue installation" over a copy whose record names its folder by a
// path that is not a full one asks for the folder, the default offered:
// nothing is made relative to the current folder, and the record written
// names the full path chosen.
TEST_F(Wizard, ContinuingOverACopyWithoutAFullPathAsksForTheFolder)
{
    const std::string here = scratch(), folder = here + "\\Full";
    for (const char* path : {"APPS", "C:APPS"}) {
        WriteRecord(RecordFor(path));
        SetCurrentDirectoryA(here.c_str());  // where relative paths would land
        Session setup(ARCHIVE, program());
        SetCurrentDirectoryA("C:\\");
        EXPECT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1"}, {"INSTALL", ">" + folder, 1002,
                                  DEFAULT_FOLDER}, {"DIRCREATE", "1"}, {"#135", "2"}, {"SUCCESS", "1"}}))
            << path;
        EXPECT_EQ(std::vector<std::string>{"Full"}, FilesIn(here + "\\*")) << path;
        EXPECT_NE(std::string::npos, ReadFile(RecordPath()).find("Path=" + folder + "\\QVN32.EXE\r\n")) << path;
        robot::RemoveTree(folder);
    }
}

// A dialog that cannot be created ends the flow instead of looping on
// without showing anything, also late on a road: with exit code 0 before
// any work (the copying), and with 1 after it, since the run did what it
// was for (the closing notice after the files and the record were
// written, or after a removal that did its work). #135 has a number, not a
// name, for remove_template to change; it comes where SUCCESS comes.
TEST_F(Wizard, ALateDialogThatCannotBeCreatedEndsTheFlow)
{
    const std::string folder = scratch() + "\\Target";
    MakeFolder(folder);
    const std::vector<Step> install = {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", ">" + folder}};
    struct Case {
        const char* broken;
        std::string record;
        const char* tail;
        std::vector<Step> steps;
        DWORD exit;
        size_t requests;
    } cases[] = {
        {"COPYFILES", "", ARCHIVE, install, 0, 0},
        {"SUCCESS", "", ARCHIVE, {install[0], install[1], install[2], {"#135", "2"}}, 1, 7},
        {"RSUCCESS1", RecordFor(folder), "UNINSTALL", {{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "1"}, {"REMOVESCAN"}}, 1, 0},
    };
    for (const Case& c : cases) {
        remove_template(c.broken);
        WriteRecord(c.record);
        forget_requests();
        Session setup(c.tail, program());
        EXPECT_TRUE(Walk(setup, c.steps)) << c.broken;
        EXPECT_EQ(c.exit, setup.exitCode()) << c.broken;
        EXPECT_EQ(c.requests, requests().size()) << c.broken;
    }
    EXPECT_FALSE(Exists(folder)) << "the removal was done";
}

// The welcome dialog centred over a maximised backdrop whose blue darkens
// all the way down, and the logo at the top left: its own colours where
// it is drawn, the gradient showing through its mask around it.
TEST_F(Wizard, TheWelcomeIsCentredOverTheGradientAndLogo)
{
    Session setup(ARCHIVE, program());
    Dialog intro;
    ASSERT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO"}}, &intro));
    EXPECT_LE(std::abs((intro.rect.left + intro.rect.right) / 2 - 512), 1);
    EXPECT_LE(std::abs((intro.rect.top + intro.rect.bottom) / 2 - 384), 1);
    robot::Image screen;
    ASSERT_TRUE(robot::CaptureScreen(screen));
    EXPECT_EQ(RGB(0, 0, 255), screen.at(1000, 0));
    for (int y = 20; y < 768; y += 20)
        EXPECT_TRUE(screen.at(1000, y) == RGB(0, 0, GetBValue(screen.at(1000, y))) &&
                    GetBValue(screen.at(1000, y)) < GetBValue(screen.at(1000, y - 20)))
            << "row " << y;
    int logo = 0, gradient = 0;
    for (int y = 20; y < 225; y += 5)
        for (int x = 20; x < 375; x += 5)
            (screen.at(x, y) == screen.at(1000, y) ? gradient : logo) += 1;
    EXPECT_GT(logo, 300) << "the logo is drawn";
    EXPECT_GT(gradient, 300) << "the mask lets the gradient through";
}

}  // namespace
