// The group as files, for a run that no shell answers: a deployment that
// runs as SYSTEM has no desktop, so nothing takes Program Manager's
// commands there. The group's folder in the all-users Start menu, with the
// four items as shortcuts in it, made as a shell makes them from
// CreateGroup and AddItem; and their removal by the same names, whether or
// not a shell answers. Who runs the setup is not known here: the wizard
// decides when the files stand in for the shell.
#include <string.h>

#include <shlobj.h>

#include "ansi_text.h"
#include "held_folder.h"
#include "progman/progman.h"
#include "system_dlls.h"

typedef HRESULT(WINAPI* FolderPathFunction)(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);
typedef HRESULT(WINAPI* InitializeFunction)(LPVOID reserved, DWORD model);
typedef HRESULT(WINAPI* CreateFunction)(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID face, LPVOID* object);
typedef void(WINAPI* UninitializeFunction)();

// The shell's and COM's libraries are loaded only by the runs that use
// them: loading the shell's would cost every start of the setup tens of
// milliseconds.

// folder = the group's folder in the all-users programs folder; false when
// the system names none the code page can hold, or the path does not fit.
static bool group_folder(char* folder)
{
    auto folder_path = reinterpret_cast<FolderPathFunction>(SystemFunction("SHELL32.DLL", "SHGetFolderPathW"));
    WCHAR wide[MAX_PATH];
    char programs[MAX_PATH];
    if (!folder_path || folder_path(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, wide) != S_OK ||
        !AnsiPath(wide, programs)) {
        LogLine("Start menu: the system names no all-users programs folder");
        return false;
    }
    return JoinPath(folder, programs, GroupName);
}

// path = the item's shortcut in the group's folder, named by its caption
// as a shell names it; false when it does not fit.
static bool shortcut_path(const char* folder, const ProgramItem& item, char* path)
{
    static const char EXTENSION[] = ".lnk";
    if (!JoinPath(path, folder, item.caption))
        return false;
    size_t length = strlen(path);
    if (length + sizeof EXTENSION > PATH_CHARS)
        return false;
    memcpy(path + length, EXTENSION, sizeof EXTENSION);
    return true;
}

// One item as a shell makes it from its AddItem command: the command
// line's program as the target, with no arguments; the caption as the
// name and the description. The commands give no icon, working folder,
// hot key or minimise flag, so neither does the shortcut: the target's
// own icon shows, as in a group a shell made.
static bool write_shortcut(CreateFunction create, const char* path, const char* target, const char* caption)
{
    WCHAR widePath[PATH_CHARS];
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT result = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                            reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result))
        result = link->SetPath(target);
    if (SUCCEEDED(result))
        result = link->SetDescription(caption);
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result) && !ToWide(path, widePath, PATH_CHARS))
        result = E_INVALIDARG;
    if (SUCCEEDED(result)) {
        // Written new: whatever lay under the name goes first, so that
        // nothing is written through it to another file. Only
        // administrators can put anything in the all-users programs
        // folder, and the group's folder is held meanwhile.
        DeleteFileA(path);
        result = file->Save(widePath, TRUE);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (FAILED(result)) {
        LogLine("Start menu: %s not written (0x%lx)", path, static_cast<unsigned long>(result));
        return false;
    }
    LogLine("Start menu: %s written, for %s", path, target);
    return true;
}

bool WriteStartMenuGroup()
{
    char folder[PATH_CHARS];
    if (!group_folder(folder))
        return false;
    LogLine("Start menu: no shell answers, so the group is made as files in %s", folder);
    CreateDirectoryA(folder, nullptr);  // or it is there already, which the hold tells
    HANDLE held;
    if (HoldFolder(folder, &held) != FOLDER_HELD) {
        LogLine("Start menu: %s cannot be made, or is a link or a file; no shortcut is written", folder);
        return false;
    }
    auto initialize = reinterpret_cast<InitializeFunction>(SystemFunction("OLE32.DLL", "CoInitializeEx"));
    auto create = reinterpret_cast<CreateFunction>(SystemFunction("OLE32.DLL", "CoCreateInstance"));
    auto uninitialize = reinterpret_cast<UninitializeFunction>(SystemFunction("OLE32.DLL", "CoUninitialize"));
    int written = 0;
    HRESULT com = initialize && create && uninitialize ? initialize(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    // COM that already runs on this thread in the other model serves as well.
    if (FAILED(com) && com != RPC_E_CHANGED_MODE) {
        LogLine("Start menu: COM fails (0x%lx); no shortcut is written", static_cast<unsigned long>(com));
    } else {
        for (const ProgramItem& item : ProgramItems) {
            char command[PATH_CHARS], path[PATH_CHARS];
            if (!QuoteTargetFile(item.fileName, command) || !shortcut_path(folder, item, path)) {
                LogLine("Start menu: the shortcut for %s does not fit its buffer", item.caption);
                continue;
            }
            command[strlen(command) - 1] = '\0';  // the AddItem's command line, its quotes taken off
            written += write_shortcut(create, path, command + 1, item.caption);
        }
    }
    if (SUCCEEDED(com))
        uninitialize();
    CloseHandle(held);
    if (written == PROGRAM_ITEMS)
        return true;
    RemoveFolder(folder);  // made for nothing, unless something is in it
    return false;
}

void RemoveStartMenuGroup(bool removeGroup)
{
    char folder[PATH_CHARS];
    HANDLE held;
    if (!group_folder(folder))
        return;
    switch (HoldFolder(folder, &held)) {
    case FOLDER_MISSING:
        return;
    case FOLDER_ELSEWHERE:
        LogLine(LEFT_ALONE, folder);
        return;
    case FOLDER_HELD:
        break;
    }
    for (const ProgramItem& item : ProgramItems) {
        char path[PATH_CHARS];
        if (!shortcut_path(folder, item, path))
            continue;
        if (DeleteFileA(path))
            LogLine("Deleted %s", path);
        else if (DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND)
            LogLine("Not deleted: %s (error %lu)", path, error);
    }
    CloseHandle(held);
    // Only an empty folder goes: whatever else is there keeps it.
    if (removeGroup && RemoveFolder(folder))
        LogLine("Folder removed: %s", folder);
}
