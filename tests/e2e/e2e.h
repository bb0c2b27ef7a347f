// What the walks through the wizard share: a program folder with SETUP.EXE
// and the stand-in unzip library, the installation record in the Windows
// directory, scratch folders, and a check for the next dialog.
#ifndef CORVANE_TEST_E2E_H
#define CORVANE_TEST_E2E_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine.h"
#include "robot.h"

namespace e2e {

using namespace machine;

void WriteRecord(const std::string& contents);
void RemoveRecord();
// A path of this machine as Wine shows it, through drive Z:.
std::string WindowsPath(std::string unixPath);
void RemoveTree(const std::string& path);

// A record as this setup writes it, for a copy in `folder`.
std::string RecordFor(const std::string& folder, int major = 2, int minor = 0);

// The next dialog must be the named template; `dialog` receives it. A
// `fleeting` dialog may come first: one that can be over before the robot
// looks, as the copying is with the real library.
testing::AssertionResult Next(robot::Session& setup, const std::string& name, robot::Dialog* dialog = nullptr,
                              const char* fleeting = nullptr);
// The next dialog must be an "Error" message box with this text.
testing::AssertionResult NextError(robot::Session& setup, const std::string& text, robot::Dialog* box = nullptr);

// One request as the stand-in library received it.
struct Request {
    std::vector<unsigned char> bytes;  // the whole record
    std::string archive, member, folder, code;
    bool waitCursor = false;
    int32_t word(int offset) const;
};

// Every walk runs its own copy of SETUP.EXE, with the stand-in library
// beside it, starts without a record and leaves none behind.
class Walk : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // SETUP.EXE in this walk's program folder.
    std::string program() const { return folder_ + "\\program\\SETUP.EXE"; }
    // Puts the real unzip library beside SETUP.EXE instead of the stand-in.
    void use_real_library();
    // A fresh copy of SETUP.EXE in which the named dialog template cannot
    // be found, as in a damaged file.
    void remove_template(const char* name);
    // What the stand-in library answers: lines "MEMBER RESULT [DELAY_MS]".
    void script(const std::string& lines);
    // The requests the library has received, in order.
    std::vector<Request> requests() const;
    void forget_requests();
    // A folder of this walk's own on drive C:, removed afterwards.
    std::string scratch();

private:
    std::string folder_;
};

}  // namespace e2e

#endif
