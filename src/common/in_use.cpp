// A file of the installation that another program holds: waited for,
// named, and tried again. The Restart Manager tells which program holds
// it, and closes programs on request; it is looked up at run time, from
// the system folder only, and a system without it (or one whose Restart
// Manager names nobody, as Wine's does) gets "another program".
#include "common/common.h"

#include <restartmanager.h>

#include "ansi_text.h"
#include "system_dlls.h"
#include "texts.h"

// How long an unattended run waits for a file in use, without /wait.
enum : DWORD { UNATTENDED_WAIT_MS = 30000 };

typedef DWORD(WINAPI* StartSessionFunction)(DWORD* session, DWORD flags, WCHAR* key);
typedef DWORD(WINAPI* RegisterResourcesFunction)(DWORD session, UINT files, LPCWSTR* names, UINT processes,
                                                 RM_UNIQUE_PROCESS* process, UINT services, LPCWSTR* serviceNames);
typedef DWORD(WINAPI* GetListFunction)(DWORD session, UINT* needed, UINT* count, RM_PROCESS_INFO* found,
                                       DWORD* reasons);
typedef DWORD(WINAPI* ShutdownFunction)(DWORD session, ULONG flags, RM_WRITE_STATUS_CALLBACK status);
typedef DWORD(WINAPI* EndSessionFunction)(DWORD session);

static void* restart_manager(const char* name)
{
    return SystemFunction("RSTRTMGR.DLL", name);
}

static void end_session(DWORD session)
{
    if (auto end = reinterpret_cast<EndSessionFunction>(restart_manager("RmEndSession")))
        end(session);
}

// A Restart Manager session with the one file registered: 0, or the
// error that kept it from being made.
static DWORD open_session(const char* path, DWORD* session)
{
    auto start = reinterpret_cast<StartSessionFunction>(restart_manager("RmStartSession"));
    auto add = reinterpret_cast<RegisterResourcesFunction>(restart_manager("RmRegisterResources"));
    WCHAR key[CCH_RM_SESSION_KEY + 1], wide[PATH_CHARS];
    LPCWSTR files[1] = {wide};
    if (!start || !add || !ToWide(path, wide, PATH_CHARS))
        return ERROR_NOT_SUPPORTED;
    DWORD error = start(session, 0, key);
    if (error == ERROR_SUCCESS && (error = add(*session, 1, files, 0, nullptr, 0, nullptr)) != ERROR_SUCCESS)
        end_session(*session);
    return error;
}

// The program that holds a file, as the Restart Manager names it.
struct Holder {
    WCHAR name[CCH_RM_MAX_APP_NAME + 1];
    DWORD id;
    WCHAR process[12];  // the id, in decimal
};

// The first program the Restart Manager names as holding the file; false
// when it names none. What it answered goes to the log.
static bool find_holder(const char* path, Holder* holder)
{
    auto list = reinterpret_cast<GetListFunction>(restart_manager("RmGetList"));
    RM_PROCESS_INFO found[2];
    UINT needed = 0, count = 0;
    DWORD session, reasons, error = list ? open_session(path, &session) : ERROR_NOT_SUPPORTED;
    if (error == ERROR_SUCCESS) {
        count = 2;
        error = list(session, &needed, &count, found, &reasons);
        end_session(session);
    }
    LogLine("Restart Manager: result %lu, %u programs hold %s", error, error == ERROR_SUCCESS ? count : needed, path);
    if (error != ERROR_SUCCESS || count == 0)
        return false;
    lstrcpynW(holder->name, found[0].strAppName, CCH_RM_MAX_APP_NAME + 1);
    holder->id = found[0].Process.dwProcessId;
    wsprintfW(holder->process, L"%lu", holder->id);
    return true;
}

// /closeapplications: the programs that hold the file are asked to close,
// and given the time the Restart Manager gives them.
static void close_holders(const char* path)
{
    auto shutdown = reinterpret_cast<ShutdownFunction>(restart_manager("RmShutdown"));
    DWORD session, error = shutdown ? open_session(path, &session) : ERROR_NOT_SUPPORTED;
    if (error == ERROR_SUCCESS) {
        error = shutdown(session, 0, nullptr);
        end_session(session);
    }
    LogLine("The programs that hold %s were asked to close: result %lu", path, error);
}

// A pause in which this thread's windows are painted, and nothing else is
// dispatched: the notice stays whole on screen while a file is waited for.
static VOID WINAPI pause_painting(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < milliseconds; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_PAINT);
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageW(&message);
    }
}

FileTries::FileTries()
    : patience_(State.Mode == INTERACTIVE ? MOMENT_MS
                : State.WaitGiven         ? State.WaitSeconds * 1000
                                          : UNATTENDED_WAIT_MS,
                pause_painting)
{
}

bool FileTries::Again(const char* path, DWORD error)
{
    if (!seen_ && InUseError(path, error)) {
        seen_ = true;
        LogLine("In use: %s; Setup waits for it", path);
        if (State.CloseApplications)
            close_holders(path);
    }
    if (patience_.Again(path, error))
        return true;
    if (!patience_.InUse())
        return false;

    Holder holder;
    char named[LOG_TEXT_CHARS];
    bool known = find_holder(path, &holder);
    if (known)
        LogLine("Still in use: %s, by %s (process %lu)", path, LogText(holder.name, named), holder.id);
    else
        LogLine("Still in use: %s, by another program", path);
    if (State.Mode != INTERACTIVE)
        return false;
    WCHAR wide[PATH_CHARS];
    ToWide(path, wide, PATH_CHARS);  // a path of the code page always has a wide form
    bool retry = known ? AskRetry(State.backdrop, IDS_IN_USE_BY, wide, holder.name, holder.process)
                       : AskRetry(State.backdrop, IDS_IN_USE, wide);
    LogLine(retry ? "Retry: %s is tried again" : "Cancel: %s stays as it is", path);
    // After Retry, one try, and then the question again.
    patience_ = Patience(0, pause_painting);
    return retry;
}
