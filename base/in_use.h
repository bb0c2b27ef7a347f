// A file another program holds for a moment: the antivirus scanning what
// was just written or is about to be replaced, the search indexer or
// Explorer reading an icon, the application still closing. Every move,
// replace or delete of a file the setup installs or stages waits such a
// hold out before the file counts as in use.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_IN_USE_H
#define CORVANE_IN_USE_H

#include <windows.h>

// How long a moment's hold is waited for, in all.
enum : DWORD { MOMENT_MS = 5000 };

// True when another program holds the file open so that it cannot be
// written: Windows denies access to a running program's file, as it does
// to a read-only one, and only the first passes with waiting.
bool HeldOpen(const char* path);
// True when a try at the file failed with `error` because another program
// holds it: a sharing or lock violation, or access denied to a file that
// is held open.
bool InUseError(const char* path, DWORD error);

// Waiting between tries at one file: each pause twice the last, from
// 50 ms up to a second, until `limit` milliseconds have gone by in all.
// Each pause is `pause`'s, by default a plain Sleep.
typedef VOID(WINAPI* PauseFunction)(DWORD milliseconds);
class Patience {
public:
    explicit Patience(DWORD limit, PauseFunction pause = Sleep) : limit_(limit), pause_function_(pause) {}
    // After a try at `path` that failed with `error`: true, once it has
    // paused, when the file is in use and time is left; true at once the
    // first time in a row access is denied to a file nobody holds (its
    // holder may have let go between the try and the look); else false.
    bool Again(const char* path, DWORD error);
    // Whether the last failure was the file's being in use.
    bool InUse() const { return inUse_; }
    // Pauses, when time is left: false when there is none.
    bool Pause();

private:
    DWORD limit_;
    PauseFunction pause_function_;
    DWORD waited_ = 0, pause_ = 50;
    bool inUse_ = false, deniedBefore_ = false;
};

#endif
