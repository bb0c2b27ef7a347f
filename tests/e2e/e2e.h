// What the walks through the wizard share: a program folder of their own
// with SETUP.EXE and the stand-in unzip library, the record, scratch
// folders, and roads: the dialogs met one after another and what a person
// does in each.
#ifndef CORVANE_TEST_E2E_H
#define CORVANE_TEST_E2E_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine.h"
#include "robot.h"

namespace e2e {

using namespace machine;
using robot::Dialog;
using robot::Session;

const char ARCHIVE[] = "C:\\SETUP.ZIP*code";
const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";
const char COPY_FAILED[] = "\t\tError copying file !\t\t";
// Inside the target folder: where the members are extracted before they
// are moved in together.
const char STAGING[] = "\\~SETUP.NEW";

#define MEMBER(name) name,
const char* const MEMBERS[] = {
#include "common/install_files.inc"
};
#undef MEMBER

// A file of the temporary folder.
std::string TempPath(const char* name);
// A folder as an administrator makes one for programs: only
// administrators may change it, as Setup asks of the folders it installs
// into. What the tests make plainly is open to every user (the session's
// umask), as a folder made under a drive's root is on Windows.
bool MakeFolder(const std::string& path);
// A value of the entry in the list of installed programs, in UTF-8; "" when
// none.
std::string EntryValue(const char* name);

// The lines the last run appended to a log, from its header on.
std::vector<std::string> LastRun(const std::string& log);
// Every line starts with the local time; each expected text is a line's
// whole text after it.
testing::AssertionResult Logged(const std::vector<std::string>& lines, const std::vector<std::string>& expected);

// A record as this setup writes it, for a copy in `folder`.
std::string RecordFor(const std::string& folder, int major = 2, int minor = 0);
void WriteRecord(const std::string& contents);  // "" for no record

// One step of a road: the dialog that must come next ("Error:TEXT" for an
// error box saying TEXT, which has no icon), what a person does there (a
// button's id, "!" and an id for a button that cannot be pressed, "enter",
// "escape", "close", ">TEXT" to type into the folder box and press Enter,
// several separated by blanks, or nothing for a notice), and optionally a
// control that must show a text.
struct Step {
    std::string dialog;
    std::string action;
    int control = 0;
    std::string shows;
};
// Walks the steps; the copying notice may go by unseen where it is not a
// step, as it does with the real library.
testing::AssertionResult Walk(Session& setup, const std::vector<Step>& steps, Dialog* last = nullptr);

// The stand-in library's log: one request per line.
struct Request {
    std::vector<unsigned char> bytes;
    std::string archive, member, folder, code;
    bool waitCursor = false;
    int32_t word(int offset) const;
};

// Every walk runs its own copy of SETUP.EXE, with the stand-in library
// beside it, starts without a record and leaves none behind.
class WalkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string program() const { return folder_ + "\\program\\SETUP.EXE"; }
    void use_real_library();
    // A fresh copy of SETUP.EXE in which a template cannot be found.
    void remove_template(const char* name);
    // The stand-in's answers: lines "MEMBER RESULT [DELAY_MS]".
    void script(const std::string& lines);
    std::vector<Request> requests() const;
    void forget_requests();
    std::string scratch();  // a folder of this walk's own on C:

private:
    std::string folder_;
};

// The walks that install from the real distribution with the real
// library, where the installation folders, the group, the entry and the
// uninstaller's copies are cleaned away before and after.
class DistributionTest : public WalkTest {
protected:
    void SetUp() override;
    void TearDown() override;
    static void clean();
    static std::string archive(const std::string& code = "*" DISTRIBUTION_CODE);
    // Counts the members in `folder` that are byte-identical to the payload.
    static size_t installed(const std::string& folder);
};

}  // namespace e2e

#endif
