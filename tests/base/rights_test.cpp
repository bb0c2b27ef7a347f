// What users who are not administrators may do to a folder that an
// installation goes into or lies under, told from access lists the
// system would give: the refusal of such folders, and the tests' look at
// what the setup makes, both rest on it. Under Wine a folder's rights on
// the disk are only the Unix mode bits of its owner and of everyone else:
// a grant to Users, INTERACTIVE or a named account never reaches the disk,
// so what such grants mean is shown here, in memory, and only here.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "rights.h"

namespace {

// A security descriptor from its text, freed at the end.
struct Descriptor {
    PSECURITY_DESCRIPTOR sd = nullptr;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    explicit Descriptor(const char* text)
    {
        BOOL present = FALSE, defaulted = FALSE;
        EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(text, SDDL_REVISION_1, &sd, nullptr)) << text;
        GetSecurityDescriptorOwner(sd, &owner, &defaulted);
        GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
        if (!present)
            dacl = nullptr;
    }
    ~Descriptor() { LocalFree(sd); }
};

TEST(Rights, AFolderIsOpenToOthersOnlyWhereItsListsLetThemChangeIt)
{
    const char* const PROGRAM_FILES = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
    const char* const ROOT = "D:(A;;0x100004;;;AU)(A;OICIIO;SDGXGWGR;;;AU)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
    const char* const TRUSTED_INSTALLER = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
    const std::string installer = std::string("O:") + TRUSTED_INSTALLER + "D:(A;;FA;;;" + TRUSTED_INSTALLER + ")";
    struct Case {
        const char *level, *parent;
        bool target;
        const char* may;  // null: nothing
    } cases[] = {
        {PROGRAM_FILES, ROOT, true, nullptr},
        {installer.c_str(), ROOT, true, nullptr},
        {"O:BAD:(A;;0x10000;;;WD)", ROOT, false, "may delete or rename"},       // DELETE, to Everyone
        {"O:BAD:(A;;GA;;;S-1-5-21-1-2-3-1001)", ROOT, false, "may delete or rename"},  // all, to one user
        {PROGRAM_FILES, "D:(A;;0x40;;;AU)", false, "may delete or rename"},    // the parent's DELETE_CHILD
        {PROGRAM_FILES, "D:(A;OICIIO;0x40;;;AU)", false, nullptr},            // only handed down
        {"O:BAD:(A;;0x40000;;;IU)", ROOT, false, "may change the rights of"},  // WRITE_DAC, to INTERACTIVE
        {"O:BAD:(A;;0x80000;;;S-1-5-21-1-2-3-1001)", ROOT, false, "may change the rights of"},  // WRITE_OWNER
        {"O:BAD:(A;;0x10000;;;BU)", ROOT, false, "may delete or rename"},  // DELETE, to Users
        {"O:BAD:(A;OICIIO;FA;;;BU)(A;;0x1200a9;;;BU)", ROOT, true, nullptr},  // all only handed down
        {"O:SYD:(A;;FA;;;SY)", ROOT, true, nullptr},
        {"O:S-1-5-21-1-2-3-1001D:(A;;FA;;;SY)", ROOT, false, "own"},
        {"O:BAD:(A;;0x100002;;;AU)", ROOT, true, "may add or delete files in"},  // a file, in the target
        {"O:BAD:(A;;0x100002;;;AU)", ROOT, false, nullptr},                      // above it
        {"O:BAD:(A;;GW;;;BU)", ROOT, true, "may add or delete files in"},
        {"O:BAD:(D;OICI;FA;;;WD)", ROOT, true, nullptr},  // a denial grants nothing
        // nor takes away: whom it covers depends on each account's groups
        {"O:BAD:(D;;0x10000;;;WD)(A;;0x10000;;;AU)", ROOT, false, "may delete or rename"},
        {"O:BA", ROOT, false, "may delete or rename"},  // no list: everyone
    };
    for (const Case& c : cases) {
        Descriptor level(c.level), parent(c.parent);
        const char* may = OthersMayChange(level.owner, level.dacl, parent.dacl, c.target);
        EXPECT_STREQ(c.may, may) << c.level << " under " << c.parent;
    }
}

// The lists Setup gives the folders it makes, from the very table it makes
// them with, and the owner an elevated run gives them: no other user may
// change them or what is below them, and nothing a parent hands down
// reaches them.
TEST(Rights, WhatSetupMakesIsProtectedAndOpenToNoOtherUser)
{
    for (FolderRights rights : {ADMINISTRATORS_ONLY, LIKE_PROGRAM_FILES}) {
        SCOPED_TRACE(FolderRightsText(rights));
        Descriptor made((std::string("O:BA") + FolderRightsText(rights)).c_str());
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ASSERT_TRUE(GetSecurityDescriptorControl(made.sd, &control, &revision));
        EXPECT_TRUE(control & SE_DACL_PROTECTED);
        EXPECT_STREQ(nullptr, OthersMayChange(made.owner, made.dacl, made.dacl, true));
    }
}

}  // namespace
