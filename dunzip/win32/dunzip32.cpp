// DUNZIP32.DLL: extracts one member of a ZIP archive into a folder, for
// the setup. Its one export takes the setup's request record.
//
// The member is inflated into a temporary file in the target folder,
// checked, flushed to the disk, and only then put in place of the
// destination file, so a failed extraction leaves nothing half-written and
// never destroys the file that was there. It writes nowhere but the target
// folder, under the member's bare name, whatever the archive holds.
//
// Result: 0 when the member is in place; otherwise the minus of the
// setup's message index, since a file that was not extracted must stop
// the installation. It knows the setup only through the request record:
// nothing of its flow, its state or its log.
#include <windows.h>

#include <stdio.h>

#include "core/zip.h"
#include "in_use.h"
#include "path_text.h"
#include "resolved_path.h"
#include "unzip_request.h"

namespace {

using zip::Result;

// The decrypting thread only reads the archive: little stack.
const SIZE_T HELPER_STACK = 64 * 1024;

// Temporary names already taken are passed over this many times.
const DWORD TEMPORARY_ATTEMPTS = 16;

// Kernel32 functions of Windows Vista and later, looked up when needed so
// that the library still loads on earlier systems, which go without what
// they serve.
typedef BOOL(WINAPI* SetFileInformationByHandleFunction)(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID data,
                                                         DWORD size);

template <typename Function>
Function kernel32(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), name)));
}

// A write that cannot go on: a full disk has a message of its own.
Result write_failure(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? zip::DISK_FULL : zip::CANNOT_CREATE;
}

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

    // A write may take only part of the bytes, as Wine's does when the disk
    // fills, and say nothing went wrong: the rest is written until a call
    // fails or takes nothing, which is a full disk too.
    Result write(const void* data, size_t count) override
    {
        const char* p = static_cast<const char*>(data);
        while (count) {
            DWORD written = 0;
            if (!WriteFile(file_, p, count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count), &written, nullptr))
                return write_failure(GetLastError());
            if (written == 0)
                return zip::DISK_FULL;
            p += written;
            count -= written;
        }
        return zip::OK;
    }

private:
    HANDLE file_;
};

// The core's second thread, made by the system itself: a C++ thread
// would bring the static pthreads library and more of the C++ library
// along, four times the size of this whole library. Its events live as
// long as the thread; auto-reset, so that a wake is kept until one wait
// takes it.
class Thread : public zip::Helper {
public:
    bool start(void (*work)(void*), void* context) override
    {
        work_ = work;
        context_ = context;
        for (HANDLE& event : events_)
            event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = events_[0] && events_[1] ? CreateThread(nullptr, HELPER_STACK, run, this,
                                                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)
                                           : nullptr;
        if (!thread_)
            close_events();
        return thread_ != nullptr;
    }

    void join() override
    {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        close_events();
    }

    void wait(int side) override { WaitForSingleObject(events_[side], INFINITE); }
    void wake(int side) override { SetEvent(events_[side]); }

private:
    static DWORD WINAPI run(void* self)
    {
        Thread* thread = static_cast<Thread*>(self);
        thread->work_(thread->context_);
        return 0;
    }

    void close_events()
    {
        for (HANDLE& event : events_) {
            if (event)
                CloseHandle(event);
            event = nullptr;
        }
    }

    void (*work_)(void*) = nullptr;
    void* context_ = nullptr;
    HANDLE thread_ = nullptr;
    HANDLE events_[2] = {};
};

// Whether the process may run on two processors at once: on one, the
// second thread would only take turns with the first.
bool two_processors()
{
    DWORD_PTR process, system;
    return GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && (process & (process - 1));
}

// A member name that is a file name and nothing more: no separator, no
// drive, character by character.
bool bare_name(const char* name)
{
    return name[0] && lstrcmpA(name, ".") != 0 && lstrcmpA(name, "..") != 0 && !LastOf(name, "\\/:");
}

bool is_folder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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

// Whether the open file lies in the folder itself, both as the system
// resolves them, so that both take the same form under Wine as under
// Windows: a name that led elsewhere is not written through. A system
// without the lookup is not asked, nor one that cannot tell.
bool in_folder(HANDLE file, const char* folder)
{
    auto lookup = kernel32<resolved::Lookup>("GetFinalPathNameByHandleW");
    if (!lookup)
        return true;
    // A folder opens only with backup semantics.
    HANDLE folderHandle = CreateFileA(folder, FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folderHandle == INVALID_HANDLE_VALUE)
        return true;
    bool same = resolved::same_folder(lookup, folderHandle, file);
    CloseHandle(folderHandle);
    return same;
}

// The member's bytes on their way: a file of the library's own, made new
// in the target folder and held open while it is written, so that what is
// written, and on a failure deleted where the system can, is this file and
// no other that came to bear its name.
struct Temporary {
    HANDLE file;
    char path[MAX_PATH];
};

// Removes the temporary file through its handle where the system can;
// elsewhere, by the name it was made under, as the only way left.
void discard(const Temporary& temporary)
{
    SetFileInformationByHandleFunction set = kernel32<SetFileInformationByHandleFunction>("SetFileInformationByHandle");
    FILE_DISPOSITION_INFO disposition = { TRUE };
    bool marked = set && set(temporary.file, FileDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(temporary.file);
    if (!marked)
        DeleteFileA(temporary.path);
}

Result create_temporary(const char* folder, Temporary* temporary)
{
    // Two setups started in the same tick still start apart.
    DWORD value = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        char name[UNZIP_TEMPORARY_NAME_CHARS + 1];
        int length = _snprintf(name, sizeof name, UNZIP_TEMPORARY_NAME, static_cast<unsigned long>(value + attempt));
        // A name of another length than the setup counts with is refused,
        // as a path that does not fit is.
        if (length != UNZIP_TEMPORARY_NAME_CHARS || !JoinPath(temporary->path, folder, name))
            return zip::CANNOT_CREATE;
        // DELETE, so that a failure can remove it through the handle.
        temporary->file = CreateFileA(temporary->path, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (temporary->file != INVALID_HANDLE_VALUE) {
            if (in_folder(temporary->file, folder))
                return zip::OK;
            discard(*temporary);
            return zip::CANNOT_CREATE;
        }
        // Access denied is also what Windows says of a name whose file is
        // still being deleted: the next name is tried, as for one taken.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            return zip::CANNOT_CREATE;
    }
    return zip::CANNOT_CREATE;
}

// Puts the checked temporary file in the destination's place, the move
// itself on the disk before it returns. A destination another program
// holds for a moment is waited for; the earlier file stays intact whatever
// happens.
bool replace(const char* temporary, const char* destination)
{
    Patience patience(MOMENT_MS);
    while (!MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        if (!patience.Again(destination, GetLastError()))
            return false;
    return true;
}

Result extract(const UnzipRequest& request)
{
    if (!bare_name(request.member))
        return zip::BAD_REQUEST;
    if (!is_folder(request.folder))
        return zip::NO_FOLDER;
    char destination[MAX_PATH];
    if (!JoinPath(destination, request.folder, request.member))
        return zip::CANNOT_CREATE;

    HANDLE archiveFile = CreateFileA(request.archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (archiveFile == INVALID_HANDLE_VALUE)
        return zip::CANNOT_OPEN;
    FileSource archive(archiveFile);
    zip::Entry entry;
    Result result = zip::FindEntry(archive, request.member, &entry);

    Temporary temporary;
    if (result == zip::OK)
        result = create_temporary(request.folder, &temporary);
    if (result == zip::OK) {
        FileSink sink(temporary.file);
        Thread thread;
        result = zip::ExtractEntry(archive, entry, request.decryptCode, sink, two_processors() ? &thread : nullptr);
        FILETIME modified;
        if (result == zip::OK && member_time(entry, &modified))
            SetFileTime(temporary.file, nullptr, nullptr, &modified);  // a file without its time is still whole
        // On the disk before it takes the earlier file's place: a crash
        // just after must not leave an empty file under the member's name.
        if (result == zip::OK && !FlushFileBuffers(temporary.file))
            result = write_failure(GetLastError());
        if (result != zip::OK) {
            discard(temporary);
        } else {
            CloseHandle(temporary.file);
            if (!replace(temporary.path, destination)) {
                DeleteFileA(temporary.path);  // closed for the move, it is reached by its name only
                result = zip::CANNOT_CREATE;
            }
        }
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
