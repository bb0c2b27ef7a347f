#include "machine.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>

namespace machine {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
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

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

std::string RecordPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\QVN32.INI";
}

std::string GroupFolder()
{
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
    return std::string(programs) + "\\Corvane";
}

const char* const CLASS_KEYS[] = {
    "Corvane.Pro32\\shell\\open\\command", "Corvane.Pro32\\shell\\open", "Corvane.Pro32\\shell",
    "Corvane.Pro32\\DefaultIcon",          "Corvane.Pro32",
};

void RegisterClassKey()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, CLASS_KEYS[0], 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        const char command[] = "\"C:\\Program files\\Corvane Pro\\QVN32.EXE\" \"%1\"";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), sizeof command);
        RegCloseKey(key);
    }
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, CLASS_KEYS[3], 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
}

void RemoveClassKey()
{
    for (const char* key : CLASS_KEYS)
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
}

bool ClassKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Corvane.Pro32", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> UninstallCopies()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((std::string(temp) + "CorvaneUninstall-*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            found.push_back(std::string(temp) + entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return found;
}

}  // namespace machine
