// The copying and the icon offer, walked by the robot with the stand-in
// unzip library and the recording Program Manager stand-in.
#include "e2e.h"
#include "recorder.h"
#include "request_layout.h"

namespace {

using namespace e2e;

class Copying : public WalkTest {
protected:
    std::vector<Step> to_copying(const std::string& folder) const
    {
        return {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", ">" + folder}, {"DIRCREATE", "1"}};
    }
};

TEST_F(Copying, TheSevenFilesAreRequestedOneByOneAndTheRecordWritten)
{
    const std::string folder = scratch() + "\\Corvane";
    Session setup(ARCHIVE, program());
    std::vector<Step> steps = to_copying(folder);
    steps.insert(steps.end(), {{"COPYFILES", "", 1004, folder}, {"#135", "2"}, {"SUCCESS", "1"}});
    ASSERT_TRUE(Walk(setup, steps));
    EXPECT_EQ(1u, setup.exitCode());

    std::vector<Request> requests = this->requests();
    ASSERT_EQ(7u, requests.size());
    const layout::RequestLayout& at = layout::REQUEST;
    for (size_t i = 0; i < requests.size(); ++i) {
        const Request& r = requests[i];
        SCOPED_TRACE(MEMBERS[i]);
        EXPECT_EQ(MEMBERS[i], r.member);
        EXPECT_EQ("C:\\SETUP.ZIP", r.archive);
        EXPECT_EQ(folder + STAGING, r.folder);
        EXPECT_EQ("code", r.code);
        EXPECT_TRUE(r.waitCursor) << "the wait cursor shows during the call";
        ASSERT_EQ(static_cast<size_t>(at.size), r.bytes.size());
        for (const layout::Word& w : at.words)
            EXPECT_EQ(w.value, r.word(w.offset)) << "offset " << w.offset;
        for (const auto& run : at.zeros)
            for (int offset = run[0]; offset < run[1]; ++offset)
                EXPECT_EQ(0, r.bytes[offset]) << "offset " << offset;
        EXPECT_TRUE(Exists(folder + "\\" + MEMBERS[i]));
    }
    const std::string record = ReadFile(RecordPath());
    size_t found = 0;
    for (const char* line : {"[SHAREWARE]", "Setup=0", "[RELEASE]", "Setup=1", "[VERSION]", "Major=2", "Minor=0",
                             "[INSTALL PATH]"})
        EXPECT_NE(std::string::npos, found = record.find(line, found)) << line << " in order in " << record;
    EXPECT_NE(std::string::npos, record.find("Path=" + folder + "\\QVN32.EXE\r\n", found));
}

// A positive result is told and the copying goes on; a negative one is
// told, then the copying stops: the rest are not tried, nothing of it is
// left in the folder, no record is written and the user is back at the
// welcome dialog.
TEST_F(Copying, LibraryResultsAreToldAndNegativeOnesStopTheCopying)
{
    struct Case {
        const char* script;
        std::vector<Step> boxes;
        size_t requests;
    } cases[] = {
        {"QVNHELP.HLP 9", {{"Error:File not found", "1"}, {"#135", "2"}}, 7},
        {"QVNTUTOR.HLP 1", {{"Error:", "1"}, {"#135", "2"}}, 7},
        {"DZIP32.DLL 51", {{"Error:Unzip library error 51", "1"}, {"#135", "2"}}, 7},
        {"UNINSTAL.EXE -9", {{"Error:File not found", "1"}, {std::string("Error:") + COPY_FAILED, "1"}}, 5},
        {"SETUP.EXE -77", {{"Error:Unzip library error -77", "1"}, {std::string("Error:") + COPY_FAILED, "1"}}, 4},
        {"QVN32.EXE -29", {{"Error:Error opening archive", "1"}, {std::string("Error:") + COPY_FAILED, "1"}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string folder = scratch() + "\\" + std::to_string(&c - cases);
        script(std::string(c.script) + "\n* 0 50\n");
        forget_requests();
        WriteRecord("");
        Session setup(ARCHIVE, program());
        std::vector<Step> steps = to_copying(folder);
        steps.insert(steps.end(), c.boxes.begin(), c.boxes.end());
        steps.push_back({c.requests == 7 ? "SUCCESS" : "SETUPINTRO"});
        EXPECT_TRUE(Walk(setup, steps));
        EXPECT_EQ(c.requests, requests().size());
        EXPECT_EQ(c.requests == 7 ? 6u : 0u, FilesIn(folder + "\\*").size()) << "all but the member told of, or none";
        EXPECT_EQ(c.requests == 7, Exists(RecordPath()));
    }
}

// The library's boxes have no owner, so the copying notice's close box
// still works while one is open. That must not start the copying again.
TEST_F(Copying, ACloseRequestDuringTheCopyingIsIgnored)
{
    script("QVNHELP.HLP 9\n* 0 50\n");
    Session setup(ARCHIVE, program());
    std::vector<Step> steps = to_copying(scratch() + "\\Target");
    steps.push_back({"COPYFILES"});
    Dialog copying, box;
    ASSERT_TRUE(Walk(setup, steps, &copying));
    ASSERT_TRUE(Walk(setup, {{"Error:File not found"}}, &box));
    EXPECT_TRUE(setup.closeBox(copying));
    EXPECT_FALSE(setup.gone(copying, 500));
    EXPECT_TRUE(setup.press(box, IDOK));
    EXPECT_TRUE(Walk(setup, {{"#135", "2"}, {"SUCCESS", "1"}}));
    EXPECT_EQ(7u, requests().size()) << "one run of the copying, not two";
}

// A folder so long that a path the library makes in its staging folder
// would not fit a path buffer (the longest is its temporary file's, 15
// characters, in "~SETUP.NEW") is refused in INSTALL, which stays: no
// level of it is made and nothing is extracted.
TEST_F(Copying, AFolderTooLongForItsFilesIsRefusedInInstall)
{
    std::string deep = scratch() + "\\" + std::string(150, 'a');
    Session setup(ARCHIVE, program());
    Dialog install, box;
    ASSERT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL"}}, &install));
    for (size_t length : {233u, 250u}) {
        setup.type(install, 1002, deep + "\\" + std::string(length - deep.size() - 1, 'b'));
        setup.enter(install);
        EXPECT_TRUE(Walk(setup, {{"Error:The folder name is too long for the files that go into it.  Please type a "
                                  "shorter one.", "1"}}, &box)) << length;
        EXPECT_TRUE(setup.gone(box));
        EXPECT_FALSE(setup.gone(install, 300)) << "INSTALL stays";
    }
    setup.escape(install);
    EXPECT_TRUE(Walk(setup, {{"SETUPINTRO"}}));
    EXPECT_TRUE(FilesIn(scratch() + "\\*").empty());
    EXPECT_TRUE(requests().empty());
}

// "Skip" sends nothing. "Create Icons" sends the group and, only when it
// was made, the items; the offer is gone while Program Manager takes its
// time, so neither a second "Create Icons" nor "Skip" can come in
// between, and a close request to the backdrop meanwhile does not end the
// run.
TEST_F(Copying, TheIconOfferTalksToProgramManager)
{
    script("* 0\n");
    struct Case {
        const char* refused;
        std::vector<Step> after;
        size_t commands;
        const char* button = "1";
    } cases[] = {
        {"[CreateGroup", {{"Error:Group Creation Failed", "1"}, {"SUCCESS", "1"}}, 1},
        {"", {{"SUCCESS", "1"}}, 5},
        {"", {{"SUCCESS", "1"}}, 0, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.refused) + c.button);
        Recorder recorder("PROGMAN", c.refused, "[CreateGroup", 1500);
        ASSERT_TRUE(recorder.ready());
        WriteRecord("");
        Session setup(ARCHIVE, program());
        Dialog icons;
        std::vector<Step> steps = to_copying(scratch() + "\\" + std::to_string(c.commands));
        steps.push_back({"#135", c.button});
        ASSERT_TRUE(Walk(setup, steps, &icons));
        Sleep(500);
        EXPECT_TRUE(setup.gone(icons, 0)) << "Program Manager is still at work";
        HWND backdrop = FindWindowA("MelvroSetupWClass", nullptr);
        ASSERT_TRUE(backdrop);
        DWORD_PTR ignored;
        SendMessageTimeoutA(backdrop, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &ignored);
        EXPECT_TRUE(Walk(setup, c.after));
        EXPECT_EQ(1u, setup.exitCode());
        EXPECT_EQ(c.commands, recorder.commands().size());
        EXPECT_TRUE(recorder.answersProgman());
    }
}

}  // namespace
