// The top floor: start-up, the command line, the backdrop and the wizard
// flow that sequences every dialog.
#ifndef CORVANE_DRIVER_H
#define CORVANE_DRIVER_H

#include "common/common.h"

// command_line.cpp
const char* CommandTail(const char* commandLine);
void SplitCommandLine(const char* tail);
bool IsUninstallWord(const char* field);

// backdrop.cpp
bool RegisterBackdropClass(HINSTANCE instance);
bool CreateBackdrop(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackdrop(HWND window);
void DrawLogo(HDC dc, int x1, int y1, int x2, int y2);

// wizard.cpp
bool NewerVersionInstalled();
bool SameVersionInstalled();
int RunWizard();

#endif
