#include "ansi_text.h"
#include "path_text.h"

enum { GB18030 = 54936 };

bool ToCodePage(const WCHAR* wide, char* text, int size, UINT codePage)
{
    return ConvertExactly(WideCharToMultiByte, wide, text, size, codePage);
}

bool ConvertExactly(Converter convert, const WCHAR* wide, char* text, int size, UINT codePage)
{
    // UTF-8 and GB18030 hold every character; they take neither the
    // best-fit flag nor the question of a default character, and fail a
    // call that passes them (the ANSI code page is UTF-8 where Windows
    // runs with "Use Unicode UTF-8 for worldwide language support").
    // WC_ERR_INVALID_CHARS still refuses a lone surrogate.
    if (codePage == CP_ACP)
        codePage = GetACP();
    else if (codePage == CP_OEMCP)
        codePage = GetOEMCP();
    BOOL lossy = FALSE;
    bool whole = codePage == CP_UTF8 || codePage == GB18030;
    int length = convert(codePage, whole ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, wide, -1, text, size, nullptr,
                         whole ? nullptr : &lossy);
    if (length == 0 || lossy) {
        if (size > 0)
            text[0] = '\0';
        return false;
    }
    return true;
}

bool ToWide(const char* text, WCHAR* wide, int chars, UINT codePage)
{
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, wide, chars) != 0)
        return true;
    if (chars > 0)
        wide[0] = L'\0';
    return false;
}

void CharactersNotHeld(const WCHAR* wide, WCHAR* list, int chars, UINT codePage)
{
    int length = 0;
    list[0] = L'\0';
    for (const WCHAR* at = wide; *at != L'\0';) {
        // One character: a surrogate pair is two units.
        WCHAR one[3] = {*at++};
        if (IS_SURROGATE_PAIR(one[0], *at))
            one[1] = *at++;
        char held[8];
        bool listed = false;
        for (const WCHAR* seen = list; *seen != L'\0'; ++seen)
            listed = listed || (seen[0] == one[0] && (!one[1] || seen[1] == one[1]));
        int units = one[1] ? 2 : 1;
        if (listed || ToCodePage(one, held, sizeof held, codePage) || length + units + 2 > chars)
            continue;
        if (length > 0)
            list[length++] = L' ';
        lstrcpynW(list + length, one, units + 1);
        length += units;
    }
}

bool AnsiPath(const WCHAR* path, char* ansi, ShortNameLookup lookup)
{
    if (ToCodePage(path, ansi, PATH_CHARS))
        return true;
    WCHAR shortPath[PATH_CHARS];
    DWORD length = lookup(path, shortPath, PATH_CHARS);
    return length != 0 && length < PATH_CHARS && ToCodePage(shortPath, ansi, PATH_CHARS);
}
