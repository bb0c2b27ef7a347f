#include "stopper.h"

#include <cstring>

namespace robot {

namespace {

const BYTE BREAK = 0xCC;  // int3
const DWORD KILLED_EXIT_CODE = 0xDEAD;
const size_t COMPARED_BYTES = 16;  // of a function, to see it is where ours is

// The length of a function's first instruction, for the forms that Wine's
// kernel32 functions start with (hot-patch padding, frame set-ups); 0 for
// any other. None of them refers to where it lies, so a copy runs alike.
size_t first_instruction(const BYTE* code)
{
    struct Form {
        BYTE bytes[4];
        size_t matched, length;
    } forms[] = {
        {{0x8B, 0xFF}, 2, 2},              // mov edi, edi
        {{0x8D, 0x4C, 0x24}, 3, 4},        // lea ecx, [esp + d8]
        {{0x48, 0x8D, 0xA4, 0x24}, 4, 8},  // lea rsp, [rsp + d32]
        {{0x48, 0x83, 0xEC}, 3, 4},        // sub rsp, i8
    };
    for (const Form& form : forms)
        if (memcmp(code, form.bytes, form.matched) == 0)
            return form.length;
    return 0;
}

// A watched function: its entry, and where a call goes on instead, a copy
// of the first instruction followed by a jump to the second.
struct Watch {
    ULONG_PTR entry = 0;
    ULONG_PTR detour = 0;
};

// Makes the function's detour in the process and turns its entry into a
// breakpoint. The function must be where it is in this process: the
// system's DLLs load at the same place in every process.
bool watch(HANDLE process, ULONG_PTR entry, Watch* watch)
{
    BYTE theirs[COMPARED_BYTES];
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(entry), theirs, sizeof theirs, &read) ||
        read != sizeof theirs || memcmp(theirs, reinterpret_cast<const void*>(entry), sizeof theirs) != 0)
        return false;
    size_t length = first_instruction(theirs);
    void* detour = VirtualAllocEx(process, nullptr, 64, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (length == 0 || !detour)
        return false;
    BYTE code[32];
    memcpy(code, theirs, length);
    ULONG_PTR next = entry + length;
#ifdef _WIN64
    const BYTE jump[] = {0xFF, 0x25, 0, 0, 0, 0};  // jmp [rip]: the address follows
    memcpy(code + length, jump, sizeof jump);
    memcpy(code + length + sizeof jump, &next, sizeof next);
    size_t size = length + sizeof jump + sizeof next;
#else
    code[length] = 0xE9;  // jmp rel32
    LONG offset = static_cast<LONG>(next - (reinterpret_cast<ULONG_PTR>(detour) + length + 5));
    memcpy(code + length + 1, &offset, sizeof offset);
    size_t size = length + 5;
#endif
    watch->entry = entry;
    watch->detour = reinterpret_cast<ULONG_PTR>(detour);
    SIZE_T done = 0;
    bool written = WriteProcessMemory(process, detour, code, size, &done) && done == size &&
                   WriteProcessMemory(process, reinterpret_cast<void*>(entry), &BREAK, 1, &done) && done == 1;
    FlushInstructionCache(process, nullptr, 0);
    return written;
}

// Sends the thread that met a breakpoint on through the detour.
bool go_on(DWORD threadId, ULONG_PTR detour)
{
    HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, threadId);
    if (!thread)
        return false;
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_CONTROL;
    bool done = GetThreadContext(thread, &context);
#ifdef _WIN64
    context.Rip = detour;
#else
    context.Eip = detour;
#endif
    done = done && SetThreadContext(thread, &context);
    CloseHandle(thread);
    return done;
}

}  // namespace

StoppedRun RunStoppingAt(const std::string& commandLine, const std::vector<std::string>& watched, size_t which,
                         int call, DWORD timeoutMs)
{
    StoppedRun run;
    run.calls.assign(watched.size(), 0);
    std::vector<ULONG_PTR> entries;
    for (const std::string& name : watched) {
        FARPROC function = GetProcAddress(GetModuleHandleA("kernel32.dll"), name.c_str());
        if (!function)
            return run;
        entries.push_back(reinterpret_cast<ULONG_PTR>(function));
    }
    std::string line = commandLine;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                        &startup, &process))
        return run;
    HANDLE child = process.hProcess;
    std::vector<Watch> watches(entries.size());
    bool armed = false, ended = false, watching = true;
    DWORD start = GetTickCount();
    while (!ended) {
        DWORD waited = GetTickCount() - start;
        DEBUG_EVENT event;
        if (waited >= timeoutMs || !WaitForDebugEvent(&event, timeoutMs - waited)) {
            TerminateProcess(child, KILLED_EXIT_CODE);
            watching = false;
            break;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            run.exitCode = event.u.ExitProcess.dwExitCode;
            ended = true;
            break;
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
            ULONG_PTR address = reinterpret_cast<ULONG_PTR>(record.ExceptionAddress);
            if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
                status = DBG_EXCEPTION_NOT_HANDLED;
            } else if (!armed) {
                // The loader's breakpoint: every DLL the program imports is in.
                armed = true;
                for (size_t i = 0; i < entries.size() && watching; ++i)
                    watching = watch(child, entries[i], &watches[i]);
                if (!watching)
                    TerminateProcess(child, KILLED_EXIT_CODE);
            } else {
                for (size_t i = 0; i < watches.size(); ++i) {
                    if (watches[i].entry != address)
                        continue;
                    if (++run.calls[i] == call && i == which) {
                        TerminateProcess(child, KILLED_EXIT_CODE);
                        run.killed = true;
                    } else if (!go_on(event.dwThreadId, watches[i].detour)) {
                        TerminateProcess(child, KILLED_EXIT_CODE);
                        watching = false;
                    }
                }
            }
            break;
        }
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    WaitForSingleObject(child, timeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(child);
    run.started = watching;
    return run;
}

}  // namespace robot
