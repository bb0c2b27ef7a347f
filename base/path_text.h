// Path text in an ANSI code page, stepped by character: the one way every
// program of the setup finds a path's separators, cuts it into levels and
// joins a folder and a name. SETUP.EXE, the unzip library and UNINSTAL.EXE
// all use it, in the process's code page unless told another.
//
// In the double-byte code pages (932 Japanese, 936 and 950 Chinese) the
// second byte of a character may be 0x5C, the byte of a backslash: "表" is
// 0x95 0x5C in 932, and "C:\ソフト\表" is an everyday Japanese folder. So no
// byte of a path is taken for a separator unless a character starts there.
// Only backslashes separate; a slash is looked for only by who asks.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_PATH_TEXT_H
#define CORVANE_PATH_TEXT_H

#include <string.h>
#include <windows.h>

// The C runtime's functions that every program here calls are those of the
// system's MSVCRT.DLL; declared as its imports, each is called through the
// import table, not through a stub of the linker's.
extern "C" {
__declspec(dllimport) size_t __cdecl strlen(const char* text);
__declspec(dllimport) int __cdecl strcmp(const char* text, const char* other);
__declspec(dllimport) char* __cdecl strchr(const char* text, int c);
__declspec(dllimport) wchar_t* __cdecl wcschr(const wchar_t* text, wchar_t c);
__declspec(dllimport) void* __cdecl memmove(void* to, const void* from, size_t size);
}

enum { PATH_CHARS = 260 };  // one path, terminator included: MAX_PATH

// The character after the one at `at`; `at` itself at the terminator.
const char* NextChar(const char* at, UINT codePage = CP_ACP);

// The last character of the text that is one of `separators`, or null.
const char* LastOf(const char* text, const char* separators = "\\", UINT codePage = CP_ACP);

// Where the level that starts at `level` ends: its backslash, or the
// terminator.
const char* LevelEnd(const char* level, UINT codePage = CP_ACP);

// True when the path's last character is a backslash.
bool EndsInSeparator(const char* path, UINT codePage = CP_ACP);

// destination = folder + '\' (unless folder already ends in one) + name,
// in a buffer of PATH_CHARS. A result that would not fit is not cut into
// another path: destination is left empty and the result is false.
bool JoinPath(char* destination, const char* folder, const char* name, UINT codePage = CP_ACP);

// True when a character of the name starts where it ends in the suffix
// (in lower case), the case of ASCII letters ignored: in code page 932
// "ダ" is 0x83 0x5F, and "設定ダqvn.env" does not end in "_qvn.env".
// Static, so that its one caller in the programs takes it whole.
static inline bool NameEndsWith(const char* name, const char* suffix, UINT codePage = CP_ACP)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    size_t suffixLength = strlen(suffix);
    for (const char* tail = name; *tail != '\0'; tail = NextChar(tail, codePage)) {
        if (strlen(tail) != suffixLength)
            continue;
        size_t i = 0;
        while (i < suffixLength && lower(tail[i]) == suffix[i])
            ++i;
        return i == suffixLength;
    }
    return false;
}

#endif
