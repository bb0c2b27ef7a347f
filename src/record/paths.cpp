#include "ansi_text.h"
#include "record/record.h"

// path = the Windows directory joined with name, in a buffer of
// PATH_CHARS; false when it cannot be had or does not fit.
bool WindowsPath(const char* name, char* path)
{
    WCHAR wide[PATH_CHARS];
    char windows[PATH_CHARS];
    UINT length = GetWindowsDirectoryW(wide, PATH_CHARS);
    if (length == 0 || length >= PATH_CHARS || !AnsiPath(wide, windows)) {
        path[0] = '\0';
        return false;
    }
    return JoinPath(path, windows, name);
}

// Cuts the last component off a path, in place. A backslash after the
// drive ("C:\") stays, so a drive root keeps its backslash; a path without
// any backslash becomes empty.
void StripFileName(char* path)
{
    char* last = const_cast<char*>(LastOf(path));
    if (!last)
        path[0] = '\0';
    else
        *(last - path > 2 ? last : last + 1) = '\0';
}

static bool is_separator(char c)
{
    return c == '\\' || c == '/';
}

// A drive letter, a colon and a separator: "C:\" or "C:\Apps". Not a
// relative path ("Apps"), a drive-relative one ("C:Apps"), a root-relative
// one ("\Apps") or a network path: each of those means another folder to
// each step that resolves it.
bool IsFullPath(const char* path)
{
    char letter = static_cast<char>(path[0] & ~0x20);
    return letter >= 'A' && letter <= 'Z' && path[1] == ':' && is_separator(path[2]);
}

bool IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A full path below a drive's root: at least one folder name.
static bool names_a_folder(const char* path)
{
    return IsFullPath(path) && path[3] != '\0' && !is_separator(path[3]);
}

// folder = the typed text as the one full path every step will use: "."
// and ".." resolved, forward slashes turned, one trailing backslash
// dropped. False, and folder not to be used, when the text or its
// resolved form is not a full path with a folder name ("C:\.." is the
// root).
bool NormaliseFolder(const char* typed, char* folder)
{
    if (!names_a_folder(typed))
        return false;
    DWORD length = GetFullPathNameA(typed, PATH_CHARS, folder, nullptr);
    if (length == 0 || length >= PATH_CHARS)
        return false;
    if (EndsInSeparator(folder))
        folder[length - 1] = '\0';
    return names_a_folder(folder);
}
