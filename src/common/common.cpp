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
// its box; the longest the program shows (a refused switch) fits.
void LogError(const char* text)
{
    char line[PATH_CHARS * 2];
    const char* from = text;
    while (*from == '\t')
        ++from;
    lstrcpynA(line, from, sizeof line);
    int length = lstrlenA(line);
    while (length > 0 && line[length - 1] == '\t')
        line[--length] = '\0';
    for (char* c = line; *c; ++c)
        if (*c == '\n')
            *c = ' ';
    LogLine("Error: %s", line);
}

void ErrorBox(HWND owner, const char* text)
{
    LogError(text);
    if (State.Mode == INTERACTIVE)
        MessageBoxA(owner, text, "Error", MB_OK);
}

// Every dialog asks for this while it opens, so the screen behind it is
// clean before it appears.
void RepaintBackdrop()
{
    UpdateWindow(State.backdrop);
}
