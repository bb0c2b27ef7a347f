// The three Program Manager operations in this process, against the
// recording stand-in on a service of its own (so the desktop shell, which
// always answers PROGMAN here, cannot come between), against no server at
// all, and against the shell itself.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/driver.h"
#include "progman/progman.h"
#include "recorder.h"
#include "robot.h"

namespace {

const char RECORDER[] = "CorvaneRecorder";
const char NOBODY[] = "CorvaneNobodyAnswers";

const std::vector<std::string> ADD_ITEMS = {
    "[AddItem(\"C:\\Apps\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]",
    "[AddItem(\"C:\\Apps\\uninstal.exe\",Uninstall32,,,115,1,,,)]",
    "[AddItem(\"C:\\Apps\\qvnhelp.hlp\",Corvane Pro32 Help,,,192,1,,,)]",
    "[AddItem(\"C:\\Apps\\qvntutor.hlp\",Corvane Pro32 Tutorial,,,269,1,,,)]",
};
const std::vector<std::string> REMOVE_ITEMS = {
    "[ShowGroup(Corvane,2)]",
    "[ShowGroup(Corvane,1)]",
    "[DeleteItem(Corvane Pro32)]",
    "[DeleteItem(Uninstall32)]",
    "[DeleteItem(Corvane Pro32 Help)]",
    "[DeleteItem(Corvane Pro32 Tutorial)]",
};

// The order of the conversation events, with each conversation named by
// the order it began in: "c1", "x1 [CreateGroup(Corvane)]", "d1", ... A
// handle can come back for a later conversation, so the latest one of a
// handle is meant.
std::vector<std::string> transcript(const Recorder& recorder)
{
    std::vector<std::string> opened, lines;
    for (const Recorder::Event& e : recorder.events()) {
        if (e.kind == "connect")
            opened.push_back(e.conversation);
        size_t n = opened.size();
        while (n > 0 && opened[n - 1] != e.conversation)
            --n;
        std::string name = std::to_string(n);
        if (e.kind == "connect")
            lines.push_back("c" + name);
        else if (e.kind == "disconnect")
            lines.push_back("d" + name);
        else
            lines.push_back("x" + name + " " + e.data.substr(0, e.data.find('\0')));
    }
    return lines;
}

// Closes, from a thread of its own, the "Error" boxes this process shows
// and keeps their texts.
class BoxCloser {
public:
    BoxCloser()
        : thread_([this] {
              robot::Session self(GetCurrentProcessId());
              while (!stop_) {
                  robot::Dialog box = self.next(100);
                  if (box && box.title == "Error") {
                      texts_.push_back(box.message());
                      owners_.push_back(box.owner);
                      self.press(box, IDOK);
                  }
              }
          })
    {
    }
    ~BoxCloser() { finish(); }
    std::vector<std::string> finish()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return texts_;
    }

private:
    volatile bool stop_ = false;
    std::vector<std::string> texts_;
    std::vector<HWND> owners_;
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

TEST_F(Progman, CreateIconsSendsFiveCommandsOverTwoConversations)
{
    Recorder recorder(RECORDER);
    ASSERT_TRUE(recorder.ready());
    EXPECT_TRUE(ProgmanCreateGroup(nullptr, RECORDER));
    EXPECT_TRUE(ProgmanAddItems(nullptr, RECORDER));
    std::vector<std::string> expected = {"c1", "x1 [CreateGroup(Corvane)]", "d1", "c2"};
    for (const std::string& item : ADD_ITEMS)
        expected.push_back("x2 " + item);
    expected.push_back("d2");
    EXPECT_EQ(expected, transcript(recorder));

    // Each command arrives with its terminator: 22 characters, 23 bytes.
    std::vector<Recorder::Event> events = recorder.events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(23u, events[1].length);
    EXPECT_EQ(std::string("[CreateGroup(Corvane)]\0", 23), events[1].data);
    for (const Recorder::Event& e : events) {
        if (e.kind == "execute") {
            EXPECT_EQ(e.data.find('\0') + 1, e.length) << e.data;
        }
    }
}

TEST_F(Progman, CommandLinesTakeTheFolderAsItStands)
{
    struct Case {
        const char* folder;
        std::string first;
    } cases[] = {
        {"C:\\Apps", "[AddItem(\"C:\\Apps\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]"},
        {"C:\\Apps\\", "[AddItem(\"C:\\Apps\\\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]"},
        {"D:\\", "[AddItem(\"D:\\\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]"},
        {"C:\\Program files\\Corvane Pro",
         "[AddItem(\"C:\\Program files\\Corvane Pro\\qvn32.exe\",Corvane Pro32,,,38,1,,,)]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Recorder recorder(RECORDER);
        ASSERT_TRUE(recorder.ready());
        lstrcpyA(State.TargetFolder, c.folder);
        ProgmanAddItems(nullptr, RECORDER);
        std::vector<std::string> commands = recorder.commands();
        ASSERT_EQ(4u, commands.size());
        EXPECT_EQ(c.first, commands[0]);
    }
}

// A folder that would make the commands longer than their buffers: those
// commands are not sent, nothing overruns, and the group is unaffected.
TEST_F(Progman, CommandsTooLongForTheirBufferAreNotSent)
{
    std::string folder = "C:\\" + std::string(247, 'f');
    ASSERT_EQ(250u, folder.size());
    lstrcpyA(State.TargetFolder, folder.c_str());
    Recorder recorder(RECORDER);
    ASSERT_TRUE(recorder.ready());
    EXPECT_TRUE(ProgmanCreateGroup(nullptr, RECORDER));
    EXPECT_TRUE(ProgmanAddItems(nullptr, RECORDER));
    EXPECT_EQ((std::vector<std::string>{"[CreateGroup(Corvane)]"}), recorder.commands());
    EXPECT_EQ(folder, State.TargetFolder);
}

TEST_F(Progman, WithoutAServerTheGroupFailsOnceAndNothingIsSent)
{
    BoxCloser boxes;
    EXPECT_FALSE(ProgmanCreateGroup(nullptr, NOBODY));
    EXPECT_TRUE(ProgmanAddItems(nullptr, NOBODY));
    EXPECT_TRUE(ProgmanRemoveItems(nullptr, true, NOBODY));
    EXPECT_EQ(std::vector<std::string>{"Group Creation Failed"}, boxes.finish());
}

TEST_F(Progman, ARefusedGroupIsReported)
{
    Recorder recorder(RECORDER, {"--refuse=[CreateGroup"});
    ASSERT_TRUE(recorder.ready());
    BoxCloser boxes;
    EXPECT_FALSE(ProgmanCreateGroup(nullptr, RECORDER));
    EXPECT_EQ(std::vector<std::string>{"Group Creation Failed"}, boxes.finish());
    EXPECT_EQ((std::vector<std::string>{"c1", "x1 [CreateGroup(Corvane)]", "d1"}), transcript(recorder));
}

// The second item times out: the third and fourth are still sent, and
// nothing is shown.
TEST_F(Progman, AnItemThatTimesOutIsPassedOverSilently)
{
    Recorder recorder(RECORDER, {"--delay=uninstal.exe:1500"});
    ASSERT_TRUE(recorder.ready());
    BoxCloser boxes;
    DWORD start = GetTickCount();
    EXPECT_TRUE(ProgmanAddItems(nullptr, RECORDER));
    EXPECT_GE(GetTickCount() - start, 950u) << "the second item was waited for up to its time-out";
    EXPECT_EQ(ADD_ITEMS, recorder.commands());
    EXPECT_TRUE(boxes.finish().empty());
}

TEST_F(Progman, RemovalSendsItsCommandsInOrder)
{
    struct Case {
        const char* what;
        bool removeGroup;
        std::vector<std::string> options;
        bool result;
        std::vector<std::string> transcript;
    } cases[] = {
        {"an old copy before reinstalling", false, {}, true,
         {"c1", "x1 " + REMOVE_ITEMS[0], "x1 " + REMOVE_ITEMS[1], "x1 " + REMOVE_ITEMS[2], "x1 " + REMOVE_ITEMS[3],
          "x1 " + REMOVE_ITEMS[4], "x1 " + REMOVE_ITEMS[5], "d1"}},
        // Wine's DDEML gives no second conversation with the same partner on
        // one instance, so the group goes over the first.
        {"a full uninstall", true, {}, true,
         {"c1", "x1 " + REMOVE_ITEMS[0], "x1 " + REMOVE_ITEMS[1], "x1 " + REMOVE_ITEMS[2], "x1 " + REMOVE_ITEMS[3],
          "x1 " + REMOVE_ITEMS[4], "x1 " + REMOVE_ITEMS[5], "x1 [DeleteGroup(Corvane)]", "d1"}},
        {"the group absent", true, {"--refuse=[ShowGroup(Corvane,2)]"}, false,
         {"c1", "x1 " + REMOVE_ITEMS[0], "d1"}},
        {"the group not restored", true, {"--refuse=[ShowGroup(Corvane,1)]"}, false,
         {"c1", "x1 " + REMOVE_ITEMS[0], "x1 " + REMOVE_ITEMS[1], "d1"}},
        {"only the help item missing", true, {"--refuse=[DeleteItem(Corvane Pro32 Help)]"}, true,
         {"c1", "x1 " + REMOVE_ITEMS[0], "x1 " + REMOVE_ITEMS[1], "x1 " + REMOVE_ITEMS[2], "x1 " + REMOVE_ITEMS[3],
          "x1 " + REMOVE_ITEMS[4], "x1 " + REMOVE_ITEMS[5], "x1 [DeleteGroup(Corvane)]", "d1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder recorder(RECORDER, c.options);
        ASSERT_TRUE(recorder.ready());
        EXPECT_EQ(c.result, ProgmanRemoveItems(nullptr, c.removeGroup, RECORDER));
        EXPECT_EQ(c.transcript, transcript(recorder));
    }
}

// The desktop shell: it turns the group into a folder of the Start
// menu's programs and the items into shortcuts; it refuses an item whose
// file does not exist, so the files are made first.
TEST_F(Progman, TheShellMakesAndRemovesTheShortcuts)
{
    const std::string folder = "C:\\progman-shell-test";
    robot::RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"qvn32.exe", "uninstal.exe", "qvnhelp.hlp", "qvntutor.hlp"}) {
        HANDLE f = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(f);
    }
    lstrcpyA(State.TargetFolder, folder.c_str());
    char programs[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs));
    const std::string group = std::string(programs) + "\\Corvane";
    robot::RemoveTree(group);

    ASSERT_TRUE(ProgmanCreateGroup(nullptr));
    EXPECT_TRUE(ProgmanAddItems(nullptr));
    CoInitialize(nullptr);
    struct Shortcut {
        const char* name;
        const char* target;
    } shortcuts[] = {{"Corvane Pro32", "qvn32.exe"},
                     {"Uninstall32", "uninstal.exe"},
                     {"Corvane Pro32 Help", "qvnhelp.hlp"},
                     {"Corvane Pro32 Tutorial", "qvntutor.hlp"}};
    for (const Shortcut& s : shortcuts) {
        SCOPED_TRACE(s.name);
        IShellLinkA* link = nullptr;
        IPersistFile* file = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&link)));
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        std::string path = group + "\\" + s.name + ".lnk";
        std::wstring wide(path.begin(), path.end());
        EXPECT_EQ(S_OK, file->Load(wide.c_str(), STGM_READ)) << path;
        char target[MAX_PATH] = {};
        link->GetPath(target, MAX_PATH, nullptr, 0);
        EXPECT_STRCASEEQ((folder + "\\" + s.target).c_str(), target);
        file->Release();
        link->Release();
    }
    CoUninitialize();

    EXPECT_TRUE(ProgmanRemoveItems(nullptr, 1));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(group.c_str())) << "the group's folder is gone";
    robot::CloseShellWindows();
    robot::RemoveTree(folder);
}

}  // namespace
