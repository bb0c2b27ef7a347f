#include "e2e.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace e2e {

void WriteRecord(const std::string& contents)
{
    std::ofstream(RecordPath(), std::ios::binary) << contents;
}

void RemoveRecord()
{
    DeleteFileA(RecordPath().c_str());
}

std::string WindowsPath(std::string unixPath)
{
    for (char& c : unixPath)
        if (c == '/')
            c = '\\';
    return "Z:" + unixPath;
}

void RemoveTree(const std::string& path)
{
    robot::RemoveTree(path);
}

std::string RecordFor(const std::string& folder, int major, int minor)
{
    return "[SHAREWARE]\r\nSetup=0\r\n[RELEASE]\r\nSetup=1\r\n[VERSION]\r\nMajor=" + std::to_string(major) +
           "\r\nMinor=" + std::to_string(minor) + "\r\n[INSTALL PATH]\r\nPath=" + folder + "\\QVN32.EXE\r\n";
}

testing::AssertionResult Next(robot::Session& setup, const std::string& name, robot::Dialog* dialog,
                              const char* fleeting)
{
    robot::Dialog next = setup.next();
    if (fleeting && next.name == fleeting)
        next = setup.next();
    if (dialog)
        *dialog = next;
    if (!next)
        return testing::AssertionFailure() << "no dialog appeared; expected " << name;
    if (next.name != name) {
        testing::AssertionResult failure = testing::AssertionFailure();
        failure << "expected " << name << ", saw " << (next.name.empty() ? "an unknown dialog" : next.name)
                << " titled \"" << next.title << "\"";
        if (next.name.empty())
            failure << " saying \"" << next.message() << "\"";
        return failure;
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult NextError(robot::Session& setup, const std::string& text, robot::Dialog* box)
{
    robot::Dialog next = setup.next();
    if (box)
        *box = next;
    if (!next)
        return testing::AssertionFailure() << "no message box appeared; expected \"" << text << "\"";
    if (next.title != "Error" || next.message() != text)
        return testing::AssertionFailure() << "expected an Error box saying \"" << text << "\", saw \""
                                           << next.title << "\" saying \"" << next.message() << "\"";
    return testing::AssertionSuccess();
}

int32_t Request::word(int offset) const
{
    int32_t value = 0;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

namespace {

void copy_into(const std::string& file, const std::string& folder)
{
    std::string name = file.substr(file.find_last_of('\\') + 1);
    CopyFileA(file.c_str(), (folder + "\\" + name).c_str(), FALSE);
}

std::string unhex(const std::string& text)
{
    std::string out;
    size_t start = text.compare(0, 1, "=") == 0 ? 1 : 0;  // texts are marked, the request is not
    if (text == "-")
        return out;
    for (size_t i = start; i + 1 < text.size(); i += 2)
        out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return out;
}

}  // namespace

void Walk::SetUp()
{
    robot::CloseShellWindows();  // a folder window left over would cover the screen
    RemoveRecord();
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string("C:\\e2e\\") + test->name();
    RemoveTree(folder_);
    CreateDirectoryA("C:\\e2e", nullptr);
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::string programFolder = folder_ + "\\program";
    CreateDirectoryA(programFolder.c_str(), nullptr);
    copy_into(robot::SetupPath(), programFolder);
    copy_into(robot::ProgramFolder() + "\\DUNZIP32.DLL", programFolder);
    // Slow enough that the copying dialog is seen, as it would be.
    script("* 0 120\n");
}

void Walk::TearDown()
{
    RemoveRecord();
    RemoveTree(folder_);
}

void Walk::use_real_library()
{
    copy_into(robot::ProductFolder() + "\\DUNZIP32.DLL", folder_ + "\\program");
}

void Walk::remove_template(const char* name)
{
    // The resource directory holds the name as a counted UTF-16 string.
    // Its last letter moves on by one, which keeps the directory sorted,
    // so the template is not found by its name any more.
    copy_into(robot::SetupPath(), folder_ + "\\program");
    std::string entry(2, '\0');
    entry[0] = static_cast<char>(strlen(name));
    for (const char* c = name; *c; ++c)
        entry += std::string(1, *c) + '\0';
    std::string image = ReadFile(program());
    size_t at = image.find(entry);
    ASSERT_NE(std::string::npos, at) << name;
    ASSERT_EQ(std::string::npos, image.find(entry, at + 1)) << name << " once";
    ++image[at + entry.size() - 2];
    machine::WriteFile(program(), image);
}

void Walk::script(const std::string& lines)
{
    std::ofstream(folder_ + "\\program\\dunzip-script.txt") << lines;
}

std::vector<Request> Walk::requests() const
{
    std::vector<Request> list;
    std::ifstream log(folder_ + "\\program\\dunzip-requests.log");
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream fields(line);
        std::string bytes, archive, member, folder, code;
        int wait = 0;
        fields >> bytes >> archive >> member >> folder >> code >> wait;
        Request r;
        std::string raw = unhex(bytes);
        r.bytes.assign(raw.begin(), raw.end());
        r.archive = unhex(archive);
        r.member = unhex(member);
        r.folder = unhex(folder);
        r.code = unhex(code);
        r.waitCursor = wait != 0;
        list.push_back(r);
    }
    return list;
}

void Walk::forget_requests()
{
    DeleteFileA((folder_ + "\\program\\dunzip-requests.log").c_str());
}

std::string Walk::scratch()
{
    std::string work = folder_ + "\\work";
    CreateDirectoryA(work.c_str(), nullptr);
    return work;
}

}  // namespace e2e
