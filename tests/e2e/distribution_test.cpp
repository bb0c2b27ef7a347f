// Installing from a real distribution archive with the real unzip library,
// where the user's files and the disk are at stake. The whole round trip,
// with the desktop shell's group and UNINSTAL.EXE, is walked by the main
// job's walk (tools/walk), which runs as a test of its own.
#include <cstdio>

#include "e2e.h"

namespace {

using namespace e2e;

class Distribution : public DistributionTest {};

// A wrong or missing code, a full disk in the middle of a member
// (SETUP.EXE, the fourth, on the session's 64 KiB drive E:), and the
// longest folder the setup takes (its check counts the library's
// temporary file in the staging folder): what was there before is
// untouched, nothing of a copying that failed stays, and a record is
// written, and the program listed among the installed ones, only for a
// whole installation.
TEST_F(Distribution, AnInstallationIsWholeOrLosesNothing)
{
    std::string longest = scratch() + "\\" + std::string(120, 'a');
    MakeFolder(longest);
    longest += "\\" + std::string(232 - longest.size() - 1, 'b');
    MakeFolder(DEFAULT_FOLDER);
    for (const char* member : MEMBERS)
        WriteFile(std::string(DEFAULT_FOLDER) + "\\" + member, std::string("earlier ") + member);
    const std::string stop = std::string("Error:") + COPY_FAILED;
    struct Case {
        const char* code;
        std::string folder;
        std::vector<Step> ending;
        size_t installed, files;
    } cases[] = {
        {"*wrong", DEFAULT_FOLDER, {{"Error:Bad or missing decrypt code", "1"}, {stop, "1"}, {"SETUPINTRO"}}, 0, 7},
        {"", DEFAULT_FOLDER, {{"Error:Bad or missing decrypt code", "1"}, {stop, "1"}, {"SETUPINTRO"}}, 0, 7},
        {"*" DISTRIBUTION_CODE, "E:\\Corvane", {{"Error:Disk full", "1"}, {stop, "1"}, {"SETUPINTRO"}}, 0, 0},
        {"*" DISTRIBUTION_CODE, longest, {{"#135", "2"}, {"SUCCESS", "1"}}, 7, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + " " + c.code);
        if (c.folder[0] == 'E' && !IsFolder("E:\\")) {
            std::printf("no small drive E: (the test session mounts one where it runs as root)\n");
            continue;
        }
        WriteRecord("");
        Session setup(archive(c.code), program());
        std::vector<Step> steps = {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", ">" + c.folder}};
        if (!IsFolder(c.folder))
            steps.push_back({"DIRCREATE", "1"});
        steps.insert(steps.end(), c.ending.begin(), c.ending.end());
        EXPECT_TRUE(Walk(setup, steps));
        EXPECT_EQ(c.installed, installed(c.folder));
        EXPECT_EQ(c.files, FilesIn(c.folder + "\\*").size()) << "nothing half-written or left over";
        EXPECT_EQ(c.installed == 7, Exists(RecordPath()));
        EXPECT_EQ(c.installed == 7, UninstallEntryExists()) << "listed among the installed programs when whole";
    }
    for (const char* member : MEMBERS)
        EXPECT_EQ(std::string("earlier ") + member, ReadFile(std::string(DEFAULT_FOLDER) + "\\" + member));
}

// Only a copy that the installed one made under the temporary folder may
// remove its own folder. The installed copy started with the temporary
// copy's argument, by hand or by another program, acts as the installed
// copy: when the user then leaves the removal, everything stays.
TEST_F(Distribution, TheInstalledUninstallerNeverRemovesItsOwnFolder)
{
    Session install(archive(), program());
    ASSERT_TRUE(Walk(install, {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", "1"}, {"DIRCREATE", "1"},
                               {"#135", "2"}, {"SUCCESS", "1"}}));
    MakeFolder(std::string(DEFAULT_FOLDER) + "\\mine");
    WriteFile(std::string(DEFAULT_FOLDER) + "\\mine\\notes.txt", "mine");
    for (const char* argument : {"/temporary", "/temporary 0123abcd"}) {
        SCOPED_TRACE(argument);
        Session uninstaller(argument, std::string(DEFAULT_FOLDER) + "\\UNINSTAL.EXE");
        EXPECT_EQ(0u, uninstaller.exitCode()) << "it got out of the way, as the installed copy does";
        Session setup(robot::ProcessWithWindow("MelvroSetupWClass"), true);
        EXPECT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"UNISTALL", "2"}, {"EXITUNINSTALL", "1"}}));
        EXPECT_EQ(0u, setup.exitCode());
        for (int waited = 0; waited < 20000 && !UninstallCopies().empty(); waited += 250)
            Sleep(250);
        EXPECT_TRUE(UninstallCopies().empty()) << "the temporary copy removed itself";
        EXPECT_EQ(7u, installed(DEFAULT_FOLDER));
        EXPECT_EQ("mine", ReadFile(std::string(DEFAULT_FOLDER) + "\\mine\\notes.txt"));
    }
}

}  // namespace
