#include "ansi_text.h"
#include "common/common.h"
#include "texts.h"

// Its defaults are in the image, not set by code at the start: the program
// starts without the C runtime's start-up (main.cpp), which would run such
// code. The compiler refuses an initialisation that would need it.
__constinit SetupState State;

#define MEMBER(name) name,
const char* const InstallFileList[INSTALL_FILES] = {
#include "common/install_files.inc"
};
#undef MEMBER

// A string table is kept in blocks of sixteen texts, each its length and
// its characters, found by the block's number and the language; neutral
// is the language Windows has chosen for the thread.
void LoadText(UINT id, WCHAR* text, int chars, LANGID language)
{
    static const WCHAR NONE[2] = {};  // no length, and no character
    HRSRC block = FindResourceExW(nullptr, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    const WCHAR* entry = NONE;
    if (block) {
        entry = static_cast<const WCHAR*>(LockResource(LoadResource(nullptr, block)));
        for (UINT skip = id % 16; skip > 0; --skip)
            entry += 1 + *entry;
    }
    lstrcpynW(text, entry + 1, *entry < chars ? *entry + 1 : chars);
}

// The text in one language, its arguments that are ids of texts in the
// same. wsprintf reads its arguments as the compiler passes them to a
// function of variable arguments: one after the other, a pointer's room
// each, as here.
static void format_text(LANGID language, UINT id, const WCHAR* const given[3], WCHAR* text)
{
    WCHAR format[512], loaded[3][64];
    const WCHAR* arguments[3];
    for (int i = 0; i < 3; ++i) {
        arguments[i] = given[i];
        if (IS_INTRESOURCE(given[i])) {
            LoadText(LOWORD(given[i]), loaded[i], 64, language);
            arguments[i] = loaded[i];
        }
    }
    LoadText(id, format, 512, language);
    wvsprintfW(text, format, reinterpret_cast<va_list>(arguments));
}

// The log takes the text on one line, without the tabs that centre it in
// its box; the longest the program shows (a refused folder) fits. No byte
// of a tab or a line end is part of another character, in any code page.
static void log_error(const WCHAR* text)
{
    char logged[LOG_TEXT_CHARS];
    char* line = LogText(text, logged);
    while (*line == '\t')
        ++line;
    int length = lstrlenA(line);
    while (length > 0 && line[length - 1] == '\t')
        line[--length] = '\0';
    for (char* c = line; *c; ++c)
        if (*c == '\n')
            *c = ' ';
    LogLine("Error: %s", line);
}

// The box's answer; 0 when it is not shown.
static int tell(HWND owner, bool shown, UINT id, const WCHAR* const arguments[3], UINT buttons = MB_OK)
{
    WCHAR text[TEXT_CHARS], caption[16];
    format_text(ENGLISH, id, arguments, text);
    log_error(text);
    if (!shown)
        return 0;
    format_text(LANG_NEUTRAL, id, arguments, text);
    LoadText(IDS_ERROR, caption, 16);
    return MessageBoxW(owner, text, caption, buttons);
}

void ErrorBox(HWND owner, UINT text, const WCHAR* first, const WCHAR* second, const WCHAR* third)
{
    const WCHAR* arguments[3] = {first, second, third};
    tell(owner, State.Mode == INTERACTIVE, text, arguments);
}

void TellError(HWND owner, bool shown, UINT text, const WCHAR* first, const WCHAR* second)
{
    const WCHAR* arguments[3] = {first, second, nullptr};
    tell(owner, shown, text, arguments);
}

bool AskRetry(HWND owner, UINT text, const WCHAR* first, const WCHAR* second, const WCHAR* third)
{
    const WCHAR* arguments[3] = {first, second, third};
    return tell(owner, true, text, arguments, MB_RETRYCANCEL) == IDRETRY;
}

// Every dialog asks for this while it opens, so the screen behind it is
// clean before it appears.
void RepaintBackdrop()
{
    UpdateWindow(State.backdrop);
}
