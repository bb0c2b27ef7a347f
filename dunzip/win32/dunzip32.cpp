// DUNZIP32.DLL: extracts one member of a ZIP archive into a folder, for
// the setup. Its one export takes the setup's 142-byte request record.
//
// The member is inflated into a temporary file in the target folder,
// checked, and only then put in place of the destination file, so a
// failed extraction leaves nothing half-written and never destroys the
// file that was there. It writes nowhere but the target folder, under the
// member's bare name, whatever the archive holds.
//
// Result: 0 when the member is in place; otherwise the minus of the
// setup's message index, since a file that was not extracted must stop
// the installation.
#include <windows.h>

#include "core/zip.h"
#include "install/unzip_request.h"

namespace {

using zip::Result;

// A destination held open by another program is tried again for this long.
const DWORD REPLACE_PATIENCE_MS = 4000;
const DWORD REPLACE_RETRY_MS = 250;

class FileSource : public zip::Source {
public:
    explicit FileSource(HANDLE file) : file_(file)
    {
        LARGE_INTEGER size;
        size_ = GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }

    uint64_t size() const override { return size_; }

    bool read(uint64_t offset, void* buffer, size_t count) override
    {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN))
            return false;
        char* p = static_cast<char*>(buffer);
        while (count) {
            DWORD got = 0;
            if (!ReadFile(file_, p, count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count), &got, nullptr) ||
                got == 0)
                return false;
            p += got;
            count -= got;
        }
        return true;
    }

private:
    HANDLE file_;
    uint64_t size_;
};

class FileSink : public zip::Sink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}

    Result write(const void* data, size_t count) override
    {
        DWORD written = 0;
        if (WriteFile(file_, data, static_cast<DWORD>(count), &written, nullptr) && written == count)
            return zip::OK;
        DWORD error = GetLastError();
        return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? zip::DISK_FULL
                                                                            : zip::CANNOT_CREATE;
    }

private:
    HANDLE file_;
};

// A member name that is a file name and nothing more.
bool bare_name(const char* name)
{
    if (!name[0] || lstrcmpA(name, ".") == 0 || lstrcmpA(name, "..") == 0)
        return false;
    for (const char* p = name; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            return false;
    return true;
}

bool is_folder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// folder + '\' + name into a MAX_PATH buffer; false when it does not fit.
bool join(char* path, const char* folder, const char* name)
{
    int folderLength = lstrlenA(folder);
    bool separator = folderLength == 0 || folder[folderLength - 1] != '\\';
    if (folderLength + separator + lstrlenA(name) >= MAX_PATH)
        return false;
    lstrcpyA(path, folder);
    if (separator)
        lstrcatA(path, "\\");
    lstrcatA(path, name);
    return true;
}

// The time the archive gives the member: its extended timestamp (UTC)
// where it has one, else its DOS date and time (local time).
bool member_time(const zip::Entry& entry, FILETIME* time)
{
    if (entry.hasUnixTime) {
        ULARGE_INTEGER ticks;
        ticks.QuadPart = static_cast<ULONGLONG>(entry.unixTime + 11644473600LL) * 10000000ULL;
        time->dwLowDateTime = ticks.LowPart;
        time->dwHighDateTime = ticks.HighPart;
        return true;
    }
    FILETIME local;
    return DosDateTimeToFileTime(entry.dosDate, entry.dosTime, &local) && LocalFileTimeToFileTime(&local, time);
}

// Puts the checked temporary file in the destination's place. A
// destination in use is tried again for a while; the earlier file stays
// intact whatever happens.
bool replace(const char* temporary, const char* destination)
{
    for (DWORD waited = 0;; waited += REPLACE_RETRY_MS) {
        if (MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING))
            return true;
        DWORD error = GetLastError();
        bool inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!inUse || waited >= REPLACE_PATIENCE_MS)
            return false;
        Sleep(REPLACE_RETRY_MS);
    }
}

Result extract(const UnzipRequest& request)
{
    if (!bare_name(request.member))
        return zip::BAD_REQUEST;
    if (!is_folder(request.folder))
        return zip::NO_FOLDER;
    char destination[MAX_PATH];
    if (!join(destination, request.folder, request.member))
        return zip::CANNOT_CREATE;

    HANDLE archiveFile = CreateFileA(request.archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (archiveFile == INVALID_HANDLE_VALUE)
        return zip::CANNOT_OPEN;
    FileSource archive(archiveFile);
    zip::Entry entry;
    Result result = zip::FindEntry(archive, request.member, &entry);

    char temporary[MAX_PATH];
    if (result == zip::OK && !GetTempFileNameA(request.folder, "~dz", 0, temporary))
        result = zip::CANNOT_CREATE;
    if (result == zip::OK) {
        HANDLE output = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            result = zip::CANNOT_CREATE;
        } else {
            FileSink sink(output);
            result = zip::ExtractEntry(archive, entry, request.decryptCode, sink);
            FILETIME modified;
            if (result == zip::OK && member_time(entry, &modified))
                SetFileTime(output, nullptr, nullptr, &modified);  // a file without its time is still whole
            CloseHandle(output);
        }
        if (result == zip::OK && !replace(temporary, destination))
            result = zip::CANNOT_CREATE;
        if (result != zip::OK)
            DeleteFileA(temporary);
    }
    CloseHandle(archiveFile);
    return result;
}

}  // namespace

extern "C" __declspec(dllexport) int __stdcall dunzip(const UnzipRequest* request)
{
    if (!request || request->length != static_cast<int32_t>(sizeof(UnzipRequest)) || !request->archive ||
        !request->member || !request->folder || !request->decryptCode)
        return -zip::BAD_REQUEST;
    return -extract(*request);
}
