// Which access lists let a user who is not an administrator write into a
// folder: the warning about a target folder, and the tests' look at what
// the setup makes, both rest on it.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "rights.h"

namespace {

TEST(Rights, AListLetsUsersWriteOnlyWhereItGivesThemAWrite)
{
    struct Case {
        const char* list;
        bool writable;
    } cases[] = {
        {"D:(A;OICI;FA;;;WD)", true},
        {"D:(A;OICI;0x1200a9;;;WD)", false},  // read and run
        {"D:(A;OICI;0x100004;;;AU)", true},   // add a folder
        {"D:(A;;0x10000;;;BU)", true},         // delete the folder
        {"D:(A;OICI;0x40000;;;BU)", true},     // change its rights
        {"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", false},  // Program Files'
        {"D:(A;OICIIO;FA;;;BU)", false},                                        // only handed down
        {"D:(A;OICI;FA;;;S-1-5-21-1-2-3-1001)", false},                         // one account's
        {"D:(D;OICI;FA;;;WD)", false},                                          // a denial
    };
    for (const Case& c : cases) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.list, SDDL_REVISION_1, &descriptor, nullptr))
            << c.list;
        BOOL present = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
        EXPECT_EQ(c.writable, LetsUsersWrite(dacl)) << c.list;
        LocalFree(descriptor);
    }
    EXPECT_TRUE(LetsUsersWrite(nullptr)) << "no list at all";
}

}  // namespace
