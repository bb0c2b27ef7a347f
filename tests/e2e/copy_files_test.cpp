// The copying, walked by the robot, with the stand-in unzip library.
#include <fstream>
#include <string>
#include <vector>

#include "e2e.h"
#include "request_layout.h"

namespace {

using e2e::Next;
using e2e::NextError;
using robot::Dialog;
using robot::Session;

const char ARCHIVE[] = "C:\\SETUP.ZIP*code";
const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";
const char COPY_FAILED[] = "\t\tError copying file !\t\t";
const char CREATE_FAILED[] = "\t\tUnable to create directory !\t\t";
const std::vector<std::string> MEMBERS = {
    "QVN32.EXE", "QVNTUTOR.HLP", "QVNHELP.HLP", "SETUP.EXE", "UNINSTAL.EXE", "DZIP32.DLL", "DUNZIP32.DLL",
};

class Copying : public e2e::Walk {
protected:
    void TearDown() override
    {
        e2e::RemoveTree(DEFAULT_FOLDER);
        Walk::TearDown();
    }

    // From the start to the copying: the welcome dialog, INSTALL with
    // `folder` typed in, and DIRCREATE when the folder is missing.
    void walk_to_copying(Session& setup, const std::string& folder)
    {
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        ASSERT_TRUE(setup.press(d, IDOK));
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        if (d.text(1002) != folder)
            setup.type(d, 1002, folder);
        setup.enter(d);
        if (!e2e::IsFolder(folder)) {
            ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
            ASSERT_TRUE(setup.press(d, IDOK));
        }
        ASSERT_TRUE(Next(setup, "COPYFILES", &copying_));
    }

    Dialog copying_;
};

TEST_F(Copying, SevenFilesAreExtractedAndTheRecordWritten)
{
    e2e::RemoveTree(DEFAULT_FOLDER);
    Session setup(ARCHIVE, program());
    walk_to_copying(setup, DEFAULT_FOLDER);
    EXPECT_EQ(DEFAULT_FOLDER, copying_.text(1004));
    std::vector<std::string> shown;  // what "Copying:" names, in turn
    while (IsWindow(copying_.window)) {
        std::string name = setup.reread(copying_).text(1005);
        if (!name.empty() && (shown.empty() || shown.back() != name))
            shown.push_back(name);
        Sleep(10);
    }
    EXPECT_EQ(MEMBERS, shown);
    Dialog d;
    ASSERT_TRUE(Next(setup, "#135", &d));
    EXPECT_TRUE(setup.press(d, IDCANCEL));
    ASSERT_TRUE(Next(setup, "SUCCESS", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    EXPECT_EQ(1u, setup.exitCode());

    std::vector<e2e::Request> requests = this->requests();
    ASSERT_EQ(7u, requests.size());
    for (size_t i = 0; i < requests.size(); ++i) {
        const e2e::Request& r = requests[i];
        SCOPED_TRACE(MEMBERS[i]);
        EXPECT_EQ(MEMBERS[i], r.member);
        EXPECT_EQ("C:\\SETUP.ZIP", r.archive);
        EXPECT_EQ(DEFAULT_FOLDER, r.folder);
        EXPECT_EQ("code", r.code);
        EXPECT_TRUE(r.waitCursor) << "the wait cursor shows during the call";
        const layout::RequestLayout& at = layout::REQUEST;
        ASSERT_EQ(static_cast<size_t>(at.size), r.bytes.size());
        for (const layout::Word& w : at.words)
            EXPECT_EQ(w.value, r.word(w.offset)) << "offset " << w.offset;
        for (int offset : {at.archive, at.member, at.folder, at.code})
            EXPECT_NE(0, r.word(offset)) << "an address at offset " << offset;
        for (const auto& run : at.zeros)
            for (int offset = run[0]; offset < run[1]; ++offset)
                EXPECT_EQ(0, r.bytes[offset]) << "offset " << offset;
        EXPECT_TRUE(e2e::Exists(std::string(DEFAULT_FOLDER) + "\\" + MEMBERS[i]));
    }

    const std::string record = e2e::ReadFile(e2e::RecordPath());
    size_t at = 0;
    for (const char* line : {"[SHAREWARE]", "Setup=0", "[RELEASE]", "Setup=1", "[VERSION]", "Major=2", "Minor=0",
                             "[INSTALL PATH]", "Path=C:\\Program files\\Corvane Pro\\QVN32.EXE"}) {
        at = record.find(line, at);
        ASSERT_NE(std::string::npos, at) << line << " in order in:\n" << record;
    }
}

// What the user sees for each kind of library result.
TEST_F(Copying, LibraryResultsAreReportedAndNegativeOnesStopTheCopying)
{
    struct Box {
        std::string text;
        bool ownedByTheDialog;
    };
    struct Case {
        const char* script;
        std::vector<Box> boxes;
        size_t requests;
        bool recorded;
    } cases[] = {
        {"QVNHELP.HLP 9", {{"File not found", false}}, 7, true},
        {"QVNTUTOR.HLP 1", {{"", false}}, 7, true},
        {"DZIP32.DLL 51", {{"Unzip library error 51", false}}, 7, true},
        {"UNINSTAL.EXE -9", {{"File not found", false}, {COPY_FAILED, true}}, 5, false},
        {"SETUP.EXE -77", {{"Unzip library error -77", false}, {COPY_FAILED, true}}, 4, false},
        {"QVN32.EXE -1", {{"Unzip library error -1", false}, {COPY_FAILED, true}}, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        e2e::RemoveRecord();
        const std::string folder = scratch() + "\\" + std::to_string(&c - cases);
        CreateDirectoryA(folder.c_str(), nullptr);
        forget_requests();
        script(std::string(c.script) + "\n* 0 50\n");

        Session setup(ARCHIVE, program());
        walk_to_copying(setup, folder);
        for (const Box& expected : c.boxes) {
            Dialog box;
            ASSERT_TRUE(NextError(setup, expected.text, &box));
            EXPECT_EQ(expected.ownedByTheDialog ? copying_.window : nullptr, box.owner);
            EXPECT_TRUE(setup.press(box, IDOK));
        }
        Dialog d;
        if (c.recorded) {
            ASSERT_TRUE(Next(setup, "#135", &d)) << "the copying went on to the end";
        } else {
            ASSERT_TRUE(Next(setup, "SETUPINTRO", &d)) << "back to the welcome dialog, no success";
        }
        EXPECT_EQ(c.requests, requests().size());
        EXPECT_EQ(c.recorded, e2e::Exists(e2e::RecordPath()));
    }
}

TEST_F(Copying, FilesBeforeAStopStayAndLaterOnesAreNotTried)
{
    const std::string folder = scratch() + "\\Target";
    CreateDirectoryA(folder.c_str(), nullptr);
    script("UNINSTAL.EXE -29\n* 0 50\n");
    Session setup(ARCHIVE, program());
    walk_to_copying(setup, folder);
    Dialog box;
    ASSERT_TRUE(NextError(setup, "Error opening archive", &box));
    EXPECT_TRUE(setup.press(box, IDOK));
    ASSERT_TRUE(NextError(setup, COPY_FAILED, &box));
    EXPECT_TRUE(setup.press(box, IDOK));
    ASSERT_TRUE(Next(setup, "SETUPINTRO"));
    for (size_t i = 0; i < MEMBERS.size(); ++i)
        EXPECT_EQ(i < 4, e2e::Exists(folder + "\\" + MEMBERS[i])) << MEMBERS[i];
    EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
}

// The library's boxes have no owner, so the copying dialog's close box
// still works while one is open. That must not start the copying again.
TEST_F(Copying, ACloseRequestDuringTheCopyingIsIgnored)
{
    const std::string folder = scratch() + "\\Target";
    CreateDirectoryA(folder.c_str(), nullptr);
    script("QVNHELP.HLP 9\n* 0 50\n");
    Session setup(ARCHIVE, program());
    walk_to_copying(setup, folder);
    Dialog box;
    ASSERT_TRUE(NextError(setup, "File not found", &box));
    EXPECT_TRUE(setup.closeBox(copying_));
    EXPECT_FALSE(setup.gone(copying_, 500));
    EXPECT_TRUE(setup.press(box, IDOK));
    Dialog d;
    ASSERT_TRUE(Next(setup, "#135", &d));
    EXPECT_EQ(7u, requests().size()) << "one run of the copying, not two";
    EXPECT_TRUE(setup.press(d, IDCANCEL));
    ASSERT_TRUE(Next(setup, "SUCCESS", &d));
    EXPECT_TRUE(setup.press(d, IDOK));
    EXPECT_EQ(1u, setup.exitCode());
}

// A folder so long that a path the library makes in it would not fit a
// path buffer (the longest is its temporary file's, 15 characters):
// nothing is extracted, the copying stops, and the user is back at the
// welcome dialog with the way out open.
TEST_F(Copying, AFolderTooLongForItsFilesIsRefusedBeforeExtracting)
{
    for (size_t length : {244u, 250u}) {
        SCOPED_TRACE(length);
        forget_requests();
        std::string folder = scratch() + "\\" + std::string(150, 'a') + "\\";
        folder += std::string(length - folder.size(), static_cast<char>('b' + length % 10));
        ASSERT_EQ(length, folder.size());
        CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        Session setup(ARCHIVE, program());
        walk_to_copying(setup, folder);
        Dialog box, intro, exit;
        ASSERT_TRUE(NextError(setup, COPY_FAILED, &box));
        EXPECT_EQ(copying_.window, box.owner);
        EXPECT_TRUE(setup.press(box, IDOK));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &intro));
        EXPECT_TRUE(requests().empty());
        EXPECT_FALSE(e2e::Exists(e2e::RecordPath()));
        EXPECT_TRUE(setup.press(intro, IDCANCEL));
        ASSERT_TRUE(Next(setup, "SETUPEXIT", &exit));
        EXPECT_TRUE(setup.press(exit, IDOK));
        EXPECT_EQ(0u, setup.exitCode());
    }
}

// Folders that cannot be created: the message, then back to INSTALL to
// edit the folder.
TEST_F(Copying, FoldersThatCannotBeCreatedLeadBackToTheFolderDialog)
{
    const std::string file = scratch() + "\\file.txt";
    { std::ofstream(file) << "a file"; }
    const std::string targets[] = {
        "Q:\\Apps",
        file + "\\sub",
        "Z:\\proc\\corvane",
    };
    Session setup(ARCHIVE, program());
    Dialog d;
    ASSERT_TRUE(Next(setup, "SETUPSCAN"));
    ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
    ASSERT_TRUE(setup.press(d, IDOK));
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        setup.type(d, 1002, target);
        setup.enter(d);
        Dialog create, box;
        ASSERT_TRUE(Next(setup, "DIRCREATE", &create));
        EXPECT_EQ(target, create.text(1004));
        EXPECT_TRUE(setup.press(create, IDOK));
        ASSERT_TRUE(NextError(setup, CREATE_FAILED, &box));
        EXPECT_EQ(create.window, box.owner);
        EXPECT_TRUE(setup.press(box, IDOK));
    }
    ASSERT_TRUE(Next(setup, "INSTALL", &d));
    EXPECT_TRUE(requests().empty());
}

}  // namespace
