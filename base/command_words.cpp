// Words are separated by blanks and tabs; a quoted program name may hold
// blanks of its own.
#include "command_words.h"

const WCHAR* CommandTail(const WCHAR* commandLine)
{
    const WCHAR* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;
    } else {
        while (*p > L' ')
            ++p;
    }
    while (*p != L'\0' && *p <= L' ')
        ++p;
    return p;
}

const char* UnattendedSwitch(const WCHAR* tail)
{
    static const char* const SWITCHES[] = {"/quiet", "/passive"};
    static const WCHAR* const WIDE[] = {L"/quiet", L"/passive"};
    for (const WCHAR* p = tail; *p != L'\0';) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        const WCHAR* word = p;
        while (*p != L'\0' && *p != L' ' && *p != L'\t')
            ++p;
        for (int i = 0; i < 2; ++i)
            if (CompareStringOrdinal(word, static_cast<int>(p - word), WIDE[i], -1, TRUE) == CSTR_EQUAL)
                return SWITCHES[i];
    }
    return "";
}
