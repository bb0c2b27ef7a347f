#include <string.h>

#include "record/record.h"

const char RECORD_FILE[] = "QVN32.INI";
const char APPLICATION_FILE[] = "QVN32.EXE";
const char DEFAULT_FOLDER[] = "C:\\Program files\\Corvane Pro";

static const char NOT_INSTALLED[] = "Not Installed";

// Reads the record. The application counts as installed exactly when the
// record holds a path; the files on disk are not looked at. A missing
// file, section or key reads as its default, that is, nothing installed.
void ScanInstallation()
{
    RecordValues& values = State.InstallRecord;
    values = RecordValues{};
    lstrcpynA(State.InstalledFolder, NOT_INSTALLED, PATH_CHARS);
    char record[PATH_CHARS];
    if (WindowsPath(RECORD_FILE, record)) {
        values.sharewareEdition = static_cast<int>(GetPrivateProfileIntA("SHAREWARE", "Setup", 0, record));
        values.releaseEdition = static_cast<int>(GetPrivateProfileIntA("RELEASE", "Setup", 0, record));
        values.majorVersion = static_cast<int>(GetPrivateProfileIntA("VERSION", "Major", 0, record));
        values.minorVersion = static_cast<int>(GetPrivateProfileIntA("VERSION", "Minor", 0, record));
        // The profile read cuts a path that does not fit. One character
        // more than a path can hold shows it: a cut path is not where the
        // application is, and its folder would be the real one's parent.
        char path[PATH_CHARS + 1];
        DWORD length = GetPrivateProfileStringA("INSTALL PATH", "Path", NOT_INSTALLED, path, sizeof path, record);
        if (length < PATH_CHARS)
            lstrcpynA(State.InstalledFolder, path, PATH_CHARS);
    }

    if (strcmp(State.InstalledFolder, NOT_INSTALLED) != 0) {
        StripFileName(State.InstalledFolder);
        State.IsInstalled = true;
    } else {
        lstrcpynA(State.InstalledFolder, DEFAULT_FOLDER, PATH_CHARS);
        State.IsInstalled = false;
    }
    lstrcpynA(State.TargetFolder, State.InstalledFolder, PATH_CHARS);
    if (State.IsInstalled)
        LogLine("Record %s: version %d.%d, edition flags %d and %d, installed in %s", record, values.majorVersion,
                values.minorVersion, values.sharewareEdition, values.releaseEdition, State.InstalledFolder);
    else
        LogLine("Record %s: nothing installed", record);
}

// Writes the record of a completed installation, in the order that the
// installed application expects to find it. Write failures are not
// reported: the installation itself is complete.
static void write_record(const char* executablePath)
{
    char record[PATH_CHARS];
    if (!WindowsPath(RECORD_FILE, record))
        return;
    WritePrivateProfileStringA("SHAREWARE", "Setup", "0", record);
    WritePrivateProfileStringA("RELEASE", "Setup", "1", record);
    WritePrivateProfileStringA("VERSION", "Major", "2", record);
    WritePrivateProfileStringA("VERSION", "Minor", "0", record);
    bool written = WritePrivateProfileStringA("INSTALL PATH", "Path", executablePath, record);
    // Out of the system's cache and onto the disk, before the copying's
    // journal, which would write it again, is removed.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, record);
    HANDLE file = CreateFileA(record, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    LogLine(written ? "Record written: %s, version 2.0, Path=%s" : "Record not written: %s (Path=%s)", record,
            executablePath);
}

bool RecordInstallation(const char* folder)
{
    char executable[PATH_CHARS];
    if (!JoinPath(executable, folder, APPLICATION_FILE) || !IsFile(executable)) {
        LogLine("Record not written: %s holds no %s", folder, APPLICATION_FILE);
        return false;
    }
    write_record(executable);
    WriteUninstallEntry(folder);
    return true;
}
