#include "e2e.h"

#include <fstream>

namespace e2e {

std::string RecordPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\QVN32.INI";
}

void WriteRecord(const std::string& contents)
{
    std::ofstream(RecordPath(), std::ios::binary) << contents;
}

void RemoveRecord()
{
    DeleteFileA(RecordPath().c_str());
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string RecordFor(const std::string& folder, int major, int minor)
{
    return "[SHAREWARE]\r\nSetup=0\r\n[RELEASE]\r\nSetup=1\r\n[VERSION]\r\nMajor=" + std::to_string(major) +
           "\r\nMinor=" + std::to_string(minor) + "\r\n[INSTALL PATH]\r\nPath=" + folder + "\\QVN32.EXE\r\n";
}

testing::AssertionResult Next(robot::Session& setup, const std::string& name, robot::Dialog* dialog)
{
    robot::Dialog next = setup.next();
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

void Walk::SetUp()
{
    RemoveRecord();
}

void Walk::TearDown()
{
    RemoveRecord();
    if (!scratch_.empty())
        RemoveTree(scratch_);
}

std::string Walk::scratch()
{
    if (scratch_.empty()) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        scratch_ = std::string("C:\\e2e-") + test->name();
        RemoveTree(scratch_);
        CreateDirectoryA(scratch_.c_str(), nullptr);
    }
    return scratch_;
}

}  // namespace e2e
