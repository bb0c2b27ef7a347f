#include "e2e.h"
#include "rights.h"

#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace e2e {

std::string TempPath(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return temp + std::string(name);
}

bool MakeFolder(const std::string& path)
{
    return CreateFolderWithRights(path.c_str(), LIKE_PROGRAM_FILES);
}

std::string EntryValue(const char* name)
{
    WCHAR value[1024] = {};
    DWORD size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvanePro32",
                 machine::Widen(name).c_str(), RRF_RT_REG_SZ, nullptr, value, &size);
    return machine::Narrow(value, CP_UTF8);
}

std::vector<std::string> LastRun(const std::string& log)
{
    std::string text = ReadFile(log);
    size_t header = text.rfind("==== Corvane Pro32 2.0 setup ====");
    std::vector<std::string> lines;
    if (header == std::string::npos)
        return lines;
    std::istringstream stream(text.substr(text.rfind('\n', header) + 1));
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line.substr(0, line.find_last_not_of('\r') + 1));
    return lines;
}

testing::AssertionResult Logged(const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    static const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  .+)");
    for (const std::string& line : lines)
        if (!std::regex_match(line, stamped))
            return testing::AssertionFailure() << "no time: " << line;
    for (const std::string& text : expected) {
        bool found = false;
        for (const std::string& line : lines)
            found = found || line.compare(25, std::string::npos, text) == 0;
        if (!found)
            return testing::AssertionFailure() << "not logged: " << text;
    }
    return testing::AssertionSuccess();
}

std::string RecordFor(const std::string& folder, int major, int minor)
{
    return "[SHAREWARE]\r\nSetup=0\r\n[RELEASE]\r\nSetup=1\r\n[VERSION]\r\nMajor=" + std::to_string(major) +
           "\r\nMinor=" + std::to_string(minor) + "\r\n[INSTALL PATH]\r\nPath=" + folder + "\\QVN32.EXE\r\n";
}

void WriteRecord(const std::string& contents)
{
    DeleteFileA(RecordPath().c_str());
    if (!contents.empty())
        WriteFile(RecordPath(), contents);
}

// One or more actions, separated by blanks: a button's id ("!" first: a
// button that cannot be pressed), enter, escape, close, or ">TEXT", last,
// to type TEXT into the folder box and press Enter.
static testing::AssertionResult act(Session& setup, const Dialog& d, std::string actions)
{
    while (!actions.empty()) {
        size_t end = actions[0] == '>' ? actions.size() : actions.find(' ');
        std::string action = actions.substr(0, end);
        actions.erase(0, end == std::string::npos ? end : end + 1);
        bool done = true;
        if (action == "enter")
            setup.enter(d);
        else if (action == "escape")
            setup.escape(d);
        else if (action == "close")
            done = setup.closeBox(d);
        else if (action[0] == '>')
            setup.type(d, 1002, action.substr(1)), setup.enter(d);
        else
            done = setup.press(d, std::stoi(action.substr(action[0] == '!'))) != (action[0] == '!');
        if (!done)
            return testing::AssertionFailure() << "could not " << action << " in " << d.name;
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult Walk(Session& setup, const std::vector<Step>& steps, Dialog* last)
{
    for (const Step& step : steps) {
        Dialog d = setup.next();
        if (d.name == "COPYFILES" && step.dialog != "COPYFILES")
            d = setup.next();
        bool error = step.dialog.compare(0, 6, "Error:") == 0;
        if (error ? d.title != "Error" || d.message() != step.dialog.substr(6) || d.hasIcon()
                  : d.name != step.dialog)
            return testing::AssertionFailure() << "expected " << step.dialog << ", saw "
                                               << (d ? d.name + " \"" + d.title + "\" " + d.message() : "nothing");
        if (step.control && d.text(step.control) != step.shows)
            return testing::AssertionFailure() << d.name << " shows \"" << d.text(step.control) << "\" in "
                                               << step.control << ", not \"" << step.shows << "\"";
        testing::AssertionResult acted = act(setup, d, step.action);
        if (!acted)
            return acted;
        if (last)
            *last = d;
    }
    return testing::AssertionSuccess();
}

int32_t Request::word(int offset) const
{
    int32_t value = 0;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

static void copy_into(const std::string& file, const std::string& folder)
{
    CopyFileA(file.c_str(), (folder + file.substr(file.find_last_of('\\'))).c_str(), FALSE);
}

void WalkTest::SetUp()
{
    robot::CloseShellWindows();  // a folder window left over would cover the screen
    WriteRecord("");
    folder_ = std::string("C:\\e2e\\") + testing::UnitTest::GetInstance()->current_test_info()->name();
    robot::RemoveTree(folder_);
    MakeFolder("C:\\e2e");
    MakeFolder(folder_);
    MakeFolder(folder_ + "\\program");
    copy_into(robot::SetupPath(), folder_ + "\\program");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string bin(self);
    copy_into(bin.substr(0, bin.find_last_of('\\')) + "\\DUNZIP32.DLL", folder_ + "\\program");
    script("* 0 120\n");  // slow enough that the copying notice is seen, as it would be
}

void WalkTest::TearDown()
{
    WriteRecord("");
    robot::RemoveTree(folder_);
}

void WalkTest::use_real_library()
{
    copy_into(robot::ProductFolder() + "\\DUNZIP32.DLL", folder_ + "\\program");
}

// The resource directory holds the name as a counted UTF-16 string. Its
// last letter moves on by one, which keeps the directory sorted.
void WalkTest::remove_template(const char* name)
{
    copy_into(robot::SetupPath(), folder_ + "\\program");
    std::string entry(1, static_cast<char>(strlen(name)));
    entry += '\0';
    for (const char* c = name; *c; ++c)
        entry += std::string(1, *c) + '\0';
    std::string image = ReadFile(program());
    size_t at = image.find(entry);
    ASSERT_NE(std::string::npos, at) << name;
    ++image[at + entry.size() - 2];
    WriteFile(program(), image);
}

void WalkTest::script(const std::string& lines)
{
    WriteFile(folder_ + "\\program\\dunzip-script.txt", lines);
}

std::vector<Request> WalkTest::requests() const
{
    std::vector<Request> list;
    std::ifstream log(folder_ + "\\program\\dunzip-requests.log");
    for (std::string line; std::getline(log, line);) {
        std::istringstream fields(line);
        std::string f[6];
        for (std::string& field : f)
            std::getline(fields, field, '|');
        Request r{{}, f[1], f[2], f[3], f[4], f[5] == "1"};
        for (size_t i = 0; i + 1 < f[0].size(); i += 2)
            r.bytes.push_back(static_cast<unsigned char>(std::stoi(f[0].substr(i, 2), nullptr, 16)));
        list.push_back(r);
    }
    return list;
}

void WalkTest::forget_requests()
{
    DeleteFileA((folder_ + "\\program\\dunzip-requests.log").c_str());
}

std::string WalkTest::scratch()
{
    MakeFolder(folder_ + "\\work");
    return folder_ + "\\work";
}

void DistributionTest::SetUp()
{
    WalkTest::SetUp();
    use_real_library();
    clean();
}

void DistributionTest::TearDown()
{
    clean();
    WalkTest::TearDown();
}

void DistributionTest::clean()
{
    for (const std::string& folder : UninstallCopies())
        robot::RemoveTree(folder);
    for (const std::string& folder : UninstallCopies())
        DeleteFileA(folder.c_str());  // the scripts beside the folders
    robot::RemoveTree(DEFAULT_FOLDER);
    robot::RemoveTree("E:\\Corvane");
    robot::RemoveTree(GroupFolder());
    robot::RemoveTree(GroupFolder(CSIDL_COMMON_PROGRAMS));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvanePro32");
}

std::string DistributionTest::archive(const std::string& code)
{
    return WindowsPath(DISTRIBUTION) + code;
}

size_t DistributionTest::installed(const std::string& folder)
{
    size_t same = 0;
    for (const char* member : MEMBERS) {
        std::string file = folder + "\\" + member;
        same += Exists(file) && ReadFile(file) == ReadFile(WindowsPath(PAYLOAD_DIR) + "\\" + member);
    }
    return same;
}

}  // namespace e2e
