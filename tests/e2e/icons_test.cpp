// The icon offer #135, walked by the robot: against the recording stand-in
// registered as PROGMAN (started after the desktop shell, it answers
// first; each test proves that it did), and against the shell itself.
#include <string>
#include <vector>

#include "e2e.h"
#include "recorder.h"

namespace {

using e2e::Next;
using e2e::NextError;
using robot::Dialog;
using robot::Session;

const char ARCHIVE[] = "C:\\SETUP.ZIP*code";

HDDEDATA CALLBACK no_callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// Sends one command to whoever answers PROGMAN; the stand-in writes it down,
// the shell does not.
testing::AssertionResult RecorderAnswersProgman(const Recorder& recorder)
{
    DWORD instance = 0;
    DdeInitializeA(&instance, no_callback, APPCMD_CLIENTONLY, 0);
    HSZ progman = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, progman, progman, nullptr);
    const char probe[] = "[CorvaneProbe()]";
    DWORD result;
    if (conversation)
        DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(probe)), sizeof probe, conversation, nullptr,
                             CF_TEXT, XTYP_EXECUTE, 2000, &result);
    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, progman);
    DdeUninitialize(instance);
    std::vector<std::string> commands = recorder.commands();
    if (commands.empty() || commands.back() != probe)
        return testing::AssertionFailure() << "the commands went to another PROGMAN server (the desktop shell?), "
                                              "not to the recording stand-in";
    return testing::AssertionSuccess();
}

class Icons : public e2e::Walk {
protected:
    // From the start to the icon offer, installing into a scratch folder
    // with the stand-in unzip library.
    void walk_to_icons(Session& setup, Dialog* icons)
    {
        target_ = scratch() + "\\Apps";
        Dialog d;
        ASSERT_TRUE(Next(setup, "SETUPSCAN"));
        ASSERT_TRUE(Next(setup, "SETUPINTRO", &d));
        ASSERT_TRUE(setup.press(d, IDOK));
        ASSERT_TRUE(Next(setup, "INSTALL", &d));
        setup.type(d, 1002, target_);
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "DIRCREATE", &d));
        setup.enter(d);
        ASSERT_TRUE(Next(setup, "#135", icons, "COPYFILES"));
    }

    // After the icon offer: the closing notice and exit code 1, whatever
    // became of the icons.
    static void walk_to_the_end(Session& setup)
    {
        Dialog success;
        ASSERT_TRUE(Next(setup, "SUCCESS", &success));
        EXPECT_TRUE(setup.press(success, IDOK));
        EXPECT_EQ(1u, setup.exitCode());
    }

    std::string target_;
};

TEST_F(Icons, SkipSendsNothing)
{
    script("* 0\n");
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup(ARCHIVE, program());
    Dialog icons;
    walk_to_icons(setup, &icons);
    EXPECT_TRUE(setup.press(icons, IDCANCEL));
    walk_to_the_end(setup);
    EXPECT_TRUE(recorder.events().empty());
    EXPECT_TRUE(RecorderAnswersProgman(recorder));
}

TEST_F(Icons, CreateIconsSendsTheGroupAndFourItems)
{
    script("* 0\n");
    Recorder recorder("PROGMAN");
    ASSERT_TRUE(recorder.ready());
    Session setup(ARCHIVE, program());
    Dialog icons;
    walk_to_icons(setup, &icons);
    EXPECT_TRUE(setup.press(icons, IDOK));
    walk_to_the_end(setup);

    const std::string quoted = "\"" + target_;
    std::vector<std::string> expected = {
        "[CreateGroup(Corvane)]",
        "[AddItem(" + quoted + "\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]",
        "[AddItem(" + quoted + "\\uninstal.exe\",Uninstall32,,,115,1,,,)]",
        "[AddItem(" + quoted + "\\qvnhelp.hlp\",Corvane Pro32 Help,,,192,1,,,)]",
        "[AddItem(" + quoted + "\\qvntutor.hlp\",Corvane Pro32 Tutorial,,,269,1,,,)]",
    };
    EXPECT_EQ(expected, recorder.commands());
    std::vector<std::string> kinds;
    for (const Recorder::Event& e : recorder.events())
        kinds.push_back(e.kind);
    EXPECT_EQ((std::vector<std::string>{"connect", "execute", "disconnect", "connect", "execute", "execute",
                                        "execute", "execute", "disconnect"}),
              kinds)
        << "two conversations: the group, then the items";
    EXPECT_TRUE(RecorderAnswersProgman(recorder));
}

TEST_F(Icons, ARefusedGroupIsReportedAndNoItemIsSent)
{
    script("* 0\n");
    Recorder recorder("PROGMAN", {"--refuse=[CreateGroup"});
    ASSERT_TRUE(recorder.ready());
    Session setup(ARCHIVE, program());
    Dialog icons, box;
    walk_to_icons(setup, &icons);
    EXPECT_TRUE(setup.press(icons, IDOK));
    ASSERT_TRUE(NextError(setup, "Group Creation Failed", &box));
    EXPECT_EQ(icons.window, box.owner);
    EXPECT_TRUE(setup.press(box, IDOK));
    walk_to_the_end(setup);
    EXPECT_EQ(std::vector<std::string>{"[CreateGroup(Corvane)]"}, recorder.commands());
    EXPECT_TRUE(RecorderAnswersProgman(recorder));
}

// While Program Manager takes its time over the group, the platform goes
// on dispatching input to the dialog: its buttons are off meanwhile, so
// neither a second "Create Icons" nor "Skip" can come in between.
TEST_F(Icons, TheButtonsAreOffWhileProgramManagerWorks)
{
    script("* 0\n");
    Recorder recorder("PROGMAN", {"--delay=[CreateGroup:1500"});
    ASSERT_TRUE(recorder.ready());
    Session setup(ARCHIVE, program());
    Dialog icons;
    walk_to_icons(setup, &icons);
    EXPECT_TRUE(setup.press(icons, IDOK));
    Sleep(500);
    Dialog busy = setup.reread(icons);
    ASSERT_TRUE(busy);
    EXPECT_FALSE(busy.control(IDOK)->enabled);
    EXPECT_FALSE(busy.control(IDCANCEL)->enabled);
    EXPECT_FALSE(setup.press(busy, IDOK));
    EXPECT_FALSE(setup.press(busy, IDCANCEL));
    walk_to_the_end(setup);
    EXPECT_EQ(5u, recorder.commands().size()) << "the group and the four items, once";
    EXPECT_TRUE(RecorderAnswersProgman(recorder));
}

}  // namespace
