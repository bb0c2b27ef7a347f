#include "ansi_text.h"
#include "common/common.h"

// Its defaults are in the image, not set by code at the start: the program
// starts without the C runtime's start-up (main.cpp), which would run such
// code. The compiler refuses an initialisation that would need it.
__constinit SetupState State;

#define MEMBER(name) name,
const char* const InstallFileList[INSTALL_FILES] = {
#include "common/install_files.inc"
};
#undef MEMBER

// The log takes the text on one line, without the tabs that centre it in
// its box; the longest the program shows (a refused switch) fits. No byte
// of a tab or a line end is part of another character, in any code page.
void LogError(const WCHAR* text)
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

void ErrorBox(HWND owner, const WCHAR* text)
{
    LogError(text);
    if (State.Mode == INTERACTIVE)
        MessageBoxW(owner, text, L"Error", MB_OK);
}

void ErrorBox(HWND owner, const char* text)
{
    WCHAR wide[LOG_TEXT_CHARS / 3];
    ToWide(text, wide, LOG_TEXT_CHARS / 3);
    ErrorBox(owner, wide);
}

// Every dialog asks for this while it opens, so the screen behind it is
// clean before it appears.
void RepaintBackdrop()
{
    UpdateWindow(State.backdrop);
}
