// What a person can look at on the machine after a run of the setup: files
// and folders, the installation record, the Start menu's program group and
// its shortcuts, the application's class key, the uninstaller's temporary
// copies.
#ifndef CORVANE_TEST_MACHINE_H
#define CORVANE_TEST_MACHINE_H

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace machine {

// Wide text in a code page (by default the one the test runs in), and back.
std::string Narrow(const std::wstring& wide, UINT codePage = CP_ACP);
std::wstring Widen(const std::string& text, UINT codePage = CP_ACP);

std::string ReadFile(const std::string& path);  // "" when it cannot be read
// Both can be read and hold the same bytes, read a piece at a time.
bool SameFile(const std::string& path, const std::string& other);
std::string WriteFile(const std::string& path, const std::string& contents);  // the path
// A path of the machine running Wine, as Windows programs see it through drive Z:.
std::string WindowsPath(std::string unixPath);
bool Exists(const std::string& path);
// A symbolic link to a folder, and its removal: made and removed by the
// machine running Wine, which shows it to Windows programs as a link.
bool MakeLink(const std::string& link, const std::string& target);
// Renames a folder away and puts a link made beforehand in its place, at
// once, as someone racing a program would.
bool SwapForLink(const std::string& folder, const std::string& away, const std::string& link);
bool RemoveLink(const std::string& link);
bool IsFolder(const std::string& path);
// The names a search pattern finds, "." and ".." left out.
std::vector<std::string> FilesIn(const std::string& pattern);

// "QVN32.INI" in the Windows directory.
std::string RecordPath();

// The Start menu's folder of the program group "Corvane", where the desktop
// shell puts the items it is given over DDE; with CSIDL_COMMON_PROGRAMS, the
// all-users one, where a run that no shell answers writes them itself.
std::string GroupFolder(int programsFolder = CSIDL_PROGRAMS);
// Has the system name another folder as the all-users programs folder, to
// every program; the one it named before.
std::string MoveCommonPrograms(const std::string& folder);
// A shortcut as the shell reads it; all empty when it cannot be read.
struct Shortcut {
    std::string target, arguments, folder, icon;
    int iconIndex = -1;
};
Shortcut ReadShortcut(const std::string& path);

// The application's class key under HKEY_CLASSES_ROOT, registered with two
// levels of subkeys as the application does it.
void RegisterClassKey();
void RemoveClassKey();
bool ClassKeyExists();

// The entry in the system's list of installed programs.
bool UninstallEntryExists();

// The temporary folders (and their scripts) UNINSTAL.EXE makes for its copies.
std::vector<std::string> UninstallCopies();

}  // namespace machine

#endif
