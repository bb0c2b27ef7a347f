// The entry in the system's list of installed programs ("Apps & features",
// "Programs and Features"): a key of the program's own under the
// Uninstall key, written when an installation completes and deleted by a
// full uninstall. A 32-bit program's key lands in the 32-bit view of the
// registry on 64-bit Windows, which is where the list looks for it. The
// entry is a courtesy: a key that cannot be written (no rights) is no
// failure of the installation.
#include "record/record.h"

static const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvanePro32";

static void set_text(HKEY key, const char* name, const char* value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
}

static void set_number(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The seven files as extracted, in KiB, rounded up.
static DWORD installed_size(const char* folder)
{
    ULONGLONG bytes = 0;
    for (const char* name : InstallFileList) {
        char path[PATH_CHARS];
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (JoinPath(path, folder, name) && GetFileAttributesExA(path, GetFileExInfoStandard, &data))
            bytes += (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return static_cast<DWORD>((bytes + 1023) / 1024);
}

void WriteUninstallEntry(const char* folder)
{
    HKEY key;
    LONG error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) {
        LogLine("Apps & features entry not written (error %ld)", error);
        return;
    }
    // Each path fits: the folder was checked against the files' names.
    char uninstaller[PATH_CHARS + 2], quiet[PATH_CHARS + 9], icon[PATH_CHARS + 2], path[PATH_CHARS];
    JoinPath(path, folder, "UNINSTAL.EXE");
    wsprintfA(uninstaller, "\"%s\"", path);
    wsprintfA(quiet, "%s /quiet", uninstaller);
    JoinPath(path, folder, APPLICATION_FILE);
    wsprintfA(icon, "%s,0", path);
    set_text(key, "DisplayName", "Corvane Pro32 2.0");
    set_text(key, "DisplayVersion", "2.0");
    set_text(key, "Publisher", "Melvro");
    set_text(key, "InstallLocation", folder);
    set_text(key, "UninstallString", uninstaller);
    set_text(key, "QuietUninstallString", quiet);
    set_text(key, "DisplayIcon", icon);
    set_number(key, "NoModify", 1);
    set_number(key, "NoRepair", 1);
    set_number(key, "EstimatedSize", installed_size(folder));
    RegFlushKey(key);  // on the disk before the copying's journal goes
    RegCloseKey(key);
    LogLine("Apps & features entry written: HKEY_LOCAL_MACHINE\\%s, uninstall %s", UNINSTALL_KEY, uninstaller);
}

void DeleteUninstallEntry()
{
    // A missing key is fine.
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY) == ERROR_SUCCESS)
        LogLine("Apps & features entry removed");
}
