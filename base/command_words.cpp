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

// Calls `visit` with each word of the tail and its length, until it
// returns true.
template <typename Visit>
static void each_word(const WCHAR* tail, Visit visit)
{
    for (const WCHAR* p = tail; *p != L'\0';) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        const WCHAR* word = p;
        while (*p != L'\0' && *p != L' ' && *p != L'\t')
            ++p;
        if (visit(word, static_cast<int>(p - word)))
            return;
    }
}

static bool same_word(const WCHAR* word, int length, const WCHAR* known)
{
    return CompareStringOrdinal(word, length, known, -1, TRUE) == CSTR_EQUAL;
}

const char* UnattendedSwitch(const WCHAR* tail)
{
    static const char* const SWITCHES[] = {"/quiet", "/passive"};
    static const WCHAR* const WIDE[] = {L"/quiet", L"/passive"};
    const char* found = "";
    each_word(tail, [&](const WCHAR* word, int length) {
        for (int i = 0; i < 2; ++i)
            if (same_word(word, length, WIDE[i]))
                found = SWITCHES[i];
        return found[0] != '\0';
    });
    return found;
}

void PassedSwitches(const WCHAR* tail, char* words)
{
    lstrcpyA(words, UnattendedSwitch(tail));
    if (words[0] != '\0')
        lstrcatA(words, " ");
    bool closing = false;
    char wait[16] = {};
    each_word(tail, [&](const WCHAR* word, int length) {
        closing = closing || same_word(word, length, L"/closeapplications");
        int digits = length - 6;
        if (digits < 1 || digits > 6 || !same_word(word, 6, L"/wait="))
            return false;
        for (int i = 0; i < digits; ++i)
            if (word[6 + i] < L'0' || word[6 + i] > L'9')
                return false;
        lstrcpyA(wait, "/wait=");
        for (int i = 0; i < digits; ++i)
            wait[6 + i] = static_cast<char>(word[6 + i]);
        wait[6 + digits] = ' ';
        wait[7 + digits] = '\0';
        return false;
    });
    if (closing)
        lstrcatA(words, "/closeapplications ");
    lstrcatA(words, wait);
}
