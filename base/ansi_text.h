// Where text crosses between the system's wide form and an ANSI code page,
// for every program of the setup. Paths, the record and Program Manager's
// commands are ANSI text in the user's code page; the system gives its
// text in wide form, and the A functions would hand it over best fit: "Ł"
// as "L", another folder, or as '?', none at all. So text is converted on
// purpose and exactly here, and what the code page cannot hold is refused,
// never replaced by a look-alike.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_ANSI_TEXT_H
#define CORVANE_ANSI_TEXT_H

#include <windows.h>

// text = wide in the code page, in `size` bytes; false when a character
// has no exact form there or the text does not fit.
bool ToCodePage(const WCHAR* wide, char* text, int size, UINT codePage = CP_ACP);
// The same by the converter given (ToCodePage gives WideCharToMultiByte),
// so that it can be tried against the rules of every system.
typedef int(WINAPI* Converter)(UINT codePage, DWORD flags, LPCWCH wide, int chars, LPSTR text, int size,
                               LPCCH defaultChar, LPBOOL usedDefaultChar);
bool ConvertExactly(Converter convert, const WCHAR* wide, char* text, int size, UINT codePage);
// wide = text of the code page, in `chars` characters; false when it is
// no text of that code page or does not fit.
bool ToWide(const char* text, WCHAR* wide, int chars, UINT codePage = CP_ACP);

// The characters of `wide` that the code page cannot hold, each once, a
// blank between them, in `chars` characters (what does not fit is left
// out); empty when it holds them all.
void CharactersNotHeld(const WCHAR* wide, WCHAR* list, int chars, UINT codePage = CP_ACP);

// A path the system gave in wide form, as ANSI text of PATH_CHARS: as it
// is where the code page holds it; else, where the path is there, by its
// short (8.3) name when the code page holds that. False when neither.
typedef DWORD(WINAPI* ShortNameLookup)(LPCWSTR path, LPWSTR shortPath, DWORD chars);
bool AnsiPath(const WCHAR* path, char* ansi, ShortNameLookup lookup = GetShortPathNameW);

#endif
