#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "rights.h"

static bool is_well_known(PSID sid, WELL_KNOWN_SID_TYPE type)
{
    BYTE known[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof known;
    return CreateWellKnownSid(type, nullptr, known, &size) && EqualSid(sid, known);
}

bool RunsElevated()
{
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
           CheckTokenMembership(nullptr, administrators, &member) && member;
}

// Full control for SYSTEM and Administrators, read and run for Users
// where given, handed down to every file and folder below (OICI).
static const char* const RIGHTS[] = {
    "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
    "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)",
};

bool CreateFolderWithRights(const char* path, FolderRights rights)
{
    if (!RunsElevated())
        return CreateDirectoryA(path, nullptr);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(RIGHTS[rights], SDDL_REVISION_1,
                                                              &attributes.lpSecurityDescriptor, nullptr))
        return false;
    BOOL made = CreateDirectoryA(path, &attributes);
    DWORD error = GetLastError();
    LocalFree(attributes.lpSecurityDescriptor);
    SetLastError(error);
    return made;
}

bool LetsUsersWrite(const ACL* dacl)
{
    const DWORD WRITES = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER |
                         GENERIC_WRITE | GENERIC_ALL;
    if (!dacl)
        return true;  // no list at all lets everyone in
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace;
        if (!GetAce(const_cast<ACL*>(dacl), i, reinterpret_cast<void**>(&ace)) ||
            ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (ace->Header.AceFlags & INHERIT_ONLY_ACE) ||
            !(ace->Mask & WRITES))
            continue;
        PSID sid = &ace->SidStart;
        if (is_well_known(sid, WinWorldSid) || is_well_known(sid, WinAuthenticatedUserSid) ||
            is_well_known(sid, WinBuiltinUsersSid))
            return true;
    }
    return false;
}

bool UsersCanWrite(const char* path)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return false;
    bool writable = LetsUsersWrite(dacl);
    LocalFree(descriptor);
    return writable;
}

static bool is_own_account(PSID sid)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    union {
        TOKEN_USER user;
        BYTE room[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } account;
    DWORD size;
    bool own =
        GetTokenInformation(token, TokenUser, &account, sizeof account, &size) && EqualSid(sid, account.user.User.Sid);
    CloseHandle(token);
    return own;
}

bool OwnerIsTrusted(HANDLE file)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    bool trusted = is_well_known(owner, WinLocalSystemSid) || is_well_known(owner, WinBuiltinAdministratorsSid) ||
                   is_own_account(owner);
    LocalFree(descriptor);
    return trusted;
}
