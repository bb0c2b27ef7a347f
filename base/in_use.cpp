#include "in_use.h"

bool HeldOpen(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool InUseError(const char* path, DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           (error == ERROR_ACCESS_DENIED && HeldOpen(path));
}

bool Patience::Pause()
{
    if (waited_ >= limit_)
        return false;
    DWORD pause = limit_ - waited_ < pause_ ? limit_ - waited_ : pause_;
    pause_function_(pause);
    waited_ += pause;
    pause_ = pause_ < 500 ? pause_ * 2 : 1000;
    return true;
}

bool Patience::Again(const char* path, DWORD error)
{
    inUse_ = InUseError(path, error);
    if (!inUse_) {
        bool again = error == ERROR_ACCESS_DENIED && !deniedBefore_;
        deniedBefore_ = true;
        return again;
    }
    deniedBefore_ = false;
    return Pause();
}
