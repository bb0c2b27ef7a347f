#include "machine.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace machine {

std::string Narrow(const std::wstring& wide, UINT codePage)
{
    static char text[65536 * 3];
    return WideCharToMultiByte(codePage, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr) ? text : "";
}

std::wstring Widen(const std::string& text, UINT codePage)
{
    static wchar_t wide[65536];
    return MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide, 65536) ? wide : L"";
}

std::string ReadFile(const std::string& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

bool SameFile(const std::string& path, const std::string& other)
{
    std::ifstream a(path, std::ios::binary), b(other, std::ios::binary);
    if (!a || !b || a.seekg(0, std::ios::end).tellg() != b.seekg(0, std::ios::end).tellg())
        return false;
    a.seekg(0);
    b.seekg(0);
    std::vector<char> x(1 << 20), y(1 << 20);
    while (a && b) {
        a.read(x.data(), x.size());
        b.read(y.data(), y.size());
        if (a.gcount() != b.gcount() || memcmp(x.data(), y.data(), static_cast<size_t>(a.gcount())) != 0)
            return false;
    }
    return true;
}

std::string WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string WindowsPath(std::string unixPath)
{
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

// Wine's own export: the path of the machine running Wine that a Windows
// path names.
static std::string unix_path(const std::string& path)
{
    typedef char*(CDECL * UnixName)(const WCHAR* path);
    auto unix_name = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "wine_get_unix_file_name")));
    std::wstring wide(path.begin(), path.end());
    char* name = unix_name ? unix_name(wide.c_str()) : nullptr;
    std::string found = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return found;
}

// Runs a program of the machine running Wine (Wine starts those too), and
// waits until `path` is there, or with `gone` is not.
static bool run_there(const std::string& program, const std::string& paths, const std::string& path, bool gone)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    std::string line = program + " " + paths;
    if (!CreateProcessA(WindowsPath(program).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread), CloseHandle(process.hProcess);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20))
        if (Exists(path) != gone)
            return true;
    return false;
}

bool MakeLink(const std::string& link, const std::string& target)
{
    return run_there("/bin/ln", "-s \"" + unix_path(target) + "\" \"" + unix_path(link) + "\"", link, false);
}

bool SwapForLink(const std::string& folder, const std::string& away, const std::string& link)
{
    return run_there("/bin/sh",
                     "-c \"mv '" + unix_path(folder) + "' '" + unix_path(away) + "' && mv '" + unix_path(link) + "' '" +
                         unix_path(folder) + "'\"",
                     away, false);
}

bool RemoveLink(const std::string& link)
{
    return run_there("/bin/rm", "\"" + unix_path(link) + "\"", link, true);
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

std::vector<std::string> FilesIn(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
        if (std::string(".") != entry.cFileName && std::string("..") != entry.cFileName)
            names.push_back(entry.cFileName);
    FindClose(search);
    return names;
}

std::string RecordPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\QVN32.INI";
}

std::string GroupFolder(int programsFolder)
{
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, programsFolder, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\Corvane";
}

std::string MoveCommonPrograms(const std::string& folder)
{
    const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    char was[MAX_PATH] = {};
    DWORD size = sizeof was;
    RegGetValueA(HKEY_LOCAL_MACHINE, key, "Common Programs", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, was, &size);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Common Programs", REG_EXPAND_SZ, folder.c_str(),
                    static_cast<DWORD>(folder.size() + 1));
    return was;
}

Shortcut ReadShortcut(const std::string& path)
{
    Shortcut read;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    CoInitialize(nullptr);
    std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
        char target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(arguments, MAX_PATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
        link->GetIconLocation(icon, MAX_PATH, &read.iconIndex);
        read = {target, arguments, folder, icon, read.iconIndex};
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return read;
}

// As the application registers it: a command two levels down, an icon.
void RegisterClassKey()
{
    const char command[] = "\"C:\\Program files\\Corvane Pro\\QVN32.EXE\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, "Corvane.Pro32\\shell\\open\\command", REG_SZ, command, sizeof command);
    RegSetValueA(HKEY_CLASSES_ROOT, "Corvane.Pro32\\DefaultIcon", REG_SZ, "QVN32.EXE,0", 11);
}

void RemoveClassKey()
{
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "Corvane.Pro32");
}

static bool key_exists(HKEY root, const char* name)
{
    HKEY key;
    bool exists = RegOpenKeyExA(root, name, 0, KEY_READ, &key) == ERROR_SUCCESS;
    RegCloseKey(exists ? key : nullptr);
    return exists;
}

bool ClassKeyExists()
{
    return key_exists(HKEY_CLASSES_ROOT, "Corvane.Pro32");
}

bool UninstallEntryExists()
{
    return key_exists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvanePro32");
}

std::vector<std::string> UninstallCopies()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> found = FilesIn(std::string(temp) + "CorvaneUninstall-*");
    for (std::string& name : found)
        name = temp + name;
    return found;
}

}  // namespace machine
