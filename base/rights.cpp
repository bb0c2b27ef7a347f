#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "held_folder.h"
#include "path_text.h"
#include "rights.h"

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

const char* FolderRightsText(FolderRights rights)
{
    return RIGHTS[rights];
}

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

// The accounts trusted besides this process's own: SYSTEM (S-1-5-18),
// Administrators (S-1-5-32-544) and NT SERVICE\TrustedInstaller, which
// owns the system's own files (S-1-5-80-956008885-3418522649-1831038044-
// 1853292631-2271478464).
static const struct {
    BYTE revision, count, authority[6];
    DWORD rids[6];
} TRUSTED[] = {
    {1, 1, {0, 0, 0, 0, 0, 5}, {18}},
    {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}},
    {1, 6, {0, 0, 0, 0, 0, 5}, {80, 956008885, 3418522649, 1831038044, 1853292631, 2271478464}},
};

static bool is_trusted(PSID sid)
{
    for (const auto& trusted : TRUSTED)
        if (EqualSid(sid, const_cast<void*>(static_cast<const void*>(&trusted))))
            return true;
    return is_own_account(sid);
}

// The rights the list grants accounts that are not trusted, on the object
// itself (what is only handed down is left out); no list grants all. A
// denial takes nothing away: that a deny entry covers a given user depends
// on the groups of each account, which a list does not tell, so the
// answer may be more than Windows would grant, never less.
static DWORD granted_to_others(const ACL* dacl)
{
    if (!dacl)
        return ~0ul;
    DWORD granted = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace;
        if (!GetAce(const_cast<ACL*>(dacl), i, reinterpret_cast<void**>(&ace)) ||
            (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE && ace->Header.AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) ||
            (ace->Header.AceFlags & INHERIT_ONLY_ACE) || is_trusted(&ace->SidStart))
            continue;
        DWORD mask = ace->Mask;
        if (mask & GENERIC_ALL)
            mask |= FILE_ALL_ACCESS;
        if (mask & GENERIC_WRITE)
            mask |= FILE_GENERIC_WRITE;
        granted |= mask;
    }
    return granted;
}

const char* const OthersMayWords[OTHERS_MAY_WORDS] = {
    "may delete or rename", "may change the rights of", "own", "may add or delete files in", "may change",
};

const char* OthersMayChange(PSID owner, const ACL* dacl, const ACL* parentDacl, bool target)
{
    DWORD others = granted_to_others(dacl);
    if ((others & DELETE) || (granted_to_others(parentDacl) & FILE_DELETE_CHILD))
        return OthersMayWords[0];
    if (others & (WRITE_DAC | WRITE_OWNER))
        return OthersMayWords[1];
    if (!owner || !is_trusted(owner))
        return OthersMayWords[2];
    if (target && (others & (FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD)))
        return OthersMayWords[3];
    return nullptr;
}

const char* OthersMayChangeFolder(const char* path, bool target)
{
    // Held, the folder is no link and leads where named; its own list is
    // read then, not that of whatever a link leads to.
    char parent[PATH_CHARS];
    HANDLE held;
    PSID owner = nullptr;
    PACL dacl = nullptr, parentDacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr, parentDescriptor = nullptr;
    const char* may = OthersMayWords[4];  // what cannot be read, or leads elsewhere, is not trusted
    if (HoldFolder(path, &held) != FOLDER_HELD)
        return may;
    if (JoinPath(parent, path, "..") &&
        GetSecurityInfo(held, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) == ERROR_SUCCESS &&
        GetNamedSecurityInfoA(parent, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &parentDacl,
                              nullptr, &parentDescriptor) == ERROR_SUCCESS)
        may = OthersMayChange(owner, dacl, parentDacl, target);
    CloseHandle(held);
    LocalFree(descriptor);
    LocalFree(parentDescriptor);
    return may;
}

bool OwnerIsTrusted(HANDLE file)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    bool trusted = is_trusted(owner);
    LocalFree(descriptor);
    return trusted;
}
