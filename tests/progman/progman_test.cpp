// The Program Manager operations in this process, against the recording
// stand-in on a service of its own (the desktop shell, which answers
// PROGMAN here, cannot come between), and against no server at all.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/driver.h"
#include "progman/progman.h"
#include "recorder.h"
#include "robot.h"

namespace {

const char RECORDER[] = "CorvaneRecorder";

std::vector<std::string> with(std::vector<std::string> lines, const std::string& conversation,
                              const std::vector<std::string>& commands)
{
    for (const std::string& command : commands)
        lines.push_back("x" + conversation + " " + command);
    return lines;
}

const std::vector<std::string> ITEMS = {
    "[AddItem(\"C:\\Apps\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]",
    "[AddItem(\"C:\\Apps\\uninstal.exe\",Uninstall32,,,115,1,,,)]",
    "[AddItem(\"C:\\Apps\\qvnhelp.hlp\",Corvane Pro32 Help,,,192,1,,,)]",
    "[AddItem(\"C:\\Apps\\qvntutor.hlp\",Corvane Pro32 Tutorial,,,269,1,,,)]",
};
const std::vector<std::string> REMOVAL = {
    "[ShowGroup(Corvane,2)]",      "[ShowGroup(Corvane,1)]",           "[DeleteItem(Corvane Pro32)]",
    "[DeleteItem(Uninstall32)]",   "[DeleteItem(Corvane Pro32 Help)]", "[DeleteItem(Corvane Pro32 Tutorial)]",
};

// Presses OK, from a thread of its own, on the "Error" boxes this process
// shows, and keeps their texts.
class BoxCloser {
public:
    BoxCloser()
        : thread_([this] {
              robot::Session self(GetCurrentProcessId(), false);
              while (!stop_) {
                  robot::Dialog box = self.next(100);
                  if (box && box.title == "Error" && self.press(box, IDOK))
                      texts_.push_back(box.message());
              }
          })
    {
    }
    std::vector<std::string> finish()
    {
        stop_ = true;
        thread_.join();
        return texts_;
    }

private:
    volatile bool stop_ = false;
    std::vector<std::string> texts_;
    std::thread thread_;
};

class Progman : public ::testing::Test {
protected:
    void SetUp() override
    {
        State = SetupState();
        lstrcpyA(State.TargetFolder, "C:\\Apps");
    }
};

// The group over one conversation, then the items over another, each
// command whole with its terminator; an item that times out is passed
// over silently; a command too long for its buffer is not sent.
TEST_F(Progman, CreateIconsSendsTheGroupThenTheItems)
{
    auto creation = [](const std::vector<std::string>& items) {
        std::vector<std::string> lines = with({"c1", "x1 [CreateGroup(Corvane)]", "d1", "c2"}, "2", items);
        lines.push_back("d2");
        return lines;
    };
    std::vector<std::string> atRoot = ITEMS;
    for (std::string& item : atRoot)
        item.replace(item.find("C:\\Apps"), 7, "D:\\");  // the folder as it stands, its backslash too
    struct Case {
        std::string folder;
        const char* delayed;
        std::vector<std::string> transcript;
    } cases[] = {
        {"C:\\Apps", "", creation(ITEMS)},
        {"C:\\Apps", "uninstal.exe", creation(ITEMS)},  // one times out, silently
        {"D:\\", "", creation(atRoot)},
        {"C:\\" + std::string(247, 'f'), "", creation({})},  // too long for the commands: not sent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.substr(0, 20) + " " + c.delayed);
        Recorder recorder(RECORDER, "", c.delayed, 1500);
        ASSERT_TRUE(recorder.ready());
        lstrcpyA(State.TargetFolder, c.folder.c_str());
        BoxCloser boxes;
        EXPECT_TRUE(ProgmanCreateGroup(nullptr, RECORDER));
        EXPECT_TRUE(ProgmanAddItems(RECORDER));
        EXPECT_TRUE(boxes.finish().empty());
        EXPECT_EQ(c.transcript, recorder.transcript());
    }
}

// The group activated first, the four items, and on a full uninstall the
// group (over the first conversation where, as in Wine, no second one is
// granted); without the group nothing more is sent.
TEST_F(Progman, RemovalSendsItsCommandsInOrder)
{
    std::vector<std::string> old = with({"c1"}, "1", REMOVAL), full = with(old, "1", {"[DeleteGroup(Corvane)]"});
    old.push_back("d1");
    full.push_back("d1");
    struct Case {
        bool removeGroup;
        const char* refused;
        bool result;
        std::vector<std::string> transcript;
    } cases[] = {
        {false, "", true, old},
        {true, "", true, full},
        {true, "[DeleteItem(Corvane Pro32 Help)]", true, full},
        {true, "[ShowGroup(Corvane,2)]", false, {"c1", "x1 " + REMOVAL[0], "d1"}},
        {true, "[ShowGroup(Corvane,1)]", false, {"c1", "x1 " + REMOVAL[0], "x1 " + REMOVAL[1], "d1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.refused) + (c.removeGroup ? " full" : " old copy"));
        Recorder recorder(RECORDER, c.refused);
        ASSERT_TRUE(recorder.ready());
        EXPECT_EQ(c.result, ProgmanRemoveItems(c.removeGroup, RECORDER));
        EXPECT_EQ(c.transcript, recorder.transcript());
    }
}

TEST_F(Progman, WithoutAServerOnlyTheGroupsFailureIsShown)
{
    BoxCloser boxes;
    EXPECT_FALSE(ProgmanCreateGroup(nullptr, "CorvaneNobodyAnswers"));
    EXPECT_TRUE(ProgmanAddItems("CorvaneNobodyAnswers"));
    EXPECT_TRUE(ProgmanRemoveItems(true, "CorvaneNobodyAnswers"));
    EXPECT_EQ(std::vector<std::string>{"Group Creation Failed"}, boxes.finish());
}

}  // namespace
