// What the walks through the wizard share: the installation record in the
// Windows directory, scratch folders, and a check for the next dialog.
#ifndef CORVANE_TEST_E2E_H
#define CORVANE_TEST_E2E_H

#include <gtest/gtest.h>

#include <string>

#include "robot.h"

namespace e2e {

std::string RecordPath();
void WriteRecord(const std::string& contents);
void RemoveRecord();
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
void RemoveTree(const std::string& path);

// A record as this setup writes it, for a copy in `folder`.
std::string RecordFor(const std::string& folder, int major = 2, int minor = 0);

// The next dialog must be the named template; `dialog` receives it.
testing::AssertionResult Next(robot::Session& setup, const std::string& name, robot::Dialog* dialog = nullptr);

// Every walk starts without a record and leaves none behind.
class Walk : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A folder of this test's own on drive C:, removed afterwards.
    std::string scratch();

private:
    std::string scratch_;
};

}  // namespace e2e

#endif
